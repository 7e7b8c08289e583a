// The cinebrix-composer program as a whole process: its options, the refusal to start without a
// display, a start with the windows (on Qt's offscreen platform) ended by the session's SIGTERM whose
// exit steps correct and write the settings, commands without windows that only read them, and no
// work folder left behind on any way out.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "scratch_folder.h"

namespace composer {
namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the program with the settings and temporary folders inside `folder`; `then` is shell text
// that follows the program's command (to run it in the background, for instance).
ProgramRun RunProgram(const testing::ScratchFolder& folder, const std::string& arguments,
                      const std::string& environment = "", const std::string& then = "") {
    fs::create_directories(folder / "settings");
    fs::create_directories(folder / "tmp");
    const std::string command = "CB_SETTINGS_DIR='" + (folder / "settings") + "' TMPDIR='" +
                                (folder / "tmp") + "' " + environment + " '" CB_COMPOSER_EXE "' " +
                                arguments + " >'" + (folder / "out.txt") + "' 2>'" + (folder / "err.txt") +
                                "'" + then;
    ProgramRun run;
    const int status = std::system(command.c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = folder.Read("out.txt");
    run.err = folder.Read("err.txt");
    return run;
}

// Runs the program with its windows (Qt's offscreen platform) in the background and ends it with
// SIGTERM once its start-up steps have written the settings; a signal that comes before the event
// loop runs waits for it.
ProgramRun RunWindowsUntilTerminated(const testing::ScratchFolder& folder, const std::string& arguments,
                                     const std::string& environment = "") {
    // The windowing library's own runtime folder stays out of the temporary folder the tests check.
    fs::create_directories(folder / "runtime");
    fs::permissions(folder / "runtime", fs::perms::owner_all);
    const std::string settings = folder / "settings/cinebrix-composer.ini";
    return RunProgram(folder, arguments,
                      "XDG_RUNTIME_DIR='" + (folder / "runtime") +
                          "' QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='*=false' " + environment,
                      " & pid=$!; for i in $(seq 400); do grep -qs PhyMemoryLoad '" + settings +
                          "' && break; sleep 0.05; done; sleep 0.3; kill -TERM $pid; wait $pid");
}

TEST(ComposerProgram, HelpAndVersionStartNothing) {
    testing::ScratchFolder folder;
    const ProgramRun help = RunProgram(folder, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: cinebrix-composer")) << help.out;
    const ProgramRun version = RunProgram(folder, "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "cinebrix-composer " CB_VERSION "\n");
    EXPECT_TRUE(fs::is_empty(folder / "settings"));
    EXPECT_TRUE(fs::is_empty(folder / "tmp"));
}

TEST(ComposerProgram, WrongCommandLinesAreRefusedWithTheUsage) {
    testing::ScratchFolder folder;
    const struct {
        const char* arguments;
        const char* error;
    } rows[] = {
        {"--bogus", "unknown option --bogus"},
        {"--info p.CbMov extra", "--info takes one project file; extra is one argument too many"},
    };
    for (const auto& row : rows) {
        const ProgramRun run = RunProgram(folder, row.arguments);
        EXPECT_EQ(run.status, 2) << row.arguments;
        EXPECT_NE(run.err.find(row.error), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Usage: cinebrix-composer"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(fs::is_empty(folder / "settings"));
}

TEST(ComposerProgram, WithoutADisplayItSaysSoInOneLine) {
    testing::ScratchFolder folder;
    const ProgramRun run = RunProgram(folder, "", "DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM=");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "cinebrix-composer: the windows need a display (none found in DISPLAY or WAYLAND_DISPLAY); "
              "without one "
              "use --render, --info, --help or --version\n");
    EXPECT_TRUE(fs::is_empty(folder / "settings"));
    EXPECT_TRUE(fs::is_empty(folder / "tmp"));
}

TEST(ComposerProgram, SessionEndCorrectsAndWritesTheSettings) {
    testing::ScratchFolder folder;
    fs::create_directories(folder / "settings");
    folder.Write("settings/cinebrix-composer.ini",
                 "[output]\nwavfreq = 22000\nTestPlayDur = 15\nFPS = 29.97\n\n"
                 "[General]\nShowNewUserGuide = 0\nLastFileClip = C:\\Clips\\a.avi\n\n"
                 "[Mixer Window]\nWindow Position = 1,2,3,4\n");
    const ProgramRun run = RunWindowsUntilTerminated(folder, "'no such project.CbMov'");
    EXPECT_EQ(run.status, 143);
    EXPECT_EQ(run.err, "");  // a missing project is ignored silently; this machine has memory enough
    const std::string settings = folder.Read("settings/cinebrix-composer.ini");
    for (const char* line : {"wavfreq = 22050\n", "TestPlayDur = 10\n", "FPS = 29.97\n", "Width = 352\n",
                             "Compressor = 0\n", "LastFileClip = C:\\Clips\\a.avi\n",
                             "Window Position = ", "Box Heights = ", "PhyMemorySz = ", "PhyMemoryLoad = "})
        EXPECT_NE(settings.find(line), std::string::npos) << line << " in\n" << settings;
    // The mixer's stored place was too small: it was replaced, and the place it had is stored.
    EXPECT_EQ(settings.find("Window Position = 1,2,3,4\n"), std::string::npos) << settings;
    EXPECT_TRUE(fs::is_empty(folder / "tmp"));  // the work folder is gone
}

TEST(ComposerProgram, LowMemoryIsReportedButDoesNotStopTheProgram) {
    testing::ScratchFolder folder;
    const std::string meminfo = folder.Write("meminfo", "MemTotal: 19532 kB\nMemAvailable: 1000 kB\n");
    const ProgramRun run = RunWindowsUntilTerminated(folder, "", "CB_MEMINFO='" + meminfo + "'");
    EXPECT_EQ(run.status, 143);
    EXPECT_EQ(
        run.err,
        "Cinebrix Composer: Physical memory found in this system (20000768 bytes) is not sufficient to run "
        "Cinebrix Composer Oct2003.\nIt will run slow and may come across errors.\nAdditionally, It is "
        "recommended to close other applications running, which are consuming memory.\n");
    EXPECT_NE(folder.Read("settings/cinebrix-composer.ini").find("PhyMemoryLoad = 95\n"), std::string::npos);
}

// A process id no process can have: one above the largest the system hands out.
std::string DeadProcessId() {
    std::ifstream limit("/proc/sys/kernel/pid_max");
    long largest = 4194304;
    limit >> largest;
    return std::to_string(largest + 1);
}

TEST(ComposerProgram, HeadlessCommandsLeaveTheSettingsFilesAlone) {
    const std::string settings = "[Output]\nWavChn = 1\nFPS = 10\n\n[General]\nPhyMemorySz = 1\n";
    for (const char* arguments : {"--info 'missing.CbMov'", "--render 'missing.CbMov' out.avi"}) {
        SCOPED_TRACE(arguments);
        testing::ScratchFolder absent;
        EXPECT_EQ(RunProgram(absent, arguments).status, 1);
        EXPECT_TRUE(fs::is_empty(absent / "settings")) << "no settings file is created";
        testing::ScratchFolder present;
        fs::create_directories(present / "settings");
        present.Write("settings/cinebrix-composer.ini", settings);
        present.Write("settings/UserGuide.ini", "[Tips]\n");
        EXPECT_EQ(RunProgram(present, arguments).status, 1);
        EXPECT_EQ(present.Read("settings/cinebrix-composer.ini"), settings);
        EXPECT_EQ(present.Read("settings/UserGuide.ini"), "[Tips]\n");
    }
}

TEST(ComposerProgram, NoWayOutLeavesAWorkFolderAndStaleOnesAreRemoved) {
    const std::string stale = "tmp/cbv" + DeadProcessId();
    const struct {
        const char* arguments;
        bool windows;
        int status;
    } runs[] = {
        {"", true, 143},                                 // the windows, ended by the session
        {"--info 'missing.CbMov'", false, 1},            // a command that fails
        {"--render 'missing.CbMov' out.avi", false, 1},  // another
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.arguments);
        testing::ScratchFolder folder;
        fs::create_directories(folder / stale);
        folder.Write(stale + "/tm1.wav", "left by a run that was killed");
        const ProgramRun ran = run.windows ? RunWindowsUntilTerminated(folder, run.arguments)
                                           : RunProgram(folder, run.arguments);
        EXPECT_EQ(ran.status, run.status);
        EXPECT_TRUE(fs::is_empty(folder / "tmp")) << "the stale folder and the run's own are gone";
    }
}

}  // namespace
}  // namespace composer
