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
#include "stopped_run.h"

namespace vidmill::reader {
namespace {

using namespace testing;
using cb::testing::FileBytes;
using cb::testing::FolderEntries;
using cb::testing::FolderHolds;

namespace fs = std::filesystem;

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
         "--start 5 is not a frame"},
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

// A folder of its own with an AVI file (frames and sound) and the other names that reach it.
struct NamedSource {
    std::string folder;
    std::string avi;                   // <folder>/x1.avi
    std::vector<std::string> aliases;  // the file itself, a symbolic link, a hard link, a path through ".."
};

NamedSource SourceWithAliases(const std::string& name) {
    const std::string folder = ScratchPath(name);
    fs::remove_all(folder);
    fs::create_directories(folder + "/sub");
    const std::string avi = MakeAvi(name + "/x1.avi", 32, 32, 6, "10", "-c:v msvideo1", "-c:a pcm_u8");
    fs::create_symlink(avi, folder + "/l1.avi");
    fs::create_hard_link(avi, folder + "/h1.avi");
    return {folder, avi, {avi, folder + "/l1.avi", folder + "/h1.avi", folder + "/sub/../x1.avi"}};
}

std::string OverSourceMessage(const std::string& output) {
    return "Cannot write over the AVI file being read \"" + output + "\"";
}

// The sound stream header's length (in samples) set past what the file holds: the copy fails
// once the WAV data has been written.
std::string WithSoundLongerThanStored(const std::string& avi, const std::string& name) {
    auto bytes = ReadFileBytes(avi);
    const char tag[] = "auds";
    const auto at =
        static_cast<std::size_t>(std::search(bytes.begin(), bytes.end(), tag, tag + 4) - bytes.begin());
    cb::testing::PutLe32(bytes, at + 32, 0x7FFFFFF0);  // the stream header's length
    const std::string path = ScratchPath(name);
    WriteFileBytes(path, bytes);
    return path;
}

TEST(ReaderTool, ExtractWavNeverWritesOverItsSourceAndAFailureKeepsTheOldFile) {
    const NamedSource source = SourceWithAliases("wav-over-source");
    const std::string before = FileBytes(source.avi);
    std::vector<std::pair<std::string, std::string>> rows;  // the file read, the output
    for (const std::string& alias : source.aliases) rows.emplace_back(source.avi, alias);
    rows.emplace_back(source.folder + "/l1.avi", source.avi);
    for (const auto& [input, output] : rows) {
        const ToolRun run = RunTool("extract-wav " + Quoted(input) + " " + Quoted(output));
        EXPECT_EQ(run.status, 1) << input << " -> " << output;
        EXPECT_NE(run.err.find(OverSourceMessage(output)), std::string::npos) << run.err;
        EXPECT_TRUE(FileBytes(source.avi) == before) << output;
        EXPECT_TRUE(fs::is_symlink(source.folder + "/l1.avi"));
    }
    EXPECT_FALSE(FolderHolds(source.folder, ".partial-"));

    // A copy that fails after its data was written leaves the file that had the name, also when
    // the name is a link to it.
    const std::string keep = source.folder + "/keep.wav";
    WriteFileBytes(keep, {'o', 'l', 'd'});
    fs::create_symlink(keep, source.folder + "/keep-link.wav");
    const std::string damaged = WithSoundLongerThanStored(source.avi, "wav-over-source/short.avi");
    for (const std::string& output : {keep, source.folder + "/keep-link.wav"}) {
        const ToolRun run = RunTool("extract-wav " + Quoted(damaged) + " " + Quoted(output));
        EXPECT_EQ(run.status, 1) << output;
        EXPECT_NE(run.err.find("Cannot read AVI sound track stream"), std::string::npos) << run.err;
        EXPECT_TRUE(FileBytes(keep) == "old") << output;
    }
    EXPECT_FALSE(FolderHolds(source.folder, ".partial-"));
    // A whole copy takes the place of the old file; the link stays a link to it.
    EXPECT_EQ(
        RunTool("extract-wav " + Quoted(source.avi) + " " + Quoted(source.folder + "/keep-link.wav")).status,
        0);
    EXPECT_TRUE(fs::is_symlink(source.folder + "/keep-link.wav"));
    EXPECT_EQ(ProbeField(keep, "a:0", "codec_name"), "pcm_u8");
}

TEST(ReaderTool, SaveFramesChecksEveryNameAgainstItsSourceBeforeWritingAny) {
    const NamedSource source = SourceWithAliases("frames-over-source");
    const std::string& folder = source.folder;
    // An AVI file whose name the JPEG format's extension gives the saved frame.
    const std::string jpegNamed = folder + "/v1.jpg";
    fs::copy_file(source.avi, jpegNamed);
    struct Row {
        std::string input;
        std::string prefix;
        std::string options;
        std::string refused;  // the output name that reaches the input
    };
    const std::string sequence = " --digits 1 --postfix .avi --first-number ";
    const Row rows[] = {
        {source.avi, folder + "/x", sequence + "1 --count 3", source.avi},
        {source.avi, folder + "/x", sequence + "0 --count 3", source.avi},  // the second name: none written
        {source.avi, folder + "/l", sequence + "1 --count 2", folder + "/l1.avi"},
        {source.avi, folder + "/h", sequence + "0 --count 2", folder + "/h1.avi"},
        {source.avi, folder + "/sub/../x", sequence + "1 --count 1", folder + "/sub/../x1.avi"},
        {folder + "/l1.avi", folder + "/x", sequence + "1 --count 1", source.avi},
        {jpegNamed, folder + "/v", " --digits 1 --first-number 1 --postfix .png --format jpeg --count 1",
         jpegNamed},
    };
    const std::vector<std::string> entries = FolderEntries(folder);
    const std::string before = FileBytes(source.avi);
    for (const Row& row : rows) {
        const ToolRun run =
            RunTool("save-frames " + Quoted(row.input) + " " + Quoted(row.prefix) + row.options);
        EXPECT_EQ(run.status, 1) << row.options;
        EXPECT_NE(run.err.find(OverSourceMessage(row.refused)), std::string::npos) << run.err;
        EXPECT_TRUE(FileBytes(source.avi) == before) << row.options;
        EXPECT_EQ(FolderEntries(folder), entries) << row.options;
    }

    // A frame that cannot be saved leaves the file that had its name.
    const std::string keep = folder + "/keep000.tif";
    WriteFileBytes(keep, {'o', 'l', 'd'});
    const ToolRun run = RunTool("save-frames " + Quoted(source.avi) + " " + Quoted(folder + "/keep") +
                                " --count 1 --format tiff --tiff-depth 8");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("only 24 and 32 bit TIFF"), std::string::npos) << run.err;
    EXPECT_TRUE(FileBytes(keep) == "old");
    EXPECT_FALSE(FolderHolds(folder, ".partial-"));
}

TEST(ReaderTool, SaveFramesRefusesARangeThatSavesNothingOrRunsPastTheLastFrame) {
    const std::string avi = MakeAvi("range.avi", 32, 32, 4, "10", "-c:v msvideo1");
    const std::string soundOnly = ScratchPath("sound-only.avi");
    RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i sine=duration=0.5 -c:a pcm_u8 " + Quoted(soundOnly));
    const std::string folder = ScratchPath("range");
    fs::create_directories(folder);
    const std::string frames = avi + " has 4 frames (0 to 3)";
    const std::pair<std::string, std::string> rows[] = {
        {Quoted(avi) + " --start 500", "--start 500 is not a frame: " + frames},
        {Quoted(avi) + " --start 4 --count 1", "--start 4 is not a frame: " + frames},
        {Quoted(avi) + " --start -1 --count 2", "--start -1 is not a frame: " + frames},
        {Quoted(avi) + " --count 0", "--count 0 saves no frame"},
        {Quoted(avi) + " --start 2 --count -3", "--count -3 saves no frame"},
        {Quoted(avi) + " --start 2 --count 3", "--count 3 from frame 2 runs past the last frame: " + frames},
        {Quoted(soundOnly), "Cannot read AVI file because AVI does not contain video frames"},
    };
    for (const auto& [arguments, message] : rows) {
        const ToolRun run = RunTool("save-frames " + arguments + " " + Quoted(folder + "/f"));
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_NE(run.err.find(message), std::string::npos) << arguments << ": " << run.err;
        EXPECT_TRUE(FolderEntries(folder).empty()) << arguments;
    }
    // The last frames, up to and including the last one, are saved.
    EXPECT_EQ(RunTool("save-frames " + Quoted(avi) + " " + Quoted(folder + "/f") + " --start 2").status, 0);
    EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"f000", "f001"}));
}

// An index whose size field runs past the end of the file makes the demuxer look for chunks byte
// by byte, and the index entries look like chunks: none of them reaches the WAV data.
TEST(ReaderTool, ExtractWavTakesOnlyTheSoundChunksWhenTheIndexSizeRunsPastTheEnd) {
    const std::string avi = MakeAvi("index-size.avi", 32, 32, 10, "10", "-c:v msvideo1", "-c:a pcm_u8");
    const std::string whole = ScratchPath("index-size-whole.wav");
    ASSERT_EQ(RunTool("extract-wav " + Quoted(avi) + " " + Quoted(whole)).status, 0);
    const auto bytes = ReadFileBytes(avi);
    const char tag[] = "idx1";
    const auto index =
        static_cast<std::size_t>(std::search(bytes.begin(), bytes.end(), tag, tag + 4) - bytes.begin());
    ASSERT_LT(index, bytes.size());
    const std::uint32_t stored = cb::testing::Le32(bytes, index + 4);
    for (const std::uint32_t size : {0xFFFFFFF0u, stored + 64, 0x7FFFFFFFu}) {
        auto damaged = bytes;
        cb::testing::PutLe32(damaged, index + 4, size);
        const std::string path = ScratchPath("index-size-damaged.avi");
        WriteFileBytes(path, damaged);
        const std::string wav = ScratchPath("index-size-damaged.wav");
        const ToolRun run = RunTool("extract-wav " + Quoted(path) + " " + Quoted(wav));
        EXPECT_EQ(run.status, 0) << size << ": " << run.err;
        EXPECT_TRUE(FileBytes(wav) == FileBytes(whole)) << "index size " << size;
    }
}

}  // namespace
}  // namespace vidmill::reader
