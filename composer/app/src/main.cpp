// cinebrix-composer: the program's entry point. Without an option it runs the start-up steps, then
// the windows until the main window closes (whose close runs the exit steps); the options run the
// headless commands.
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/display_check.h"
#include "app/movie_json.h"
#include "app/render_command.h"
#include "app/session_signals.h"
#include "app/startup.h"
#include "base/failure.h"
#include "base/folders.h"
#include "cbplatform/media_log.h"
#include "cbplatform/stop_signals.h"
#include "document/open_project.h"
#include "document/open_save_class.h"
#include "document/session.h"
#include "media/media_source_probe.h"
#if CB_WITH_WINDOWS
#include "ui/desktop_program.h"
#endif

namespace {

using composer::RunCommand;
using composer::SettingsFiles;

// The exit status of a command that a signal stopped: 128 + the signal, after one line that says so.
std::optional<int> StoppedStatus() {
    const int signal = cb::StopSignal();
    if (signal == 0) return std::nullopt;
    std::fprintf(stderr, "cinebrix-composer: stopped\n");
    return 128 + signal;
}

// The project is loaded as an open loads it: clip sources are read through the program's readers,
// so moved sources are relocated and changed ones refreshed, with the warnings on standard error.
bool PrintProjectInfo(composer::Session& session, const std::string& projectText) {
    composer::InitFolders();
    composer::MediaSourceProbe probe(&session.notices);
    composer::ScopedSourceProbe installed(probe);
    const std::string path = composer::ProjectPathFromCommandLine(projectText);
    composer::OpenSaveClass reader;
    if (path.empty()) throw composer::Failure(projectText + " is not a .CbMov project file");
    if (!reader.LoadMovieSource(path) || cb::StopSignal() != 0) return false;
    reader.DbLocalToMain(session);
    session.EditMovie().ProjectPath = path;
    std::printf("%s\n", composer::app::MovieJson(session.Movie()).c_str());
    return true;
}

int RunInfo(composer::Session& session, const std::string& projectText) {
    const bool printed =
        RunCommand(session, SettingsFiles::OnlyRead, [&] { return PrintProjectInfo(session, projectText); });
    if (const auto stopped = StoppedStatus()) return *stopped;
    return printed ? 0 : 1;
}

#if CB_WITH_WINDOWS
int RunProgram(composer::Session& session, int& argc, char** argv, const composer::app::CommandLine& line) {
    // The windowing library would end the process with an abort of its own when it finds no display.
    if (!composer::app::DisplayAvailable(composer::app::DisplaySettingsFromEnvironment())) {
        std::fprintf(stderr, "%s\n", composer::app::NoDisplayMessage().c_str());
        return 2;
    }
    // SIGINT and SIGTERM end the session through the windows' own close (with the exit steps).
    const composer::app::SessionSignals sessionSignals;
    composer::MediaSourceProbe probe(&session.notices);
    composer::ScopedSourceProbe installed(probe);
    // Nothing may end the program without its exit steps: a failure is reported and the work
    // folder still removed. A normal end runs them from the main window's close.
    int status = 1;
    const bool ran = composer::GuardCommand("cinebrix-composer", [&] {
        composer::RunStartupSteps(session);
        composer::DesktopStart start;
        start.projectText = line.projectText;
        start.exitSteps = [&session](const std::function<void()>& windowSteps) {
            composer::RunExitSteps(session, windowSteps);
        };
        start.signalHandle = sessionSignals.ReadHandle();
        status = composer::RunDesktopProgram(session, argc, argv, start);
    });
    if (!ran) composer::RunExitSteps(session);
    return ran ? status : 1;
}
#else
int RunProgram(composer::Session&, int&, char**, const composer::app::CommandLine&) {
    std::fprintf(stderr,
                 "cinebrix-composer: this build has no windows; use --render, --info, --help or --version\n");
    return 2;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    using composer::app::Command;
    // Problems reach the user in the program's own messages; codec chatter would only bury them.
    cb::QuietMediaLog();
    const composer::app::CommandLine line =
        composer::app::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    // The program's state for this run: every window and command is handed it.
    composer::Session session;
    switch (line.command) {
        case Command::Help:
            std::fputs(composer::app::UsageText().c_str(), stdout);
            return 0;
        case Command::Version:
            std::printf("cinebrix-composer %s\n", CB_VERSION);
            return 0;
        case Command::Invalid:
            std::fprintf(stderr, "cinebrix-composer: %s\n\n%s", line.error.c_str(),
                         composer::app::UsageText().c_str());
            return 2;
        case Command::Info:
            return RunInfo(session, line.projectText);
        case Command::Render:
            return composer::app::RunRenderCommand(session, line);
        case Command::Start:
            break;
    }
    return RunProgram(session, argc, argv, line);
}
