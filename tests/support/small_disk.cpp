#include "small_disk.h"

#include <sys/wait.h>

#include <cstdlib>

namespace cb::testing {

bool RunWithSmallDisk(const std::string& folder, const std::string& size, const std::string& script) {
    constexpr int kNoMount = 77;
    const std::string command = "unshare -m sh -c \"mount -t tmpfs -o size=" + size + " tmpfs '" + folder +
                                "' 2>/dev/null || exit " + std::to_string(kNoMount) + "; " + script + "\"";
    const int raw = std::system(command.c_str());
    return !(WIFEXITED(raw) && WEXITSTATUS(raw) == kNoMount);
}

}  // namespace cb::testing
