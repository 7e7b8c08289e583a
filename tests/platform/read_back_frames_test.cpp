// The frames a new movie's check decodes, chosen from the file's packets without decoding them.
#include "cbplatform/read_back_frames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_runner.h"

namespace cb {
namespace {

using testing::Quoted;
using testing::RunCommand;
using testing::ScratchFile;

// A testsrc movie of `frames` frames at 25 a second, coded as `coding` says.
std::string Movie(const std::string& name, int frames, const std::string& coding) {
    const std::string path = ScratchFile("read-back", name);
    RunCommand("ffmpeg -v error -y -f lavfi -i testsrc=s=64x48:r=25 -frames:v " + std::to_string(frames) +
               " " + coding + " " + Quoted(path));
    return path;
}

TEST(ReadBackFrames, FirstMiddleLastAndEveryKeyFrameOfAShortMovie) {
    struct Row {
        std::string file;
        std::int32_t frames;
        std::vector<std::int32_t> expected;
    };
    const Row rows[] = {
        // Key frames every 10 frames, in an AVI file and in MP4 with pictures stored out of order
        // (the key frames in presentation order: 0, 12, 21, 30).
        {Movie("gop.avi", 35, "-c:v mpeg4 -g 10 -bf 0"), 35, {0, 10, 17, 20, 30, 34}},
        {Movie("reordered.mp4", 35, "-c:v mpeg4 -g 10 -bf 2"), 35, {0, 12, 17, 21, 30, 34}},
        // Every frame a key frame: no group of pictures to start, the three frames only.
        {Movie("intra.avi", 5, "-c:v mjpeg"), 5, {0, 2, 4}},
        {Movie("raw.avi", 9, "-c:v rawvideo -pix_fmt bgr24"), 9, {0, 4, 8}},
        {Movie("one.avi", 1, "-c:v mjpeg"), 1, {0}},
        // From a thousand frames on, the key frames are left to the first, middle and last.
        {Movie("long.avi", kEveryKeyFrameBelow, "-c:v mpeg4 -g 10"), kEveryKeyFrameBelow, {0, 500, 999}},
        // A file whose packets cannot be read adds no key frame; no frames, nothing to decode.
        {ScratchFile("read-back", "missing.avi"), 7, {0, 3, 6}},
        {Movie("empty.avi", 1, "-c:v mjpeg"), 0, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        EXPECT_EQ(ReadBackFrames(row.file, row.frames, 25), row.expected);
    }
}

}  // namespace
}  // namespace cb
