// vidmill make, run as a user runs it: the sources in the order given, the settings, the
// watermark, and the refusals with their exit status and message.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "writer_test_support.h"

namespace vidmill::writer {
namespace {

using namespace testing;

struct ToolRun {
    int status = -1;
    std::string err;
};

ToolRun Make(const std::string& arguments) {
    const char* build = std::getenv("CB_BUILD_DIR");
    const std::string tool = std::string(build ? build : ".") + "/bin/vidmill";
    const std::string errFile = ScratchPath("make.err");
    const int raw =
        std::system((Quoted(tool) + " make " + arguments + " >/dev/null 2>" + Quoted(errFile)).c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(errFile);
    run.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run;
}

// A 32 x 24 solid-colour image of the given ffmpeg colour name.
std::string ColourImage(const std::string& name, const std::string& colour) {
    const std::string path = ScratchPath(name);
    RunCommand("ffmpeg -v error -y -f lavfi -i color=" + colour + ":s=32x24,format=rgb24 -frames:v 1 " +
               Quoted(path));
    return path;
}

TEST(WriterTool, MakeAddsTheSourcesInTheOrderGiven) {
    const std::string red = ColourImage("red.png", "red");
    const std::string blue = ColourImage("blue.png", "blue");
    const std::string tone = MakeToneFile("make-tone.wav", 3.0, 11025, 1, "pcm_s16le");
    const std::string first = ScratchPath("first.avi");
    // red, grey between, blue, then the sound cut at the last frame.
    ToolRun run =
        Make(Quoted(first) + " --size 32x24 --fps 10 --compressor 'DIB ' --inter-frames 1 --image " +
             Quoted(red) + " --image " + Quoted(blue) + " --wav " + Quoted(tone) + " --cut-wav");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const VideoFacts video = ProbeVideo(first);
    EXPECT_EQ(video.codecName, "rawvideo");
    EXPECT_EQ(video.width, 32);
    EXPECT_EQ(video.height, 24);
    EXPECT_EQ(video.frameRate, "10/1");
    EXPECT_EQ(video.packets, 3);
    EXPECT_EQ(ProbeSound(first).sampleFrames, 11025 / 5 + 1);
    const auto pixels = DecodeBgr24(first);
    ASSERT_EQ(pixels.size(), 3u * 32 * 24 * 3);
    EXPECT_EQ(pixels[2], 255);                    // red
    EXPECT_EQ(pixels[32 * 24 * 3 + 2], 127);      // half-way
    EXPECT_EQ(pixels[2 * 32 * 24 * 3 + 0], 255);  // blue

    // Another file's frames backwards with its sound, under a title and a timer.
    const std::string second = ScratchPath("second.avi");
    run = Make(Quoted(second) + " --size 32x24 --compressor MSVC --key-frame-rate 2 --avi " + Quoted(first) +
               " --reverse --with-sound --watermark-text Hi --watermark-timer video-frame");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ProbeVideo(second).codecName, "msvideo1");
    EXPECT_EQ(KeyFrameFlags(second), (std::vector<bool>{true, false, true}));
    EXPECT_GT(ProbeSound(second).sampleFrames, 0);
}

TEST(WriterTool, RefusalsExitWithOneAndTheMessage) {
    const std::string out = ScratchPath("refused.avi");
    struct Row {
        std::string arguments;
        std::string message;
    };
    const Row rows[] = {
        {Quoted(out) + " --size 0x24", "Invalid Width parameter of CreateNew method call"},
        {Quoted(out) + " --fps fast", "--fps takes a number"},
        {Quoted(out) + " --watermark-timer sometimes", "unknown timer style"},
        {Quoted(out) + " --wav " + Quoted(ScratchPath("none.wav")), "not found"},
        {Quoted(out) + " --reverse", "usage: vidmill make"},
        {"", "usage: vidmill make"},
    };
    for (const Row& row : rows) {
        const ToolRun run = Make(row.arguments);
        EXPECT_EQ(run.status, 1) << row.arguments;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << row.arguments << ": " << run.err;
    }
}

}  // namespace
}  // namespace vidmill::writer
