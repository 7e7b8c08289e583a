#include "cbplatform/file_checks.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace cb {
namespace {

namespace fs = std::filesystem;

// Below this the file system counts as full: a write that failed there failed for want of room.
// A failing write fills the disk to its last block first, so what remains is less than a block
// or two; 256 KiB leaves room for the metadata the file system keeps back.
constexpr unsigned long long kFullBelowBytes = 256 * 1024;

std::string NormalPath(const std::string& path) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
    return error ? fs::absolute(path, error).lexically_normal().string() : resolved.string();
}

}  // namespace

bool SameFile(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) return false;
    struct stat a {};
    struct stat b {};
    const bool firstExists = ::stat(first.c_str(), &a) == 0;
    const bool secondExists = ::stat(second.c_str(), &b) == 0;
    if (firstExists && secondExists) return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    if (firstExists != secondExists) return false;
    return NormalPath(first) == NormalPath(second);
}

bool FailedForWantOfRoom(const std::string& failureText, const std::string& folder) {
    if (failureText.find(std::strerror(ENOSPC)) != std::string::npos) return true;
    struct statvfs facts {};
    if (::statvfs(folder.c_str(), &facts) != 0) return false;
    // Root may write into the blocks the file system keeps back from users.
    const unsigned long long blocks = ::geteuid() == 0 ? facts.f_bfree : facts.f_bavail;
    return blocks * facts.f_frsize < kFullBelowBytes;
}

std::string FolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

}  // namespace cb
