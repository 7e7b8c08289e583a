// The --render command line: its paths, the part range and the compressor, and what is refused.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace composer::app {
namespace {

TEST(RenderCommandLine, OptionsAreReadInAnyOrderAfterRender) {
    struct Row {
        std::vector<std::string> arguments;
        std::string project, output, start, end, compressor;
        bool part;
    };
    const Row rows[] = {
        {{"--render", "a b.CbMov", "out.avi"}, "a b.CbMov", "out.avi", "", "", "", false},
        {{"--render", "p.CbMov", "o.avi", "--part", "1.5", "0:02"},
         "p.CbMov",
         "o.avi",
         "1.5",
         "0:02",
         "",
         true},
        {{"--render", "--compressor", "DIB ", "p.CbMov", "--part", "0", "3", "o.avi"},
         "p.CbMov",
         "o.avi",
         "0",
         "3",
         "DIB ",
         true},
    };
    for (const char* codec : {"h264", "vp9"}) {
        const CommandLine line = ParseCommandLine({"--render", "--codec", codec, "p.CbMov", "o.mkv"});
        ASSERT_EQ(line.command, Command::Render) << line.error;
        EXPECT_EQ(line.codec, codec);
        EXPECT_EQ(line.outputPath, "o.mkv");
    }
    for (const Row& row : rows) {
        const CommandLine line = ParseCommandLine(row.arguments);
        ASSERT_EQ(line.command, Command::Render) << line.error;
        EXPECT_EQ(line.projectText, row.project);
        EXPECT_EQ(line.outputPath, row.output);
        EXPECT_EQ(line.part, row.part);
        EXPECT_EQ(line.partStart, row.start);
        EXPECT_EQ(line.partEnd, row.end);
        EXPECT_EQ(line.compressor, row.compressor);
    }
}

TEST(RenderCommandLine, IncompleteRenderLinesAreRefused) {
    struct Row {
        std::vector<std::string> arguments;
        std::string error;
    };
    const Row rows[] = {
        {{"--render", "p.CbMov"}, "--render needs a project file and an output file"},
        {{"--render", "p.CbMov", "o.avi", "extra.avi"},
         "--render takes a project file and an output file; extra.avi is one argument too many"},
        {{"--render", "p.CbMov", "o.avi", "--part", "1", "2", "--part", "3", "4"}, "--part is given twice"},
        {{"--render", "p.CbMov", "o.avi", "--part", "1"}, "--part needs a start and an end time"},
        {{"--render", "p.CbMov", "o.avi", "--compressor"}, "--compressor needs a four-character code"},
        {{"--render", "p.CbMov", "o.avi", "--compressor", "TOOLONG"},
         "--compressor needs a code of 1 to 4 characters, not TOOLONG"},
        {{"--render", "p.CbMov", "o.mp4", "--codec"}, "--codec needs h264 or vp9"},
        {{"--render", "p.CbMov", "o.mp4", "--codec", "VP90"}, "--codec needs h264 or vp9"},
        {{"--part", "1", "2"}, "unknown option --part"},
        {{"--info"}, "--info needs a project file"},
        {{"--info", "p.CbMov", "extra"}, "--info takes one project file; extra is one argument too many"},
        {{"p.CbMov", "--info", "extra"}, "--info takes one project file; extra is one argument too many"},
    };
    for (const char* time : {"abc", "nan", "1,5", "1s", "", "-1", "1:2:3:4", "1..5", "inf", "0x10"}) {
        const CommandLine line = ParseCommandLine({"--render", "p.CbMov", "o.avi", "--part", "0", time});
        EXPECT_EQ(line.command, Command::Invalid) << time;
        EXPECT_EQ(line.error,
                  std::string("--part takes times in seconds, mm:ss or hh:mm:ss, not \"") + time + "\"");
    }
    for (const Row& row : rows) {
        const CommandLine line = ParseCommandLine(row.arguments);
        EXPECT_EQ(line.command, Command::Invalid) << row.error;
        EXPECT_EQ(line.error, row.error);
    }
}

TEST(RenderCommandLine, CompressorNamesArePaddedFourCharacterCodes) {
    EXPECT_EQ(CompressorCode("MSVC"), 0x4356534D);
    EXPECT_EQ(CompressorCode("DIB"), CompressorCode("DIB "));
    EXPECT_EQ(CompressorCode("DIB "), 0x20424944);
    EXPECT_FALSE(CompressorCode(""));
    EXPECT_FALSE(CompressorCode("MSVC1"));
}

}  // namespace
}  // namespace composer::app
