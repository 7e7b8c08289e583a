#pragma once
// The program's start-up and exit steps that do not involve windows. The windows add theirs
// around these (the main window's close runs RunExitSteps with its own steps in the middle).
#include <functional>

#include "document/session.h"

namespace composer {

// The mixer's tracks scrolled to their start (x 20) and the clip window showing every frame.
void ResetTrackPositions(Session& session);

// Start-up steps 1 to 6: folders, memory check, output settings into the session, the guide setting,
// the track positions, and a new empty movie.
void RunStartupSteps(Session& session);

// The exit: writes the session's output settings, runs the windows' own closing steps (remembered
// folders, unloading the windows) when given, then clears the help file and removes the work folder.
void RunExitSteps(Session& session, const std::function<void()>& windowSteps = {});

// Whether a command writes the settings files: the windowed program does (at close); the commands
// without windows (--render, --info) only read them.
enum class SettingsFiles { Written, OnlyRead };

// Runs one command of the program, guarded (GuardCommand), then its exit steps: SIGINT and SIGTERM
// ask the work to stop (cb::StopSignal) instead of ending the process, and however `body` ends (a
// failure included, which is reported as the command's message) the exit steps run, so the work
// folder is removed. Returns what `body` returned; false when a failure escaped it.
bool RunCommand(Session& session, SettingsFiles settings, const std::function<bool()>& body);

}  // namespace composer
