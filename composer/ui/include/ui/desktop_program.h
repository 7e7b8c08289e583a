#pragma once
// The program with its windows: the application object, the Qt side of the seams, the main window
// with the mixer, the project named on the command line, the first tip, and the event loop.
#include <functional>
#include <string>

#include "ui/main_window.h"

namespace composer {

struct DesktopStart {
    std::string projectText;          // the command line's project text, as given
    MainWindow::ExitSteps exitSteps;  // the program's exit steps around the windows' own
    // Readable when SIGINT or SIGTERM came (one byte, the signal's number): the session then ends
    // with the exit steps and the status 128 + the number, without questions. -1: none.
    int signalHandle = -1;
    // Runs once the windows are up and the project is open (the screenshot tour drives them here).
    std::function<void(MainWindow&)> shown;
};

// Runs the windows on the session until the main window closes; returns the event loop's exit code.
// The start-up steps without windows must have run.
int RunDesktopProgram(Session& session, int& argc, char** argv, const DesktopStart& start);

}  // namespace composer
