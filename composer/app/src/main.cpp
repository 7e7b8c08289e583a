// cinebrix-composer: the program's entry point. It runs the start-up steps, then the windows; until
// the windows are part of the build it runs the steps headless, through the console seams, and ends
// with the exit steps so that settings are written and the work folder is removed as after a session.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/movie_json.h"
#include "app/render_command.h"
#include "app/startup.h"
#include "base/failure.h"
#include "base/folders.h"
#include "cbplatform/media_log.h"
#include "document/movie_db.h"
#include "document/open_project.h"
#include "document/open_save_class.h"
#include "media/media_source_probe.h"

namespace {

constexpr const char* kProgramName = "cinebrix-composer";

// The project is loaded as an open loads it: clip sources are read through the program's readers,
// so moved sources are relocated and changed ones refreshed, with the warnings on standard error.
int PrintProjectInfo(const std::string& projectText) {
    composer::InitFolders();
    composer::MediaSourceProbe probe;
    composer::ScopedSourceProbe installed(probe);
    const std::string path = composer::ProjectPathFromCommandLine(projectText);
    const bool loaded = composer::GuardCommand(kProgramName, [&] {
        composer::OpenSaveClass reader;
        if (path.empty()) throw composer::Failure(projectText + " is not a .CbMov project file");
        if (!reader.LoadMovieSource(path)) return false;
        reader.DbLocalToMain();
        composer::MainDb.ProjectPath = path;
        std::printf("%s\n", composer::app::MovieJson(composer::MainDb).c_str());
        return true;
    });
    composer::RemoveWorkFolder();
    return loaded ? 0 : 1;
}

int RunProgram(const composer::app::CommandLine& line) {
    // Nothing may end the program without its exit steps: a failure is reported and the work
    // folder still removed.
    composer::MediaSourceProbe probe;
    composer::ScopedSourceProbe installed(probe);
    const bool started = composer::GuardCommand(kProgramName, [&] {
        composer::RunStartupSteps();
        composer::OpenProjectFromCommandLine(line.projectText);
    });
    composer::RunExitSteps();
    return started ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    using composer::app::Command;
    // Problems reach the user in the program's own messages; codec chatter would only bury them.
    cb::QuietMediaLog();
    const composer::app::CommandLine line =
        composer::app::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
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
            return PrintProjectInfo(line.projectText);
        case Command::Render:
            return composer::app::RunRenderCommand(line);
        case Command::Start:
            break;
    }
    return RunProgram(line);
}
