#pragma once
// Whether the windows can be shown: a display to draw on must be reachable before the windowing
// library is started, because that library ends the process when it finds none.
#include <string>

namespace composer::app {

// The environment's display settings.
struct DisplaySettings {
    std::string platform;        // QT_QPA_PLATFORM
    std::string x11Display;      // DISPLAY
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string runtimeFolder;   // XDG_RUNTIME_DIR
};

DisplaySettings DisplaySettingsFromEnvironment();

// True when a platform other than the desktop ones is named (offscreen, vnc ...), when a local X
// display's socket accepts a connection (a remote one is trusted), or when a Wayland socket exists.
bool DisplayAvailable(const DisplaySettings& settings);

// The one line said when there is no display.
std::string NoDisplayMessage();

}  // namespace composer::app
