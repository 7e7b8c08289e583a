#include "app/display_check.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace composer::app {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// Connects to a Unix socket path (a leading '@' names the abstract namespace).
bool SocketAccepts(const std::string& path) {
    sockaddr_un address{};
    if (path.size() >= sizeof(address.sun_path)) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size());
    if (path[0] == '@') {
        address.sun_path[0] = '\0';
    } else {
        ++length;  // the path's terminating zero
    }
    const int handle = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0) return false;
    const bool connected = ::connect(handle, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(handle);
    return connected;
}

// ":99", ":99.0", "unix:0": local displays, reached through their socket.
bool X11DisplayReachable(const std::string& display) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix") return true;  // remote: the library will say if it fails
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
    const std::string socketPath = "/tmp/.X11-unix/X" + number;
    return SocketAccepts(socketPath) || SocketAccepts("@" + socketPath);
}

bool WaylandReachable(const DisplaySettings& settings) {
    if (settings.waylandDisplay.empty()) return false;
    const std::string path = settings.waylandDisplay[0] == '/'
                                 ? settings.waylandDisplay
                                 : settings.runtimeFolder + "/" + settings.waylandDisplay;
    struct stat facts {};
    return !settings.runtimeFolder.empty() && ::stat(path.c_str(), &facts) == 0 && S_ISSOCK(facts.st_mode);
}

}  // namespace

DisplaySettings DisplaySettingsFromEnvironment() {
    return {Environment("QT_QPA_PLATFORM"), Environment("DISPLAY"), Environment("WAYLAND_DISPLAY"),
            Environment("XDG_RUNTIME_DIR")};
}

bool DisplayAvailable(const DisplaySettings& settings) {
    const std::string platform = settings.platform.substr(0, settings.platform.find(':'));
    if (!platform.empty() && platform != "xcb" && platform != "wayland") return true;
    if (platform != "wayland" && !settings.x11Display.empty() && X11DisplayReachable(settings.x11Display))
        return true;
    return platform != "xcb" && WaylandReachable(settings);
}

std::string NoDisplayMessage() {
    return "cinebrix-composer: the windows need a display (none found in DISPLAY or WAYLAND_DISPLAY); "
           "without one "
           "use --render, --info, --help or --version";
}

}  // namespace composer::app
