// The writing check's verdicts kept between runs: trusted only from a whole file of the same build.
#include "compressors/writing_cache.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/avutil.h>
}

namespace vidmill::compressors {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kFirst = 0x4356534d, kSecond = 0x20424944, kThird = 0x64697663;

class WritingCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::path(std::getenv("CB_TEST_TMP")) / ("writing-cache-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path() const { return (folder_ / "cache" / "writing-check").string(); }

    static std::string Read(const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void Write(const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::trunc) << text;
    }

    fs::path folder_;
};

// A check that must not run: the verdict has to come from what is kept.
const auto kNotAsked = [] {
    ADD_FAILURE() << "the check ran although its verdict was kept";
    return false;
};

TEST_F(WritingCacheTest, VerdictsOfTheSameBuildAreKeptAndAnotherBuildStartsAfresh) {
    WritingVerdicts first(path(), "build A");
    EXPECT_TRUE(first.verdict(kFirst, [] { return true; }));
    EXPECT_FALSE(first.verdict(kSecond, [] { return false; }));

    WritingVerdicts again(path(), "build A");
    EXPECT_TRUE(again.verdict(kFirst, kNotAsked));
    EXPECT_FALSE(again.verdict(kSecond, kNotAsked));

    // Another FFmpeg: the old verdicts say nothing about it, and its own replace them.
    WritingVerdicts other(path(), "build B");
    EXPECT_FALSE(other.verdict(kFirst, [] { return false; }));
    EXPECT_FALSE(WritingVerdicts(path(), "build B").verdict(kFirst, kNotAsked));
    EXPECT_FALSE(WritingVerdicts(path(), "build A").verdict(kFirst, [] { return false; }))
        << "build A's verdicts were replaced by build B's";
}

TEST_F(WritingCacheTest, VerdictsOfAnotherProcessAreMergedNotLost) {
    WritingVerdicts one(path(), "build");
    WritingVerdicts two(path(), "build");
    EXPECT_TRUE(one.verdict(kFirst, [] { return true; }));     // one has read the file now
    EXPECT_FALSE(two.verdict(kSecond, [] { return false; }));  // two adds to it
    EXPECT_TRUE(one.verdict(kThird, [] { return true; }));     // one writes again: two's stays
    WritingVerdicts later(path(), "build");
    EXPECT_TRUE(later.verdict(kFirst, kNotAsked));
    EXPECT_FALSE(later.verdict(kSecond, kNotAsked));
    EXPECT_TRUE(later.verdict(kThird, kNotAsked));
}

TEST_F(WritingCacheTest, ADamagedFileIsNotTrustedAtAll) {
    // Made by the cache itself, so that the build line is the one it writes.
    WritingVerdicts(path(), "build").verdict(kSecond, [] { return false; });
    const std::string good = Read(path());
    const std::string header = good.substr(0, good.find('\n', good.find('\n') + 1) + 1);
    const std::string claim = "4356534d yes\n";  // kFirst writes
    std::string otherBuild = header;
    char& digit = otherBuild[otherBuild.size() - 2];
    digit = digit == '0' ? '1' : '0';
    const struct {
        const char* what;
        std::string text;
        bool trusted;
    } cases[] = {
        {"whole", header + claim, true},
        {"another first line", "compressors\n" + header.substr(header.find('\n') + 1) + claim, false},
        {"another build", otherBuild + claim, false},
        {"a line cut short", header + claim + "6469", false},
        {"an unknown answer", header + claim + "64697663 maybe\n", false},
        {"capital digits", header + "4356534D yes\n", false},
        {"far too large", header + claim + std::string(70000, '\n'), false},
        {"empty", "", false},
    };
    for (const auto& c : cases) {
        Write(path(), c.text);
        // The check answers no: a trusted file's yes wins, an untrusted one is never read as yes.
        EXPECT_EQ(WritingVerdicts(path(), "build").verdict(kFirst, [] { return false; }), c.trusted)
            << c.what;
        if (!c.trusted) {
            EXPECT_FALSE(WritingVerdicts(path(), "build").verdict(kFirst, kNotAsked))
                << c.what << ": the file is replaced with the check's verdict";
        }
    }
}

TEST_F(WritingCacheTest, WithoutAPlaceForTheFileTheCheckStillAnswers) {
    Write((folder_ / "plain").string(), "a file where the cache folder would be");
    for (const std::string& nowhere :
         {std::string(), (folder_ / "plain" / "vidmill" / "writing-check").string()}) {
        WritingVerdicts verdicts(nowhere, "build");
        EXPECT_TRUE(verdicts.verdict(kFirst, [] { return true; })) << nowhere;
        EXPECT_TRUE(verdicts.verdict(kFirst, kNotAsked)) << nowhere << ": still known in the process";
    }
}

TEST(WritingCachePath, TheUsersCacheFolderWhenItIsAnAbsolutePath) {
    const auto saved = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    const std::optional<std::string> cache = saved("XDG_CACHE_HOME"), home = saved("HOME");
    const struct {
        const char* cache;
        const char* home;
        const char* expected;
    } cases[] = {
        {"/c", "/h", "/c/vidmill/writing-check"},
        {"relative", "/h", "/h/.cache/vidmill/writing-check"},
        {nullptr, "/h", "/h/.cache/vidmill/writing-check"},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        for (const auto& [name, value] : {std::pair{"XDG_CACHE_HOME", c.cache}, std::pair{"HOME", c.home}})
            value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
        EXPECT_EQ(WritingCachePath(), c.expected)
            << (c.cache ? c.cache : "-") << " " << (c.home ? c.home : "-");
    }
    for (const auto& [name, value] : {std::pair{"XDG_CACHE_HOME", cache}, std::pair{"HOME", home}})
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
}

TEST(FfmpegBuildFingerprint, NamesTheLibrariesInUse) {
    const std::string fingerprint = FfmpegBuildFingerprint();
    EXPECT_NE(fingerprint.find(av_version_info()), std::string::npos);
    EXPECT_NE(fingerprint.find(avcodec_configuration()), std::string::npos);
}

}  // namespace
}  // namespace vidmill::compressors
