// The movie document: new records, the current clip's place, selection, clearing.
#include "document/movie_db.h"

#include <gtest/gtest.h>

#include "base/view.h"
#include "document/ansi_text.h"

namespace composer {
namespace {

// A movie of six clips: arranged 1 (overlays 4, 5), arranged 2, unused 3; clip 6 stands nowhere.
MovieDbRec SampleMovie() {
    MovieDbRec movie;
    ClearMovie(movie);
    movie.ClipCount = 6;
    movie.Clips.resize(7);
    movie.ArrangedCount = 2;
    movie.Arranged.resize(3);
    movie.Arranged[1].ClipIndex = 1;
    movie.Arranged[1].OverlayCount = 2;
    movie.Arranged[1].Overlays = {0, 4, 5};
    movie.Arranged[2].ClipIndex = 2;
    movie.UnusedCount = 1;
    movie.Unused = {0, 3};
    return movie;
}

TEST(FindCurClip, ReportsTheFirstPlaceOfTheCurrentClip) {
    MovieDbRec movie = SampleMovie();
    const struct {
        int32_t current;
        TrackKind kind;
        int32_t position;
        int32_t overlay;
    } cases[] = {{1, TrackKind::Arranged, 1, 0}, {2, TrackKind::Arranged, 2, 0},
                 {4, TrackKind::Overlay, 1, 1},  {5, TrackKind::Overlay, 1, 2},
                 {3, TrackKind::Unused, 1, 0},   {6, TrackKind::None, 0, 0},
                 {0, TrackKind::None, 0, 0}};
    for (const auto& c : cases) {
        movie.CurClip = c.current;
        const TrackPlace place = FindCurClip(movie);
        EXPECT_EQ(place.kind, c.kind) << c.current;
        EXPECT_EQ(place.position, c.position) << c.current;
        EXPECT_EQ(place.overlayPosition, c.overlay) << c.current;
    }
    // A clip both arranged and an overlay (never made by the operations) is found arranged.
    movie.Arranged[2].OverlayCount = 1;
    movie.Arranged[2].Overlays = {0, 1};
    movie.CurClip = 1;
    EXPECT_EQ(FindCurClip(movie).kind, TrackKind::Arranged);
    // Counts beyond the entries are not followed.
    movie.UnusedCount = 50;
    movie.CurClip = 6;
    EXPECT_EQ(FindCurClip(movie).kind, TrackKind::None);
}

TEST(FindCurClip, EmptyMovieHasNoCurrentClip) {
    MovieDbRec movie;
    ClearMovie(movie);
    EXPECT_EQ(movie.ClipCount, 0);
    EXPECT_EQ(movie.CurClip, 0);
    EXPECT_EQ(FindCurClip(movie).kind, TrackKind::None);
}

TEST(SelectClip, ClampsToTheClips) {
    MovieDbRec movie = SampleMovie();
    const struct {
        int32_t index;
        int32_t selected;
    } cases[] = {{0, 1}, {-3, 1}, {3, 3}, {6, 6}, {11, 6}};
    for (const auto& c : cases) {
        SelectClip(movie, c.index);
        EXPECT_EQ(movie.CurClip, c.selected) << c.index;
    }
    MovieDbRec empty;
    SelectClip(empty, 1);
    EXPECT_EQ(empty.CurClip, 0);
}

TEST(ClearMovie, EmptiesTheMovieButKeepsTheOutputSettings) {
    MovieDbRec movie = SampleMovie();
    movie.CurClip = 2;
    movie.ProjectPath = "/p/Trip.CbMov";
    movie.OutputPath = "/p/Trip.avi";
    movie.MovieName = "Holiday";
    movie.OutFps = 30;
    movie.OutRate = 44100;
    ClearMovie(movie);
    EXPECT_EQ(movie.MovieName, "New Movie");
    EXPECT_EQ(movie.CurClip + movie.ClipCount + movie.ArrangedCount + movie.UnusedCount, 0);
    EXPECT_EQ(movie.Clips.size() + movie.Arranged.size() + movie.Unused.size(), 3u);
    EXPECT_EQ(movie.ProjectPath, "");
    EXPECT_EQ(movie.OutputPath, "");
    EXPECT_EQ(movie.OutFps, 30);
    EXPECT_EQ(movie.OutRate, 44100);
}

TEST(InitClipColors, RemovesEveryTransparentColour) {
    MovieDbRec movie = SampleMovie();
    ClipRec& clip = movie.Clips[2];
    clip.TransColorCount = 2;
    clip.TransColors.resize(3, TransColorRec{1, 2, 3, 10});
    InitClipColors(clip);
    EXPECT_EQ(clip.TransColorCount, 0);
    EXPECT_EQ(clip.TransColors.size(), 1u);
}

TEST(AnsiText, ConvertsBetweenUtf8AndTheSingleByteCodePage) {
    const struct {
        std::string utf8;
        std::string ansi;
    } cases[] = {{"plain", "plain"},
                 {"caf\xC3\xA9", "caf\xE9"},
                 {"\xE2\x82\xAC 5", "\x80 5"},  // the euro sign
                 {"\xE2\x80\x9Cq\xE2\x80\x9D", "\x93q\x94"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi) << c.utf8;
        EXPECT_EQ(AnsiToUtf8(c.ansi), c.utf8) << c.utf8;
    }
    EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD"), "?");  // not in the code page
    EXPECT_EQ(Utf8ToAnsi("a\xE9z"), "a\xE9z");   // not UTF-8: kept as bytes
    EXPECT_EQ(Utf8ToAnsi("\xC3"), "\xC3");       // a cut sequence too
}

}  // namespace
}  // namespace composer
