// The mixer's moves of the current clip along and between the tracks, and the box grid they use.
#include "document/track_moves.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "base/scripted_interaction.h"
#include "base/view.h"
#include "document/movie_db.h"
#include "document/track_geometry.h"

namespace composer {
namespace {

struct Entry {
    int32_t clip;
    std::vector<int32_t> overlays;
};

// A movie of `clips` clips (all pictures unless listed as sounds) on the given tracks.
MovieDbRec Movie(int32_t clips, std::initializer_list<Entry> arranged, std::vector<int32_t> unused,
                 std::vector<int32_t> sounds = {}) {
    MovieDbRec movie;
    ClearMovie(movie);
    movie.ClipCount = clips;
    movie.Clips.resize(static_cast<std::size_t>(clips) + 1);
    for (int32_t c = 1; c <= clips; ++c) movie.Clips[c].ClipType = ClipPicture;
    for (int32_t c : sounds) movie.Clips[c].ClipType = ClipAudio;
    for (const Entry& e : arranged) {
        ArrangeRec rec;
        rec.ClipIndex = e.clip;
        rec.Overlays.insert(rec.Overlays.end(), e.overlays.begin(), e.overlays.end());
        rec.OverlayCount = static_cast<int32_t>(e.overlays.size());
        movie.Arranged.push_back(rec);
        ++movie.ArrangedCount;
    }
    movie.Unused.insert(movie.Unused.end(), unused.begin(), unused.end());
    movie.UnusedCount = static_cast<int32_t>(unused.size());
    return movie;
}

// The tracks as text: "1(4,5) 2 | 3" is entry 1 with overlays 4 and 5, entry 2, unused 3. The
// counts and the arrays' sizes must agree.
std::string Tracks(const MovieDbRec& movie) {
    std::string text;
    EXPECT_EQ(movie.Arranged.size(), static_cast<std::size_t>(movie.ArrangedCount) + 1);
    EXPECT_EQ(movie.Unused.size(), static_cast<std::size_t>(movie.UnusedCount) + 1);
    for (int32_t i = 1; i <= movie.ArrangedCount; ++i) {
        const ArrangeRec& e = movie.Arranged[i];
        EXPECT_EQ(e.Overlays.size(), static_cast<std::size_t>(e.OverlayCount) + 1);
        text += (i > 1 ? " " : "") + std::to_string(e.ClipIndex);
        for (int32_t k = 1; k <= e.OverlayCount; ++k)
            text += (k == 1 ? "(" : ",") + std::to_string(e.Overlays[k]) + (k == e.OverlayCount ? ")" : "");
    }
    text += " |";
    for (int32_t u = 1; u <= movie.UnusedCount; ++u) text += " " + std::to_string(movie.Unused[u]);
    return text;
}

TEST(TrackGeometry, OverlaysSitUnderTheirClipUnlessEarlierOnesPushThemRight) {
    // Entry 1 has three overlays, entry 2 one, entry 3 none, entry 4 one.
    const MovieDbRec movie = Movie(10, {{1, {5, 6, 7}}, {2, {8}}, {3, {}}, {4, {9}}}, {});
    std::vector<std::pair<int32_t, int32_t>> placed;  // clip, column
    for (const OverlayColumn& c : OverlayColumns(movie)) placed.emplace_back(c.clip, c.column);
    const std::vector<std::pair<int32_t, int32_t>> expected = {{5, 1}, {6, 2}, {7, 3}, {8, 4}, {9, 5}};
    EXPECT_EQ(placed, expected);
    EXPECT_EQ(OverlayColumnOf(movie, 2, 1), 4);
    EXPECT_EQ(OverlayColumnOf(movie, 3, 1), 0);
    // Without crowding each overlay stands under its own clip.
    EXPECT_EQ(OverlayColumnOf(Movie(3, {{1, {}}, {2, {3}}}, {}), 2, 1), 2);
}

TEST(TrackGeometry, ColumnAcrossFollowsBothScrollPositions) {
    EXPECT_EQ(TrackXOfScroll(0), 20);
    EXPECT_EQ(TrackXOfScroll(3), -580);
    EXPECT_EQ(BoxLeft(20, 3), 420);
    EXPECT_EQ(ColumnAcross(2, 20, 20), 2);
    EXPECT_EQ(ColumnAcross(2, -180, 20), 1);  // this track scrolled by one box
    EXPECT_EQ(ColumnAcross(1, 20, -380), 3);  // the other scrolled by two
    EXPECT_EQ(ColumnAcross(1, -180, 20), 0);  // lies left of the other track
}

TEST(TrackMoves, ShiftsSwapNeighboursAndStopAtTheEnds) {
    ScriptedView view;
    ScopedView installed(view);
    struct Case {
        int32_t current;
        ShiftDirection direction;
        bool (*shift)(MovieDbRec&, ShiftDirection);
        bool changed;
        const char* after;
    };
    const Case cases[] = {
        {2, ShiftDirection::Left, ShiftArrangedClip, true, "2 1(5,6) 3 | 4 7"},
        {1, ShiftDirection::Right, ShiftArrangedClip, true, "2 1(5,6) 3 | 4 7"},
        {1, ShiftDirection::Left, ShiftArrangedClip, false, "1(5,6) 2 3 | 4 7"},
        {3, ShiftDirection::Right, ShiftArrangedClip, false, "1(5,6) 2 3 | 4 7"},
        {4, ShiftDirection::Right, ShiftUnusedClip, true, "1(5,6) 2 3 | 7 4"},
        {4, ShiftDirection::Left, ShiftUnusedClip, false, "1(5,6) 2 3 | 4 7"},
        {1, ShiftDirection::Right, ShiftUnusedClip, false, "1(5,6) 2 3 | 4 7"},  // not on the shelf
        // Overlays: a swap inside the entry, a move to the next entry's front, nothing at the ends.
        {5, ShiftDirection::Right, ShiftOverlayClip, true, "1(6,5) 2 3 | 4 7"},
        {6, ShiftDirection::Right, ShiftOverlayClip, true, "1(5) 2(6) 3 | 4 7"},
        {5, ShiftDirection::Left, ShiftOverlayClip, false, "1(5,6) 2 3 | 4 7"},
    };
    for (const Case& c : cases) {
        MovieDbRec movie = Movie(7, {{1, {5, 6}}, {2, {}}, {3, {}}}, {4, 7});
        movie.CurClip = c.current;
        view.requests.clear();
        EXPECT_EQ(c.shift(movie, c.direction), c.changed) << c.after;
        EXPECT_EQ(Tracks(movie), c.after);
        EXPECT_EQ(movie.CurClip, c.current);
        EXPECT_EQ(view.requests.empty(), !c.changed) << c.after;
    }
}

TEST(TrackMoves, OverlayShiftsAcrossEntriesAndAtTheLastEntry) {
    MovieDbRec movie = Movie(5, {{1, {3}}, {2, {4, 5}}}, {});
    movie.CurClip = 4;  // first overlay of entry 2 moves to the end of entry 1's overlays
    EXPECT_TRUE(ShiftOverlayClip(movie, ShiftDirection::Left));
    EXPECT_EQ(Tracks(movie), "1(3,4) 2(5) |");
    movie.CurClip = 5;  // the last overlay of the last entry stays
    EXPECT_FALSE(ShiftOverlayClip(movie, ShiftDirection::Right));
    movie.CurClip = 4;  // and back to the front of entry 2
    EXPECT_TRUE(ShiftOverlayClip(movie, ShiftDirection::Right));
    EXPECT_EQ(Tracks(movie), "1(3) 2(4,5) |");
}

TEST(TrackMoves, DropsGoStraightDownWithTheOverlaysOfAnArrangedClip) {
    ScriptedView view;
    ScopedView installed(view);
    // An arranged clip with two overlays dropped onto a shelf of three at position 2.
    MovieDbRec movie = Movie(7, {{1, {}}, {2, {5, 6}}}, {3, 4, 7});
    movie.CurClip = 2;
    EXPECT_TRUE(DropArrangedClip(movie, 20, 20));
    EXPECT_EQ(Tracks(movie), "1 | 3 2 5 6 4 7");
    EXPECT_EQ(view.requests, (std::vector<std::string>{"DrawMovieTracks", "DrawUnusedTrack"}));

    // The arranged track scrolled by one box: its second clip lies above unused position 1.
    movie = Movie(4, {{1, {}}, {2, {}}}, {3, 4});
    movie.CurClip = 2;
    EXPECT_TRUE(DropArrangedClip(movie, -180, 20));
    EXPECT_EQ(Tracks(movie), "1 | 2 3 4");

    // Past the shelf's end: at its end. With the arranged track scrolled by one box its first clip
    // lies left of the shelf: nothing.
    movie = Movie(4, {{1, {}}, {2, {}}, {3, {}}}, {4});
    movie.CurClip = 3;
    EXPECT_TRUE(DropArrangedClip(movie, 20, 20));
    EXPECT_EQ(Tracks(movie), "1 2 | 4 3");
    movie.CurClip = 1;
    EXPECT_FALSE(DropArrangedClip(movie, -180, 20));
    EXPECT_EQ(Tracks(movie), "1 2 | 4 3");

    // An overlay pushed to column 3 drops below column 3.
    movie = Movie(8, {{1, {4, 5, 6}}, {2, {}}}, {3, 7, 8});
    movie.CurClip = 6;
    EXPECT_TRUE(DropOverlayClip(movie, 20, 20));
    EXPECT_EQ(Tracks(movie), "1(4,5) 2 | 3 7 6 8");
}

TEST(TrackMoves, ArrangeAndOverlayGoStraightUpWithTheirRefusals) {
    ScriptedInteraction seam;
    ScopedInteraction installed(seam);
    MovieDbRec movie = Movie(5, {{1, {}}}, {2, 3, 4, 5}, {4});
    movie.CurClip = 3;  // unused position 2 lies under arranged column 2 = past the end: appended
    EXPECT_TRUE(ArrangeUnusedClip(movie, 20, 20));
    EXPECT_EQ(Tracks(movie), "1 3 | 2 4 5");
    movie.CurClip = 5;  // unused 3 lies under column 3, past the arranged end: the last entry
    EXPECT_TRUE(OverlayUnusedClip(movie, 20, 20));
    EXPECT_EQ(Tracks(movie), "1 3(5) | 2 4");
    movie.CurClip = 2;  // unused position 1 lies under column 1: inserted in front
    EXPECT_TRUE(ArrangeUnusedClip(movie, 20, 20));
    EXPECT_EQ(Tracks(movie), "2 1 3(5) | 4");
    EXPECT_TRUE(seam.messages.empty());

    movie.CurClip = 4;  // a sound is never arranged
    EXPECT_FALSE(ArrangeUnusedClip(movie, 20, 20));
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, "Audio can not be arranged,\r\nit can only overlay another clip");
    EXPECT_EQ(Tracks(movie), "2 1 3(5) | 4");

    MovieDbRec empty = Movie(1, {}, {1});
    empty.CurClip = 1;
    EXPECT_FALSE(OverlayUnusedClip(empty, 20, 20));
    ASSERT_EQ(seam.messages.size(), 2u);
    EXPECT_EQ(seam.messages[1].text, "Please arrange a clip first before overlay");
    EXPECT_EQ(Tracks(empty), " | 1");
}

}  // namespace
}  // namespace composer
