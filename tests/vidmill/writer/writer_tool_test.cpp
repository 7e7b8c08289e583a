// vidmill make, run as a user runs it: the sources in the order given, the settings, the
// watermark, and the refusals with their exit status and message.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "small_disk.h"
#include "stopped_run.h"
#include "writer_test_support.h"

namespace vidmill::writer {
namespace {

using namespace testing;
using cb::testing::FileBytes;
using cb::testing::FolderHolds;

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string err;
};

std::string Tool() {
    const char* build = std::getenv("CB_BUILD_DIR");
    return std::string(build ? build : ".") + "/bin/vidmill";
}

ToolRun Make(const std::string& arguments) {
    const std::string tool = Tool();
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
    // Blue, grey, red: each frame changes as a whole, so each is coded whole and is a key frame,
    // whatever the key-frame rate.
    EXPECT_EQ(KeyFrameFlags(second), (std::vector<bool>{true, true, true}));
    EXPECT_GT(ProbeSound(second).sampleFrames, 0);
}

TEST(WriterTool, RefusalsExitWithOneAndTheMessage) {
    const std::string out = ScratchPath("refused.avi");
    struct Row {
        std::string arguments;
        std::string message;
        bool noFileLeft = false;  // refused before the file is created
    };
    const Row rows[] = {
        {Quoted(out) + " --size 0x24", "Invalid Width parameter of CreateNew method call"},
        {Quoted(out) + " --fps fast", "--fps takes a number"},
        {Quoted(out) + " --watermark-timer sometimes", "unknown timer style"},
        {Quoted(out) + " --wav " + Quoted(ScratchPath("none.wav")), "not found"},
        {Quoted(out) + " --reverse", "usage: vidmill make"},
        {"", "usage: vidmill make"},
        // Sources that are not there, and a rate no stream has, stop the command before the file
        // is created.
        {Quoted(out) + " --image " + Quoted(ScratchPath("none.png")), "none.png: file not found", true},
        {Quoted(out) + " --images " + Quoted(ScratchPath("none-*.png")), "no file matches", true},
        {Quoted(out) + " --fps 0", "Cannot create AVI stream", true},
        {Quoted(out) + " --compressor ZZZZ", "Cannot create compressed AVI stream"},
    };
    for (const Row& row : rows) {
        std::filesystem::remove(out);
        const ToolRun run = Make(row.arguments);
        EXPECT_EQ(run.status, 1) << row.arguments;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << row.arguments << ": " << run.err;
        if (row.noFileLeft) {
            EXPECT_FALSE(std::filesystem::exists(out)) << row.arguments;
        }
    }
}

// A folder of its own, so that a partial file left in it would be seen.
std::string FreshFolder(const std::string& name) {
    const std::string folder = ScratchPath(name);
    fs::create_directories(folder);
    return folder;
}

TEST(WriterTool, AnOutputThatIsOneOfItsInputsIsRefusedAndKept) {
    const std::string folder = FreshFolder("inputs");
    const std::string image = ColourImage("inputs/red.png", "red");
    const std::string avi = folder + "/bars.avi";
    ASSERT_EQ(Make(Quoted(avi) + " --size 32x24 --image " + Quoted(image)).status, 0);
    const std::string tone = MakeToneFile("inputs/tone.wav", 0.5, 8000, 1, "pcm_s16le");
    fs::create_symlink(avi, folder + "/link.avi");
    fs::create_hard_link(avi, folder + "/hard.avi");
    fs::create_directories(folder + "/sub");
    struct Row {
        std::string output;
        std::string sources;
    };
    const Row rows[] = {
        {avi, "--avi " + Quoted(avi)},
        {folder + "/sub/../bars.avi", "--image " + Quoted(image) + " --avi " + Quoted(avi)},
        {folder + "/link.avi", "--avi " + Quoted(avi)},
        {folder + "/hard.avi", "--avi " + Quoted(avi)},
        {tone, "--image " + Quoted(image) + " --wav " + Quoted(tone)},
        {image, "--images " + Quoted(folder + "/*.PNG")},
    };
    for (const Row& row : rows) {
        const std::string before = FileBytes(row.output);
        const ToolRun run = Make(Quoted(row.output) + " --size 32x24 " + row.sources);
        EXPECT_EQ(run.status, 1) << row.output;
        EXPECT_NE(run.err.find(row.output + " is also an input"), std::string::npos) << run.err;
        EXPECT_EQ(FileBytes(row.output), before) << row.output;
    }
    EXPECT_FALSE(FolderHolds(folder, ".partial-"));
}

// The library draws a damaged image as far as it decodes, over black: the tool refuses an image
// that is cut short before anything is written, and takes the whole one.
TEST(WriterTool, AnImageCutShortIsRefusedNamingTheFile) {
    const std::string folder = FreshFolder("cut-images");
    const std::string out = folder + "/out.avi";
    for (const char* extension : {"bmp", "jpg"}) {
        SCOPED_TRACE(extension);
        const std::string whole = folder + "/whole." + extension;
        RunCommand("ffmpeg -v error -y -f lavfi -i testsrc=s=64x48 -frames:v 1 " + Quoted(whole));
        const ToolRun made = Make(Quoted(out) + " --size 64x48 --image " + Quoted(whole));
        ASSERT_EQ(made.status, 0) << made.err;
        const std::string old = FileBytes(out);
        const std::string bytes = FileBytes(whole);
        for (const std::size_t kept : {bytes.size() * 3 / 4, bytes.size() / 2, std::size_t{200}}) {
            const std::string cut = folder + "/cut-" + std::to_string(kept) + "." + extension;
            std::ofstream(cut, std::ios::binary) << bytes.substr(0, kept);
            const ToolRun run =
                Make(Quoted(out) + " --size 64x48 --image " + Quoted(whole) + " --image " + Quoted(cut));
            EXPECT_EQ(run.status, 1) << kept;
            EXPECT_NE(run.err.find("--image " + cut + ": the image is damaged or cut short"),
                      std::string::npos)
                << run.err;
            EXPECT_EQ(FileBytes(out), old) << kept;
        }
    }
    EXPECT_FALSE(FolderHolds(folder, ".partial-"));
}

// A compressor is used at a size only once a frame of that size went through it and back: one whose
// frames of the size no decoder takes, and one whose encoder stops the process on an assertion (tried
// in a child process), are refused with status 1 and the reason; the old file stays byte for byte.
TEST(WriterTool, ACompressorIsUsedOnlyAtSizesItRoundTrips) {
    const std::string folder = FreshFolder("sizes");
    const std::string image = ColourImage("sizes/red.png", "red");
    struct Row {
        const char* compressor;
        const char* size;
        std::string message;  // empty: written
    };
    const Row rows[] = {
        {"SHQ0", "351x287",
         "(SHQ0) cannot write 351 x 287 frames: its frames of that size do not decode back"},
        {"azpr", "2x2",
         "(azpr) cannot write 2 x 2 frames: its encoder crashed on a frame of that size (Aborted)"},
        {"SHQ0", "352x288", ""},
        {"azpr", "64x48", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.compressor) + " " + row.size);
        const std::string out = folder + "/out.avi";
        std::ofstream(out) << "the user's movie";
        const ToolRun run = Make(Quoted(out) + " --size " + row.size + " --compressor " + row.compressor +
                                 " --image " + Quoted(image) + " --image " + Quoted(image));
        if (row.message.empty()) {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(DecodeBgr24(out).size(), 2u * 3 * ProbeVideo(out).width * ProbeVideo(out).height);
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
            EXPECT_EQ(FileBytes(out), "the user's movie");
        }
        EXPECT_FALSE(FolderHolds(folder, ".partial-"));
    }
}

TEST(WriterTool, AFailedOrStoppedMakeLeavesTheOldFileAndNoPartialFile) {
    const std::string folder = FreshFolder("kept");
    const std::string keep = folder + "/keep.avi";
    const std::string image = ColourImage("kept/red.png", "red");
    ASSERT_EQ(Make(Quoted(keep) + " --size 32x24 --image " + Quoted(image)).status, 0);
    const std::string old = FileBytes(keep);

    const ToolRun failed = Make(Quoted(keep) + " --size 32x24 --image " + Quoted(image) + " --avi " +
                                Quoted(folder + "/missing.avi"));
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(FileBytes(keep), old);
    EXPECT_FALSE(FolderHolds(folder, ".partial-"));

    // Long enough to be stopped while its frames are written: the library's own partial file
    // (a partial of the command's partial) shows that frames are being added.
    const std::string source = ScratchPath("long.avi");
    RunCommand("ffmpeg -v error -y -f lavfi -i testsrc=s=64x48:r=25 -frames:v 5000 -c:v mjpeg " +
               Quoted(source));
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        SCOPED_TRACE(signal);
        const auto run = cb::testing::RunAndStop(
            Quoted(Tool()) + " make " + Quoted(keep) + " --size 64x48 --compressor MSVC --avi " +
                Quoted(source) + " 2>/dev/null",
            signal, [&] { return FolderHolds(folder, ".partial-") && FolderHolds(folder, "-1.partial-"); });
        ASSERT_TRUE(run.signalSent) << "the make ended before it could be stopped";
        EXPECT_EQ(run.status, 128 + signal);
        EXPECT_EQ(FileBytes(keep), old);
        EXPECT_FALSE(FolderHolds(folder, ".partial-"));
    }

    // A killed make cannot remove its partial files: the next start of the tool does.
    const auto killed = cb::testing::RunAndStop(Quoted(Tool()) + " make " + Quoted(keep) +
                                                    " --size 64x48 --compressor MSVC --avi " +
                                                    Quoted(source) + " 2>/dev/null",
                                                SIGKILL, [&] { return FolderHolds(folder, "-1.partial-"); });
    ASSERT_TRUE(killed.signalSent) << "the make ended before it could be killed";
    EXPECT_TRUE(FolderHolds(folder, ".partial-"));
    RunCommand(Quoted(Tool()) + " compressors >/dev/null");
    EXPECT_FALSE(FolderHolds(folder, ".partial-"));
    EXPECT_EQ(FileBytes(keep), old);
}

TEST(WriterTool, AFullDiskFailsTheMakeNamesTheFolderAndKeepsTheOldFile) {
    // 100 uncompressed frames of 9 kB do not fit 256 kB.
    const std::string source = ScratchPath("frames.avi");
    RunCommand("ffmpeg -v error -y -f lavfi -i testsrc=s=64x48:r=25 -frames:v 100 -c:v mjpeg " +
               Quoted(source));
    const std::string folder = FreshFolder("small");
    const std::string keep = folder + "/keep.avi";
    const std::string err = ScratchPath("small.err"), status = ScratchPath("small.status");
    const std::string kept = ScratchPath("small.kept"), left = ScratchPath("small.left");
    const std::string script = "printf old >'" + keep + "'; '" + Tool() + "' make '" + keep +
                               "' --size 64x48 --compressor 'DIB ' --avi '" + source + "' 2>'" + err +
                               "'; echo \\$? >'" + status + "'; cat '" + keep + "' >'" + kept + "'; ls -A '" +
                               folder + "' >'" + left + "'";
    if (!cb::testing::RunWithSmallDisk(folder, "256k", script))
        GTEST_SKIP() << "no tmpfs can be mounted here";
    EXPECT_EQ(FileBytes(status), "1\n");
    EXPECT_NE(FileBytes(err).find(folder + ": No space left on device"), std::string::npos) << FileBytes(err);
    EXPECT_EQ(FileBytes(kept), "old");
    EXPECT_EQ(FileBytes(left), "keep.avi\n");
}

}  // namespace
}  // namespace vidmill::writer
