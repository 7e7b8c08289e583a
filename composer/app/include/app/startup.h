#pragma once
// The program's start-up and exit steps that do not involve windows. The windows add theirs
// around these (the main window's close runs RunExitSteps with its own steps in the middle).
#include <functional>

namespace composer {

// UnusedTrackX and ArrangedTrackX 20, ClipViewScale 1.
void ResetTrackPositions();

// Start-up steps 1 to 6: folders, memory check, output settings into MainDb, the guide setting, the
// track positions, and a new empty movie.
void RunStartupSteps();

// The exit: writes the output settings of MainDb, runs the windows' own closing steps (remembered
// folders, unloading the windows) when given, then clears the help file and removes the work folder.
void RunExitSteps(const std::function<void()>& windowSteps = {});

}  // namespace composer
