// The vidmill tool's reader commands: info, save-frames and extract-wav, run as a user runs them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "le_bytes.h"
#include "reader_test_support.h"

namespace vidmill::reader {
namespace {

using namespace testing;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

ToolRun RunTool(const std::string& arguments) {
    // The tool is built beside the test program.
    const std::string tool =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "vidmill").string();
    const std::string outFile = ScratchPath("tool.out");
    const std::string errFile = ScratchPath("tool.err");
    const int raw = std::system((Quoted(tool) + " " + arguments + " >" + outFile + " 2>" + errFile).c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    const auto out = ReadFileBytes(outFile);
    const auto err = ReadFileBytes(errFile);
    run.out.assign(out.begin(), out.end());
    run.err.assign(err.begin(), err.end());
    return run;
}

// The main header's maximum data rate, read from the file's bytes.
long MaxBytesPerSecond(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    const char tag[] = "avih";
    const auto at = std::search(bytes.begin(), bytes.end(), tag, tag + 4) - bytes.begin() + 12;
    return static_cast<long>(cb::testing::Le32(bytes, static_cast<std::size_t>(at)));
}

TEST(ReaderTool, InfoPrintsOneJsonObject) {
    const std::string withSound = MakeAvi("info.avi", 64, 48, 12, "25", "-c:v msvideo1", "-c:a pcm_u8");
    const ToolRun sound = RunTool("info " + Quoted(withSound));
    EXPECT_EQ(sound.status, 0) << sound.err;
    EXPECT_EQ(sound.out,
              "{\"width\": 64, \"height\": 48, \"framesPerSecond\": 25, \"frameCount\": 12, "
              "\"compressorHandler\": \"MSVC\", \"quality\": -1, \"bytesPerSecond\": " +
                  std::to_string(MaxBytesPerSecond(withSound)) + ", \"hasSound\": true}\n");

    const std::string silent = MakeAvi("silent.avi", 32, 16, 3, "30000/1001", "-c:v huffyuv");
    const ToolRun none = RunTool("info " + Quoted(silent));
    EXPECT_EQ(none.status, 0) << none.err;
    // NTSC as ffmpeg writes it: the stream says 30000 / 1001, the main header 33366 microseconds per
    // frame, which is the file's rate.
    for (const char* part : {"\"framesPerSecond\": 29.970628783791884,", "\"frameCount\": 3,",
                             "\"compressorHandler\": \"HFYU\",", "\"hasSound\": false}"})
        EXPECT_NE(none.out.find(part), std::string::npos) << part << " in " << none.out;
}

TEST(ReaderTool, SaveFramesPassesItsOptionsToSaveSeq) {
    const std::string avi = MakeAvi("frames.avi", 40, 32, 20, "10", "-c:v msvideo1");
    const std::string folder = ScratchPath("frames");
    std::filesystem::create_directories(folder);
    struct Row {
        std::string options;
        std::vector<std::string> written;
    };
    const Row rows[] = {
        {"--start 10 --count 3 --postfix .bmp --first-number 1", {"a001.bmp", "a002.bmp", "a003.bmp"}},
        {"--start 18 --postfix .jpg --digits 1", {"b0.jpg", "b1.jpg"}},
        {"--count 1 --postfix .x --format png --size 20x10", {"c000.png"}},
        {"--count 1 --format 5 --tiff-compression none --tiff-depth 24", {"d000.tif"}},
        {"--count 1 --format gif --enable-lzw", {"e000.gif"}},
    };
    char prefix = 'a';
    for (const Row& row : rows) {
        const ToolRun run =
            RunTool("save-frames " + Quoted(avi) + " " + Quoted(folder + "/" + prefix) + " " + row.options);
        EXPECT_EQ(run.status, 0) << row.options << ": " << run.err;
        for (const auto& name : row.written)
            EXPECT_TRUE(std::filesystem::exists(folder + "/" + name)) << name << " from " << row.options;
        ++prefix;
    }
    EXPECT_EQ(ProbeField(folder + "/c000.png", "v:0", "width"), "20");
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 8);
}

TEST(ReaderTool, FailuresExitWithOneAndTheLibrarysMessage) {
    const std::string avi = MakeAvi("fail.avi", 32, 32, 2, "10", "-c:v msvideo1");
    const std::string junk = ScratchPath("junk.avi");
    WriteFileBytes(junk, std::vector<std::uint8_t>(1000, 0x5A));
    struct Row {
        std::string arguments;
        const char* message;
    };
    const Row rows[] = {
        {"info " + Quoted(junk), "Cannot open AVI file"},
        {"extract-wav " + Quoted(avi) + " " + Quoted(ScratchPath("out.wav")),
         "AVI file does not contain sound track"},
        {"save-frames " + Quoted(avi) + " " + Quoted(ScratchPath("s")) + " --start 5 --count 1",
         "Cannot decompress AVI file content"},
        {"save-frames " + Quoted(avi) + " " + Quoted(ScratchPath("s")) + " --format 7",
         "Invalid FileFormat parameter"},
        {"save-frames " + Quoted(avi) + " " + Quoted(ScratchPath("s")) + " --format webp", "--format"},
        {"info", "usage"},
    };
    for (const Row& row : rows) {
        const ToolRun run = RunTool(row.arguments);
        EXPECT_EQ(run.status, 1) << row.arguments;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << row.arguments << ": " << run.err;
    }
}

TEST(ReaderTool, ExtractWavWritesTheSoundTrack) {
    const std::string avi = MakeAvi("sound.avi", 32, 32, 10, "10", "-c:v msvideo1", "-c:a adpcm_ima_wav");
    const std::string wav = ScratchPath("sound.wav");
    const ToolRun run = RunTool("extract-wav " + Quoted(avi) + " " + Quoted(wav));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ProbeField(wav, "a:0", "codec_name"), "adpcm_ima_wav");
}

}  // namespace
}  // namespace vidmill::reader
