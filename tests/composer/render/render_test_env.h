// The setting of the render tests: a work folder and a scripted seam (SoundTest), the AVI library
// registered in a scratch class registry as the program finds it, small fixtures made by the ffmpeg
// command line, and what ffprobe and ffmpeg read back from a rendered movie.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/interaction.h"
#include "cbplatform/runtime.h"
#include "document/movie_records.h"
#include "render/movie_render.h"
#include "render/render_options.h"
#include "sound_test_env.h"

namespace composer::testing {

// What a command that started a render does with its report: shows its messages, and says whether
// the movie was written.
inline bool Shown(const RenderReport& report) {
    ShowMessages(report.messages);
    return report.written;
}

// One pixel as ffmpeg decodes it.
struct Rgb24 {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// What ffprobe reads from a movie file.
struct ProbedMovie {
    int width = 0;
    int height = 0;
    std::string frameRate;  // "num/den"
    int videoFrames = 0;
    std::string videoCodec;
    int sampleRate = 0;
    int channels = 0;
    int64_t soundFrames = 0;  // decoded sample frames; 0 without a sound track
};

class RenderTest : public SoundTest {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // A fixture file outside the work folder (made once per test process).
    static std::string Fixture(const std::string& name) { return (folder_ / name).string(); }
    // A path for a movie this test writes.
    std::string OutputFile(const std::string& name) const { return PathFor(name); }

    // An uncompressed AVI of `frames` frames made by ffmpeg from a lavfi video filter graph that
    // sets its own rate (for example "color=c=red:s=64x48:r=10").
    static std::string MakeAvi(const std::string& name, const std::string& source, int frames);
    // A still picture (BMP) of one colour or a lavfi graph.
    static std::string MakePicture(const std::string& name, const std::string& source);
    // A mono 16-bit WAV tone.
    static std::string MakeWav(const std::string& name, double seconds, int sampleRate);

    static ProbedMovie Probe(const std::string& movie);
    // The pixel at (row, column) (row 0 = top) of frame `frame` (1-based) of a movie.
    static Rgb24 PixelAt(const std::string& movie, int frame, int row, int column);

    // A movie record with the output settings of the tests: `fps`, width x height, mono 16-bit 8 kHz.
    static MovieDbRec NewMovie(double fps, int32_t width, int32_t height);
    // Clip records as the clip database fills them.
    static int32_t AddVideo(MovieDbRec& movie, const std::string& path, const std::string& name,
                            int32_t width, int32_t height, double fps, int32_t frames);
    static int32_t AddPicture(MovieDbRec& movie, const std::string& path, const std::string& name,
                              int32_t width, int32_t height, double seconds);
    static int32_t AddSound(MovieDbRec& movie, const std::string& path, const std::string& name,
                            double seconds, int32_t rate);
    static void Arrange(MovieDbRec& movie, int32_t clip, const std::vector<int32_t>& overlays = {});

    static inline std::filesystem::path folder_;

    // The options of every render of these tests: uncompressed frames.
    RenderOptions options_;
};

// Red, green and blue each within `tolerance` of the expected values.
::testing::AssertionResult Near(const Rgb24& actual, const Rgb24& expected, int tolerance = 8);

}  // namespace composer::testing
