// The settings file: private-profile reading and writing, and plain INI text that other readers share.
#include "base/settings.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "scratch_folder.h"

namespace composer {
namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { SetSettingsLocation(folder.path(), "composer"); }
    void TearDown() override { SetSettingsLocation(""); }
    std::string SettingsText() const { return folder.Read("composer.ini"); }

    testing::ScratchFolder folder;
};

TEST_F(SettingsTest, MissingFileSectionOrKeyReadsTheDefault) {
    EXPECT_EQ(SettingsFilePath(), folder / "composer.ini");
    EXPECT_EQ(GuideFilePath(), folder / "UserGuide.ini");
    EXPECT_EQ(ReadSetting("Output", "FPS", "25"), "25");
    EXPECT_EQ(ReadSetting("Output", "FPS"), "");
    WriteSetting("Output", "Width", "640");
    EXPECT_EQ(ReadSetting("Output", "Height", "288"), "288");
    EXPECT_EQ(ReadSetting("Other", "Width", "x"), "x");
}

TEST_F(SettingsTest, EmptySectionIsGeneralAndEmptyKeyIsEnd) {
    WriteSetting("", "LastFileClip", "a.avi");
    EXPECT_EQ(ReadSetting("General", "LastFileClip"), "a.avi");
    WriteSetting("General", "END", "last");
    EXPECT_EQ(ReadSetting("", "", "none"), "last");
    EXPECT_EQ(ReadIniValue("", "lastfileclip", "", SettingsFilePath()), "a.avi");
}

TEST_F(SettingsTest, NamesAreComparedWithoutCaseAndKeepTheirFirstSpelling) {
    WriteSetting("Mixer Window", "Window Position", "1,2,3,4");
    EXPECT_EQ(ReadSetting("MIXER WINDOW", "window position"), "1,2,3,4");
    WriteSetting("mixer window", "WINDOW POSITION", "5,6,7,8");
    EXPECT_EQ(ReadSetting("Mixer Window", "Window Position"), "5,6,7,8");
    EXPECT_EQ(SettingsText(), "[Mixer Window]\nWindow Position = 5,6,7,8\n");
}

TEST_F(SettingsTest, ValuesReadBackAtMost99CharactersWithoutEnclosingQuotes) {
    const std::string longValue(150, 'x');
    WriteSetting("General", "Long", longValue);
    EXPECT_EQ(ReadSetting("General", "Long"), longValue.substr(0, 99));
    EXPECT_EQ(ReadSetting("General", "Missing", longValue), longValue.substr(0, 99));
    folder.Write("composer.ini", "[General]\nQuoted = \"C:\\My Clips\"\nHalf = \"a\nSingle = 'b'\n");
    EXPECT_EQ(ReadSetting("General", "Quoted"), "C:\\My Clips");
    EXPECT_EQ(ReadSetting("General", "Half"), "\"a");
    EXPECT_EQ(ReadSetting("General", "Single"), "b");
}

TEST_F(SettingsTest, ALineBreakCannotSplitAValue) {
    WriteSetting("General", "Name", "one\ntwo\r\nthree");
    EXPECT_EQ(ReadSetting("General", "Name"), "one two  three");
    EXPECT_EQ(ReadSetting("General", "three", "absent"), "absent");
}

TEST_F(SettingsTest, AnUnwritableFileLeavesNoTraceAndDoesNotStop) {
    const std::string blocked = folder / "blocked";
    std::filesystem::create_directories(blocked + "/file.ini");  // a folder where the file should be
    WriteIniValue("General", "Key", "value", blocked + "/file.ini");
    EXPECT_EQ(ReadIniValue("General", "Key", "default", blocked + "/file.ini"), "default");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(blocked), {}), 1);
}

// Runs body in a child process that file permissions bind: the super-user's child takes the ids of
// "nobody" first. The child's exit code (body's result), or -1 when it ended abnormally.
int RunBoundByPermissions(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(90);
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST_F(SettingsTest, AnUnreadableFileIsNotReplacedByOneValue) {
    // A folder anyone may write in, so that only the file's own permissions keep it from being replaced.
    std::filesystem::permissions(folder.path(), std::filesystem::perms::all);
    const std::string file = folder.Write("locked.ini", "[General]\nKeep = this\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_write);
    const int result = RunBoundByPermissions([&] {
        // The folder must be reachable and writable, or a replacement could not happen and the check below
        // would prove nothing.
        if (::access(folder.path().c_str(), W_OK | X_OK) != 0) return 91;
        if (::access(file.c_str(), R_OK) == 0) return 92;
        WriteIniValue("General", "New", "value", file);
        return 0;
    });
    std::filesystem::permissions(file,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_EQ(result, 0) << "90: ids not dropped, 91: folder not writable, 92: file still readable";
    EXPECT_EQ(folder.Read("locked.ini"), "[General]\nKeep = this\n");
}

TEST_F(SettingsTest, FolderComesFromTheEnvironmentOrTheUserConfiguration) {
    SetSettingsLocation("");
    ::setenv("CB_SETTINGS_DIR", folder.path().c_str(), 1);
    EXPECT_EQ(SettingsFolder(), folder.path());
    ::unsetenv("CB_SETTINGS_DIR");
    EXPECT_EQ(SettingsFolderFor("/nonexistent/program/folder"), UserConfigFolder());
    EXPECT_EQ(SettingsFolderFor(folder.path()), folder.path());
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = config ? config : "";
    ::setenv("XDG_CONFIG_HOME", "/somewhere", 1);
    EXPECT_EQ(UserConfigFolder(), "/somewhere/cinebrix-composer");
    if (config)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

// Runs a Python script (text on standard input) and returns what it printed; nothing without Python.
std::optional<std::string> RunPython(const std::string& script, const std::string& folder) {
    const std::string scriptFile = folder + "/check.py";
    std::ofstream(scriptFile) << script;
    FILE* pipe = ::popen(("python3 " + scriptFile + " 2>&1").c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    if (::pclose(pipe) != 0) return std::nullopt;
    return output;
}

bool HavePython() { return std::system("python3 -c pass >/dev/null 2>&1") == 0; }

// The values of the settings table that hold spaces, backslashes, commas and signs.
struct SampleValue {
    const char* section;
    const char* key;
    const char* value;
};
const SampleValue kSampleValues[] = {
    {"Mixer Window", "Window Position", "-1,-1,-1,-1"},
    {"Mixer Window", "Box Heights", "2400,0"},
    {"General", "LastFileClip", "C:\\Clips\\a.avi"},
    {"General", "LastFileSource", "/home/ann/My Movies/Trip 2.CbMov"},
    {"Output", "FPS", "29.97"},
    {"I Know", "Move mouse over any item to read its description i", "Yes"},
};

TEST_F(SettingsTest, AnotherIniReaderReadsWhatWeWrite) {
    if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
    for (const auto& sample : kSampleValues) WriteSetting(sample.section, sample.key, sample.value);
    const auto output = RunPython(
        "import configparser\n"
        "ini = configparser.RawConfigParser(delimiters=('=',), interpolation=None)\n"
        "ini.optionxform = str\n"
        "ini.read(r'" +
            SettingsFilePath() +
            "', encoding='utf-8')\n"
            "for s in ini.sections():\n"
            "    for k, v in ini.items(s):\n"
            "        print(s + '|' + k + '|' + v)\n",
        folder.path());
    ASSERT_TRUE(output.has_value());
    std::string expected;
    for (const char* section : {"Mixer Window", "General", "Output", "I Know"})
        for (const auto& sample : kSampleValues)
            if (std::string(sample.section) == section)
                expected += std::string(section) + "|" + sample.key + "|" + sample.value + "\n";
    EXPECT_EQ(*output, expected);
}

TEST_F(SettingsTest, WeReadWhatAnotherIniWriterWrites) {
    if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
    std::string script =
        "import configparser\n"
        "ini = configparser.RawConfigParser(delimiters=('=',), interpolation=None)\n"
        "ini.optionxform = str\n";
    for (const char* section : {"Mixer Window", "General", "Output", "I Know"})
        script += "ini.add_section(r'''" + std::string(section) + "''')\n";
    for (const auto& sample : kSampleValues)
        script += "ini.set(r'''" + std::string(sample.section) + "''', r'''" + sample.key + "''', r'''" +
                  sample.value + "''')\n";
    script += "with open(r'" + SettingsFilePath() + "', 'w', encoding='utf-8') as f:\n    ini.write(f)\n";
    ASSERT_TRUE(RunPython(script, folder.path()).has_value());
    for (const auto& sample : kSampleValues)
        EXPECT_EQ(ReadSetting(sample.section, sample.key), sample.value) << sample.key;
}

}  // namespace
}  // namespace composer
