// Pictures and sound where their times say: a trimmed video's own sound starts with its first used
// picture and ends with its last, and a part that starts between two frames has its sound start with
// its first frame. Read back from the written movie with ffmpeg.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "command_runner.h"
#include "document/add_clip.h"
#include "media/media_source_probe.h"
#include "render/movie_render.h"
#include "render_test_env.h"

namespace composer::testing {
namespace {

constexpr int kRate = 8000;
constexpr double kFps = 25;
// The red channel of picture k (1-based) is 5 x (k - 1).
const char* const kNumbered = "nullsrc=s=64x48:r=25,format=rgb24,geq=r=N*5:g=0:b=0";

// Where the written sound is loud: its first and last loud sample (0-based), -1 when none is.
struct LoudStretch {
    int64_t first = -1;
    int64_t last = -1;
};

class RenderSyncTest : public RenderTest {
  protected:
    // A 2 s AVI of 50 numbered pictures at 25 fps whose sound (8 kHz mono) is silent but for beeps
    // of 1 kHz from 1.0 to 1.2 s (pictures 26 .. 30) and from 1.6 to 1.8 s (pictures 41 .. 45).
    static std::string BeepingVideo() {
        const std::string avi = Fixture("beeps.avi");
        if (std::filesystem::exists(avi)) return avi;
        const std::string raw = Fixture("beeps.raw");
        {
            std::ofstream out(raw, std::ios::binary);
            for (int i = 0; i < 2 * kRate; ++i) {
                const double t = static_cast<double>(i) / kRate;
                const bool beep = (t >= 1.0 && t < 1.2) || (t >= 1.6 && t < 1.8);
                const auto sample =
                    static_cast<int16_t>(beep ? 16000 * std::sin(2 * M_PI * 1000 * t + 1) : 0);
                out.write(reinterpret_cast<const char*>(&sample), sizeof sample);
            }
        }
        cb::testing::RunCommand("ffmpeg -v error -y -f lavfi -i '" + std::string(kNumbered) +
                                "' -f s16le -ar 8000 -ac 1 -i " + cb::testing::Quoted(raw) +
                                " -frames:v 50 -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le " +
                                cb::testing::Quoted(avi));
        return avi;
    }

    // The video added as the program adds it (with its own sound as an overlay) to a new movie.
    static MovieDbRec MovieOfBeepingVideo() {
        MovieDbRec movie = NewMovie(kFps, 64, 48);
        MediaSourceProbe probe;
        int32_t position = 0, overlay = 0;
        EXPECT_TRUE(AddClip(movie, BeepingVideo(), TrackKind::None, position, overlay, probe));
        EXPECT_EQ(movie.ClipCount, 2);  // the video and its sound
        return movie;
    }

    // A phone-style clip whose pictures come 30, then 15, then 30 a second (1.5 s of a 30 fps source,
    // every other picture left out from 0.5 to 1.0 s: 37 pictures), each a grey that tells the source
    // picture n it was made from, so its time n / 30; a beep from 1.0 to 1.2 s.
    static std::string UnevenVideo(const std::string& name) {
        const std::string path = Fixture(name);
        if (std::filesystem::exists(path)) return path;
        cb::testing::RunCommand(
            "ffmpeg -v error -y -f lavfi -i \"color=black:s=64x48:r=30:d=1.5,format=gray,geq=lum='20+5*N',"
            "select='lt(n,15)+gte(n,30)+not(mod(n,2))'\" -f lavfi -i "
            "\"aevalsrc='if(between(t,1,1.2),0.5*sin(2*PI*1000*t),0)':s=48000:d=1.5\" -fps_mode vfr -c:v "
            "libx264 -crf 0 "
            "-pix_fmt yuv420p -c:a aac " +
            cb::testing::Quoted(path));
        return path;
    }

    static LoudStretch Loudness(const std::string& movie) {
        const std::vector<uint8_t> bytes = cb::testing::RunCommandBytes(
            "ffmpeg -v error -i " + cb::testing::Quoted(movie) + " -map 0:a:0 -f s16le -ac 1 -ar 8000 -");
        LoudStretch loud;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto sample = static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8));
            if (std::abs(sample) < 4000) continue;
            const auto at = static_cast<int64_t>(i / 2);
            if (loud.first < 0) loud.first = at;
            loud.last = at;
        }
        return loud;
    }
};

TEST_F(RenderSyncTest, ATrimmedVideosOwnSoundStartsAtItsFirstUsedPictureAndEndsAfterItsLast) {
    MovieDbRec movie = MovieOfBeepingVideo();
    // Pictures 21 .. 35 (0.8 to 1.4 s of the file): the first beep is heard from 0.2 to 0.4 s, the
    // second lies after the used pictures and is not heard at all, though a picture follows.
    movie.Clips[1].UseFirst = 21;
    movie.Clips[1].UseLast = 35;
    Arrange(movie, AddPicture(movie, MakePicture("grey.bmp", "color=c=gray:s=16x16"), "Grey", 16, 16, 1.0));
    const std::string out = OutputFile("trimmed.avi");
    ASSERT_TRUE(Shown(SaveMovie(movie, out, options_)));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
    EXPECT_EQ(Probe(out).videoFrames, 40);
    EXPECT_TRUE(Near(PixelAt(out, 1, 24, 32), {100, 0, 0}, 2)) << "picture 21 first";
    EXPECT_TRUE(Near(PixelAt(out, 6, 24, 32), {125, 0, 0}, 2)) << "picture 26 at 0.2 s, with the beep";
    const LoudStretch loud = Loudness(out);
    EXPECT_NEAR(loud.first, 0.2 * kRate, 8);
    EXPECT_NEAR(loud.last, 0.4 * kRate, 8);
}

TEST_F(RenderSyncTest, APartStartingBetweenFramesHasItsSoundStartWithItsFirstFrame) {
    MovieDbRec movie = MovieOfBeepingVideo();
    // 0.5 s is frame 13.5, which rounds to frame 14, shown from 0.52 s: the beep at 1.0 s of the movie
    // is 0.48 s into the part, with picture 26.
    const std::string out = OutputFile("part.avi");
    ASSERT_TRUE(Shown(SavePartMovie(movie, out, 0.5, 1.5, options_)));
    EXPECT_TRUE(Near(PixelAt(out, 1, 24, 32), {65, 0, 0}, 2)) << "picture 14 first";
    EXPECT_TRUE(Near(PixelAt(out, 13, 24, 32), {125, 0, 0}, 2)) << "picture 26 at 0.48 s";
    const LoudStretch loud = Loudness(out);
    EXPECT_NEAR(loud.first, 0.48 * kRate, 8);
    EXPECT_NEAR(loud.last, 0.68 * kRate, 8);
}

// Every picture of the uneven clip as kept: its source number n (shown at n / 30 s).
std::vector<int> KeptPictures() {
    std::vector<int> kept;
    for (int n = 0; n < 45; ++n) {
        if (n < 15 || n >= 30 || n % 2 == 0) kept.push_back(n);
    }
    return kept;
}

// The source picture each frame of a movie shows, from the grey of its centre pixel.
std::vector<int> SourcePicturesShown(const std::string& movie) {
    const std::vector<uint8_t> bytes = cb::testing::RunCommandBytes(
        "ffmpeg -v error -i " + cb::testing::Quoted(movie) + " -f rawvideo -pix_fmt rgb24 -");
    constexpr std::size_t kFrameBytes = 64 * 48 * 3;
    std::vector<int> shown;
    for (std::size_t at = 0; at + kFrameBytes <= bytes.size(); at += kFrameBytes) {
        const uint8_t* centre = bytes.data() + at + (24 * 64 + 32) * 3;
        const int grey = (centre[0] + centre[1] + centre[2]) / 3;
        shown.push_back(static_cast<int>(std::lround((grey - 20) / 5.0)));
    }
    return shown;
}

// Each output frame shows the last used picture whose time (from the first used one) is at or
// before its own, and the clip's sound is heard with the pictures it was recorded with: the clip
// has as many frames as pictures, and lasts as long as they do.
TEST_F(RenderSyncTest, PicturesAtUnevenIntervalsLandAtTheirTimesWithTheirSound) {
    const struct {
        const char* file;
        int32_t useFirst, useLast;  // 0: the whole clip
    } cases[] = {
        {"uneven.mp4", 0, 0},
        {"uneven.mkv", 0, 0},
        {"uneven.mp4", 10, 33},  // from source picture 9 (0.3 s) to 38, which ends at 39 (1.3 s)
    };
    const std::vector<int> kept = KeptPictures();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.useFirst) + ".." +
                     std::to_string(c.useLast));
        MovieDbRec movie = NewMovie(kFps, 64, 48);
        MediaSourceProbe probe;
        int32_t position = 0, overlay = 0;
        ASSERT_TRUE(AddClip(movie, UnevenVideo(c.file), TrackKind::None, position, overlay, probe));
        ClipRec& clip = movie.Clips[1];
        ASSERT_EQ(clip.FrameCount, static_cast<int32_t>(kept.size()));
        if (c.useFirst > 0) {
            clip.UseFirst = c.useFirst;
            clip.UseLast = c.useLast;
        }
        const int first = kept[static_cast<std::size_t>(clip.UseFirst - 1)];
        const int end = clip.UseLast < clip.FrameCount ? kept[static_cast<std::size_t>(clip.UseLast)] : 45;
        const std::string out = OutputFile("uneven.avi");
        ASSERT_TRUE(Shown(SaveMovie(movie, out, options_)));
        const std::vector<int> shown = SourcePicturesShown(out);
        // The movie lasts as long as the used pictures: (end - first) / 30 s at 25 frames a second.
        ASSERT_EQ(static_cast<int>(shown.size()), static_cast<int>(std::lround((end - first) * kFps / 30)));
        for (std::size_t f = 0; f < shown.size(); ++f) {
            int expected = first;
            for (int32_t k = clip.UseFirst; k <= clip.UseLast; ++k) {
                const int n = kept[static_cast<std::size_t>(k - 1)];
                if ((n - first) * 25 <= static_cast<int>(f) * 30) expected = n;
            }
            EXPECT_EQ(shown[f], expected) << "output frame " << f + 1 << " at " << f * 40 << " ms";
        }
        // The beep recorded from 1.0 s of the file is heard 1.0 - first / 30 s into the movie.
        const LoudStretch loud = Loudness(out);
        EXPECT_NEAR(loud.first, (1.0 - first / 30.0) * kRate, 0.005 * kRate);
        EXPECT_NEAR(loud.last, (std::min(1.2, end / 30.0) - first / 30.0) * kRate, 0.005 * kRate);
    }
}

}  // namespace
}  // namespace composer::testing
