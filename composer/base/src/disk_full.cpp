#include "base/disk_full.h"

#include <cerrno>
#include <cstring>

#include "cbplatform/file_checks.h"

namespace composer {

DiskFullError::DiskFullError(const std::string& folder, int systemError)
    : Failure(folder + ": " + std::strerror(systemError)) {}

void ThrowIfDiskFull(int systemError, const std::string& path) {
    if (systemError == ENOSPC || systemError == EDQUOT) throw DiskFullError(cb::FolderOf(path), systemError);
}

}  // namespace composer
