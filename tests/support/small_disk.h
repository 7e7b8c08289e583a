// A full disk for a test, where the machine allows it: a small tmpfs mounted in a mount namespace
// of its own, so nothing outside the test sees it.
#pragma once

#include <string>

namespace cb::testing {

// Runs the shell `script` with a tmpfs of `size` (as mount takes it: "64k", "1m") mounted at
// `folder` (which must exist). The mount ends with the script: what the test wants to know of the
// folder, the script copies out. False when no tmpfs can be mounted here (not root); the script
// did not run then.
bool RunWithSmallDisk(const std::string& folder, const std::string& size, const std::string& script);

}  // namespace cb::testing
