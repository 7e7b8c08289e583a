// `vidmill compressors`, run as a script runs it: one tab-separated line per compressor on
// standard output, nothing on standard error, exit status 0.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// Runs the command line with standard error joined to standard output, so any stray line shows up.
ToolRun RunCommand(const std::string& commandLine) {
    const std::string command = commandLine + " 2>&1";
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

ToolRun RunTool(const std::string& arguments) { return RunCommand("'" + ToolPath() + "' " + arguments); }

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

TEST(CompressorsCommand, AListingFromTheCacheIsTheListingOfTheRoundTrips) {
    const std::filesystem::path cache =
        std::filesystem::path(std::getenv("CB_TEST_TMP")) / ("tool-cache-" + std::to_string(::getpid()));
    std::filesystem::remove_all(cache);
    const std::string withCache =
        "env XDG_CACHE_HOME='" + cache.string() + "' '" + ToolPath() + "' compressors";
    const ToolRun fresh = RunCommand(withCache);
    ASSERT_EQ(fresh.status, 0) << fresh.out;
    const ToolRun cached = RunCommand(withCache);
    EXPECT_EQ(cached.status, 0);
    EXPECT_EQ(cached.out, fresh.out);
    // The file holds the verdict of every listed code, as the listing shows it.
    std::ifstream in(cache / "vidmill" / "writing-check");
    std::set<std::string> kept;
    for (std::string line; std::getline(in, line);) kept.insert(line);
    for (const std::string& line : Split(fresh.out, '\n')) {
        const std::vector<std::string> fields = Split(line, '\t');
        ASSERT_EQ(fields.size(), 4u) << line;
        const auto code = static_cast<unsigned char>(fields[0][0]) |
                          static_cast<unsigned char>(fields[0][1]) << 8 |
                          static_cast<unsigned char>(fields[0][2]) << 16 |
                          static_cast<unsigned>(static_cast<unsigned char>(fields[0][3])) << 24;
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", code);
        const std::string verdict = fields[3] == "writing=yes" ? " yes" : " no";
        EXPECT_EQ(kept.count(hex + verdict), 1u) << line;
    }
    std::filesystem::remove_all(cache);
}

TEST(CompressorsCommand, RefusesArguments) {
    const ToolRun run = RunTool("compressors extra");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("usage: vidmill compressors"), std::string::npos) << run.out;
}

}  // namespace
