// `vidmill compressors`, run as a script runs it: one tab-separated line per compressor on
// standard output, nothing on standard error, exit status 0.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
};

// The tool is built beside this test program.
std::string ToolPath() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "vidmill").string();
}

// Runs the tool with standard error joined to standard output, so any stray line shows up.
ToolRun RunTool(const std::string& arguments) {
    const std::string command = "'" + ToolPath() + "' " + arguments + " 2>&1";
    ToolRun run;
    std::FILE* raw = popen(command.c_str(), "r");
    if (raw == nullptr) return run;
    std::array<char, 4096> chunk{};
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), raw)) > 0) run.out.append(chunk.data(), got);
    const int status = pclose(raw);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) parts.push_back(part);
    return parts;
}

TEST(CompressorsCommand, OneLinePerCompressorWithItsWritingFlag) {
    const ToolRun run = RunTool("compressors");
    ASSERT_EQ(run.status, 0) << run.out;
    std::set<std::string> handlers;
    std::set<std::string> writable;
    for (const std::string& line : Split(run.out, '\n')) {
        const std::vector<std::string> fields = Split(line, '\t');
        ASSERT_EQ(fields.size(), 4u) << "not a compressor line: " << line;
        EXPECT_EQ(fields[0].size(), 4u) << line;
        EXPECT_TRUE(handlers.insert(fields[0]).second) << "listed twice: " << line;
        EXPECT_FALSE(fields[1].empty()) << line;
        ASSERT_TRUE(fields[3] == "writing=yes" || fields[3] == "writing=no") << line;
        if (fields[3] == "writing=yes") writable.insert(fields[0]);
    }
    EXPECT_EQ(run.out.rfind("DIB \t", 0), 0u) << "the uncompressed store comes first";
    for (const char* code : {"DIB ", "MSVC", "cvid", "XVID", "MP42", "MP43", "HFYU", "MJPG"})
        EXPECT_EQ(writable.count(code), 1u) << code;
}

TEST(CompressorsCommand, RefusesArguments) {
    const ToolRun run = RunTool("compressors extra");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("usage: vidmill compressors"), std::string::npos) << run.out;
}

}  // namespace
