// What the windows decide without a widget: the mixer's hit tests and stored places, the part test
// play's answers, the main window's title, remembered folders and dialog filters.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "commands/main_window_rules.h"
#include "commands/mixer_hit_test.h"
#include "commands/mixer_placement.h"
#include "commands/test_play_answers.h"
#include "document/movie_db.h"
#include "picture_movie.h"

namespace composer {
namespace {

// Arranged clips 1 and 2 (clip 1 with overlays 4 and 5), unused 3.
MovieDbRec SampleMovie() { return PictureMovie({"1", "2", "3", "4", "5"}, {{1, {4, 5}}, {2, {}}}, {3}); }

TEST(MixerHitTest, BoxesHitAndGapsAndOtherRowsDoNot) {
    const MovieDbRec movie = SampleMovie();
    struct Case {
        int32_t trackX, x, y, clip;
    };
    const Case movieBox[] = {
        {20, 20, 40, 1},   {20, 200, 175, 1},  // the first box's corners
        {20, 201, 100, 0}, {20, 219, 100, 0},  // the gap between boxes 1 and 2
        {20, 220, 100, 2}, {20, 420, 100, 0},  // box 2; box 3 has no clip
        {20, 19, 100, 0},  {20, 100, 39, 0},   {20, 100, 176, 0},
        {20, 100, 214, 0}, {20, 100, 215, 4},  {20, 300, 350, 5},  // the overlays in columns 1 and 2
        {20, 300, 351, 0}, {-180, 20, 100, 2},                     // scrolled by one box
    };
    for (const Case& c : movieBox)
        EXPECT_EQ(MovieBoxClipAt(movie, c.trackX, c.x, c.y), c.clip) << c.trackX << " " << c.x << "," << c.y;
    EXPECT_EQ(UnusedBoxClipAt(movie, 20, 100, 100), 3);
    EXPECT_EQ(UnusedBoxClipAt(movie, 20, 100, 215), 0);  // the shelf has one row
    EXPECT_EQ(UnusedBoxClipAt(movie, 20, 210, 100), 0);
    EXPECT_EQ(UnusedBoxClipAt(movie, 20, 230, 100), 0);
}

TEST(MixerPlacement, StoredPlacesWithTheirFallbacks) {
    // A main window of 12000 x 9000 twips: the default top is min(0.35 x 9000, 3500) = 3150.
    struct Case {
        std::string stored;
        int top, left, height, width;
    };
    const Case cases[] = {
        {"100,200,5000,6000", 100, 200, 5000, 6000},
        {"-1,-1,-1,-1", 3150, 0, 5530, 11680},
        {"100,200", 3150, 0, 5530, 11680},               // two numbers: the whole text is ignored
        {"8200,11000,3999,2999", 3150, 0, 5530, 11680},  // beyond 0.9 x the area, too small
        {"0,0,9000,12000", 0, 0, 9000, 12000},
        {"x,y,z,w", 0, 0, 5530, 11680},  // text reads as 0: top and left stay, sizes are too small
    };
    for (const Case& c : cases) {
        const WindowPlacement placement = RestoreMixerPlacement(c.stored, 12000, 9000);
        EXPECT_EQ(placement.top, c.top) << c.stored;
        EXPECT_EQ(placement.left, c.left) << c.stored;
        EXPECT_EQ(placement.height, c.height) << c.stored;
        EXPECT_EQ(placement.width, c.width) << c.stored;
    }
    // A small main window: the sizes never go below 4000 x 3000.
    const WindowPlacement small = RestoreMixerPlacement("", 2000, 3000);
    EXPECT_EQ(small.height, 4000);
    EXPECT_EQ(small.width, 3000);
    EXPECT_EQ(StoredPlacement({1, 2, 3, 4}), "1,2,3,4");
    EXPECT_EQ(TwipsToPixels(PixelsToTwips(37)), 37);
}

TEST(MixerPlacement, DividingLineStoredTooHighOrBelowTheBottom) {
    EXPECT_EQ(RestoreDividerTop("10,0", 500), 333);   // below 40: 0.666 x 500
    EXPECT_EQ(RestoreDividerTop("600,0", 500), 333);  // below the bottom
    EXPECT_EQ(RestoreDividerTop("300,0", 500), 300);
    EXPECT_EQ(RestoreDividerTop("300", 500), 333);  // one part: the default
    EXPECT_EQ(RestoreDividerTop("-1,-1", 50), 40);  // at least 40
    EXPECT_EQ(StoredBoxHeights(300), "300,0");
    EXPECT_EQ(LayoutDividerTop(10, 500, 6), 40);
    EXPECT_EQ(LayoutDividerTop(480, 500, 6), 464);
    EXPECT_EQ(LayoutDividerTop(200, 500, 6), 200);
}

TEST(TestPlayAnswers, LimitsOfPositionAndDuration) {
    using Answer = std::optional<std::string>;
    EXPECT_EQ(TestPlayStartAnswer(Answer("1:30")), 90.0);
    EXPECT_EQ(TestPlayStartAnswer(Answer("-5")), 0.0);
    EXPECT_EQ(TestPlayStartAnswer(Answer("")), std::nullopt);
    EXPECT_EQ(TestPlayStartAnswer(std::nullopt), std::nullopt);
    struct Case {
        Answer answer;
        std::optional<double> seconds;
    };
    const Case durations[] = {
        {"25", std::nullopt}, {"0:30", std::nullopt}, {"0.05", 0.1},      {"20", 20.0},
        {"0:15", 15.0},       {"12.5", 12.5},         {"", std::nullopt}, {std::nullopt, std::nullopt},
        {"-1", std::nullopt},
    };
    for (const Case& c : durations)
        EXPECT_EQ(TestPlayDurationAnswer(c.answer), c.seconds) << c.answer.value_or("Cancel");
}

TEST(MainWindowRules, TitleFoldersAndFilters) {
    MovieDbRec movie;
    ClearMovie(movie);
    EXPECT_EQ(MainWindowTitle(movie), "Cinebrix Composer - New Movie [New file]");
    movie.MovieName = "Holiday";
    movie.ProjectPath = "D:\\a\\b\\Trip.cbmov";
    EXPECT_EQ(MainWindowTitle(movie), "Cinebrix Composer - Holiday [Trip.cbmov]");
    movie.ProjectPath = "/home/me/Trip.CbMov";
    EXPECT_EQ(MainWindowTitle(movie), "Cinebrix Composer - Holiday [Trip.CbMov]");

    EXPECT_EQ(InitialFolderOf("C:\\Clips\\a.avi"), "C:\\Clips\\");
    EXPECT_EQ(InitialFolderOf("/home/me/clips/a.avi"), "/home/me/clips/");
    EXPECT_EQ(InitialFolderOf("a.avi"), "");
    EXPECT_EQ(InitialFolderOf("   "), "");

    EXPECT_EQ(DialogFilters("AVI files (*.avi)|*.avi|All files (*.*)|*.*"),
              (std::vector<std::string>{"AVI files (*.avi)", "All files (*.*)"}));
    EXPECT_EQ(DialogFilters("Picture files (bmp, jpg, gif)|*.bmp;*.jpg;*.gif"),
              (std::vector<std::string>{"Picture files (bmp, jpg, gif) (*.bmp *.jpg *.gif)"}));
}

}  // namespace
}  // namespace composer
