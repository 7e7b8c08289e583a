// AVI files whose video has B-frames, stored as AVI writers store them: in decoding order, one
// picture per chunk (H.264, MPEG-4 as ffmpeg writes it), or packed (MPEG-4 as the old video
// interface's writers store it). Every frame, asked for in any order, is the picture ffmpeg shows
// at that place, and the compressed sound beside them is copied whole, as ffmpeg decodes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "packed_b_frames.h"
#include "reader/avi_reader_engine.h"
#include "reader_test_support.h"

namespace vidmill::reader {
namespace {

using namespace testing;

struct ReorderedCase {
    const char* name;
    const char* videoArguments;
    const char* soundArguments;
    bool packed;  // rewritten with the B-frames packed
};

std::ostream& operator<<(std::ostream& out, const ReorderedCase& c) { return out << c.name; }

// Two B-frames between reference pictures and a key frame every 12 frames: random reads land
// on B-frames shown before a key frame that come after it in the file.
const ReorderedCase kCases[] = {
    {"mpeg4_packed_mp3", "-c:v mpeg4 -bf 2 -g 12 -vtag XVID", "-c:a libmp3lame -ar 44100", true},
    {"mpeg4_in_decoding_order_ac3", "-c:v mpeg4 -bf 2 -g 12 -vtag XVID", "-c:a ac3 -ar 48000", false},
    {"h264_mp3", "-c:v libx264 -bf 2 -g 12 -x264-params b-adapt=0 -pix_fmt yuv420p", "-c:a libmp3lame",
     false},
    {"h264_ac3", "-c:v libx264 -bf 3 -g 12 -x264-params b-adapt=0:b-pyramid=normal -pix_fmt yuv420p",
     "-c:a ac3 -ar 48000", false},
};

class ReorderedFiles : public ::testing::TestWithParam<ReorderedCase> {};

TEST_P(ReorderedFiles, EveryFrameInAnyOrderAndTheSoundMatchFfmpeg) {
    const ReorderedCase& c = GetParam();
    constexpr int kWidth = 64, kHeight = 48, kFrames = 48, kRate = 25;
    constexpr int kTolerance = 2;  // YUV to BGRA rounding
    std::string path = MakeAvi(std::string(c.name) + ".avi", kWidth, kHeight, kFrames, std::to_string(kRate),
                               c.videoArguments, c.soundArguments);
    if (c.packed) {
        const std::string packed = ScratchPath(std::string(c.name) + "-packed.avi");
        PackBFrames(path, packed, kRate);
        path = packed;
    }
    const auto reference = DecodeBgra(path, kWidth, kHeight);
    ASSERT_EQ(reference.size(), static_cast<std::size_t>(kFrames));

    AviReaderEngine reader;
    reader.open(path);
    ASSERT_EQ(reader.facts().frameCount, kFrames);
    ASSERT_TRUE(reader.facts().hasSound);
    const auto expectFrame = [&](int i, const char* how) {
        EXPECT_LE(
            LargestColourDifference(TopDownBgra(reader.frameAt(i)), reference[static_cast<std::size_t>(i)]),
            kTolerance)
            << "frame " << i << " read " << how;
    };
    for (int i = 0; i < kFrames; ++i) expectFrame(i, "in order");
    EXPECT_EQ(reader.seekCount(), 0) << "reading in increasing order never seeks";
    for (const int i : {47, 0, 13, 12, 11, 10, 25, 24, 23, 22, 5, 6, 36, 35, 34, 1, 1, 46, 45})
        expectFrame(i, "out of order");

    const std::string wav = ScratchPath(std::string(c.name) + ".wav");
    reader.extractWav(wav);
    const std::string decode = "ffmpeg -nostdin -v error -i ";
    const auto fromAvi = RunCommandBytes(decode + Quoted(path) + " -map 0:a:0 -f s16le -");
    EXPECT_FALSE(fromAvi.empty());
    EXPECT_TRUE(RunCommandBytes(decode + Quoted(wav) + " -f s16le -") == fromAvi)
        << "the WAV copy decodes to the AVI's sound";
}

INSTANTIATE_TEST_SUITE_P(Ffmpeg, ReorderedFiles, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace vidmill::reader
