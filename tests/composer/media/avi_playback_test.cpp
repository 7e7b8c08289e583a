// The play window's player: the picture follows the clock, skipped frames are counted, pause, seek
// and the end, against the registered library with a clock the test moves.
#include "media/avi_playback.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "avi_wrapper_env.h"

namespace composer::testing {
namespace {

using AviPlaybackTest = AviWrapperTest;

TEST_F(AviPlaybackTest, PictureFollowsTheClockAndCountsDroppedFrames) {
    double now = 100;
    AviPlayback player([&now] { return now; });
    std::string error;
    ASSERT_TRUE(player.Open(NumberedFramesAvi("silent.avi", ""), error)) << error;
    EXPECT_EQ(player.FrameCount(), 5);  // a second at 5 frames per second
    EXPECT_FALSE(player.HasSound());
    EXPECT_EQ(player.NextFrameToShow(), 1);  // opened paused at the start
    EXPECT_EQ(player.NextFrameToShow(), 0);

    player.Play();
    now += 0.1;
    EXPECT_EQ(player.NextFrameToShow(), 0);  // frame 1 lasts until 0.2 s
    now += 0.15;
    EXPECT_EQ(player.NextFrameToShow(), 2);
    now += 0.4;  // 0.65 s: frame 3 was never shown
    EXPECT_EQ(player.NextFrameToShow(), 4);
    EXPECT_EQ(player.DroppedFrames(), 1);
    PixelBuffer pixels;
    ASSERT_TRUE(player.ReadFrame(4, pixels));
    ASSERT_EQ(pixels.size(), 32u * 24u);
    EXPECT_EQ((pixels[0] >> 16) & 0xFF, 120u);  // the fourth frame's red
    // The fifth frame decoded ahead is the one a direct read gives, even while another frame waits
    // decoded ahead (the third, after the second was read); that one is handed over later.
    player.PrepareNext();
    PixelBuffer ahead;
    ASSERT_TRUE(player.ReadFrame(5, ahead));
    PixelBuffer direct;
    ASSERT_TRUE(player.ReadFrame(2, direct));
    player.PrepareNext();
    ASSERT_TRUE(player.ReadFrame(5, direct));
    EXPECT_EQ(ahead, direct);
    EXPECT_EQ((direct[0] >> 16) & 0xFF, 160u);
    ASSERT_TRUE(player.ReadFrame(3, direct));
    EXPECT_EQ((direct[0] >> 16) & 0xFF, 80u);

    player.Pause();
    now += 5;
    EXPECT_NEAR(player.Position(), 0.65, 1e-9);
    player.Seek(0.9);
    EXPECT_EQ(player.DueFrame(), 5);
    player.Play();
    now += 0.2;
    EXPECT_TRUE(player.AtEnd());
    EXPECT_FALSE(player.Playing());
    player.Play();  // after the end: from the start
    EXPECT_EQ(player.Position(), 0);
}

TEST_F(AviPlaybackTest, AFileThatIsNotAMovieIsRefusedWithAReason) {
    const std::string text = Fixture("not-a-movie.avi");
    std::ofstream(text) << "plain text";
    AviPlayback player;
    std::string error;
    EXPECT_FALSE(player.Open(text, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(player.IsOpen());
    EXPECT_EQ(player.NextFrameToShow(), 0);
}

// A file cut short while it plays (a copy still being written, a disk pulled): the frames that are
// gone are not shown, and the player says why instead of passing over them in silence.
TEST_F(AviPlaybackTest, AFrameThatCannotBeReadIsRefusedWithTheReason) {
    const std::string path =
        MakeAvi("cut-while-playing.avi", "-f lavfi -i 'testsrc=s=64x48:r=25:d=2'", "-c:v mjpeg");
    ASSERT_FALSE(path.empty());
    AviPlayback player;
    std::string error;
    ASSERT_TRUE(player.Open(path, error)) << error;
    PixelBuffer pixels;
    ASSERT_TRUE(player.ReadFrame(1, pixels));
    EXPECT_EQ(player.FrameProblem(), "");
    std::filesystem::resize_file(path, 2000);
    EXPECT_FALSE(player.ReadFrame(player.FrameCount(), pixels));
    EXPECT_FALSE(player.FrameProblem().empty());
    player.Close();
    EXPECT_EQ(player.FrameProblem(), "");
}

}  // namespace
}  // namespace composer::testing
