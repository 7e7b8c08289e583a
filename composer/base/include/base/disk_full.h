#pragma once
// Writes that fail because a disk is full. Such a failure ends the work that needed the file: a
// render that went on without the sound or frames it could not write would report a movie it did
// not make.
#include <string>

#include "base/failure.h"

namespace composer {

class DiskFullError : public Failure {
  public:
    // The text names the folder and the system's reason: "/tmp/cbv4711: No space left on device".
    DiskFullError(const std::string& folder, int systemError);
};

// Throws DiskFullError for the folder of `path` when systemError (an errno value) says that the
// disk, or the user's quota on it, is full; returns otherwise.
void ThrowIfDiskFull(int systemError, const std::string& path);

}  // namespace composer
