// cinebrix-composer: the program's entry point. It runs the start-up steps, then the windows; until
// the windows are part of the build it runs the steps headless, through the console seams, and ends
// with the exit steps so that settings are written and the work folder is removed as after a session.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "appgen/startup.h"
#include "command_line.h"

namespace {

int RunProgram(const composer::app::CommandLine&) {
    // Nothing may end the program without its exit steps: a failure is reported and the work
    // folder still removed.
    try {
        composer::RunStartupSteps();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cinebrix-composer: %s\n", error.what());
        composer::RunExitSteps();
        return 1;
    }
    composer::RunExitSteps();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using composer::app::Command;
    const composer::app::CommandLine line = composer::app::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.command) {
        case Command::Help:
            std::fputs(composer::app::UsageText().c_str(), stdout);
            return 0;
        case Command::Version:
            std::printf("cinebrix-composer %s\n", CB_VERSION);
            return 0;
        case Command::Invalid:
            std::fprintf(stderr, "cinebrix-composer: %s\n\n%s", line.error.c_str(), composer::app::UsageText().c_str());
            return 2;
        case Command::Start:
            break;
    }
    return RunProgram(line);
}
