// The reader engine against the ffmpeg command line: AVI files ffmpeg writes with each video codec
// we claim are read with ffprobe's frame count, size and rate, and every frame, asked for in any
// order, is ffmpeg's own decode of it.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "frame/tag_code.h"
#include "reader/avi_reader_engine.h"
#include "reader_test_support.h"

namespace vidmill::reader {
namespace {

using namespace testing;

struct CodecCase {
    const char* name;
    const char* videoArguments;
    const char* handler;  // the stream header's handler code as ffmpeg writes it
    int tolerance;        // largest colour difference from ffmpeg's decode
};

std::ostream& operator<<(std::ostream& out, const CodecCase& c) { return out << c.name; }

// Key frames every 12 frames where the codec has a choice, so that random reads seek and decode forward.
const CodecCase kCodecs[] = {
    {"msvideo1", "-c:v msvideo1 -g 12", "MSVC", 0},
    {"rawvideo_bgr24", "-c:v rawvideo -pix_fmt bgr24", "\0\0\0\0", 0},
    {"rawvideo_rgb555", "-c:v rawvideo -pix_fmt rgb555le", "\0\0\0\0", 0},
    {"rawvideo_pal8", "-vf format=pal8 -c:v rawvideo", "\0\0\0\0", 0},
    {"mjpeg", "-c:v mjpeg -q:v 4", "MJPG", 2},
    {"mpeg4", "-c:v mpeg4 -g 12", "FMP4", 2},
    {"huffyuv", "-c:v huffyuv", "HFYU", 0},
    {"cinepak", "-c:v cinepak -g 12", "cvid", 0},
    {"msmpeg4v2", "-c:v msmpeg4v2 -g 12", "MP42", 2},
};

class CodecFiles : public ::testing::TestWithParam<CodecCase> {};

TEST_P(CodecFiles, HeadersAndEveryFrameInAnyOrderMatchFfmpeg) {
    const CodecCase& c = GetParam();
    constexpr int kWidth = 64, kHeight = 48, kFrames = 30;
    const std::string path =
        MakeAvi(std::string(c.name) + ".avi", kWidth, kHeight, kFrames, "15", c.videoArguments);
    const auto reference = DecodeBgra(path, kWidth, kHeight);
    ASSERT_EQ(reference.size(), static_cast<std::size_t>(kFrames));

    AviReaderEngine reader;
    reader.open(path);
    const AviFileFacts& facts = reader.facts();
    EXPECT_EQ(facts.width, std::stoi(ProbeField(path, "v:0", "width")));
    EXPECT_EQ(facts.height, std::stoi(ProbeField(path, "v:0", "height")));
    EXPECT_EQ(facts.frameCount, std::stoi(ProbeField(path, "v:0", "nb_frames")));
    // The file's rate is the main header's: ffmpeg writes 66666 microseconds per frame for 15.
    EXPECT_DOUBLE_EQ(facts.framesPerSecond, 1e6 / 66666);
    EXPECT_EQ(facts.compressorHandler, TagCode(std::string_view(c.handler, 4)));
    EXPECT_FALSE(facts.hasSound);

    for (int i = 0; i < kFrames; ++i)
        EXPECT_LE(
            LargestColourDifference(TopDownBgra(reader.frameAt(i)), reference[static_cast<std::size_t>(i)]),
            c.tolerance)
            << "frame " << i << " read in order";
    EXPECT_EQ(reader.seekCount(), 0) << "reading in increasing order never seeks";

    for (const int i : {29, 0, 13, 12, 11, 25, 24, 5, 6, 28, 1, 1, 23})
        EXPECT_LE(
            LargestColourDifference(TopDownBgra(reader.frameAt(i)), reference[static_cast<std::size_t>(i)]),
            c.tolerance)
            << "frame " << i << " read out of order";
}

// YUV frames are scaled straight into the bitmap when a row ends on a whole 64-byte block, and
// through a padded band of rows otherwise: frames of several bands (the last one short), of both
// kinds of width, come out as ffmpeg decodes them.
TEST(FrameWidths, EveryWidthAndHeightMatchesFfmpeg) {
    const struct {
        const char* name;
        int width, height;
        const char* videoArguments;
    } cases[] = {
        {"mjpeg420_banded", 1000, 150, "-c:v mjpeg -q:v 4"},
        {"mjpeg444_banded", 1000, 150, "-c:v mjpeg -q:v 4 -pix_fmt yuvj444p"},
        {"mjpeg420_direct", 1024, 150, "-c:v mjpeg -q:v 4"},
        {"huffyuv422_banded", 1002, 150, "-c:v huffyuv"},
        {"mpeg4_banded", 1000, 150, "-c:v mpeg4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path =
            MakeAvi(std::string(c.name) + ".avi", c.width, c.height, 2, "15", c.videoArguments);
        const auto reference = DecodeBgra(path, c.width, c.height);
        ASSERT_EQ(reference.size(), 2u);
        AviReaderEngine reader;
        reader.open(path);
        for (int i = 0; i < 2; ++i)
            EXPECT_LE(LargestColourDifference(TopDownBgra(reader.frameAt(i)),
                                              reference[static_cast<std::size_t>(i)]),
                      2)
                << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Ffmpeg, CodecFiles, ::testing::ValuesIn(kCodecs),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace vidmill::reader
