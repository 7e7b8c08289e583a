#include "cbplatform/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace cb {
namespace {

// Gives up after this many names in use: something else is wrong with the folder.
constexpr int kMaxAttempts = 1000;

// The file a symbolic link names, so that the link itself stays in place; the path as given
// for anything else (also a link whose file does not exist yet).
std::string ResolvedTarget(const std::string& target) {
    struct stat facts {};
    if (::lstat(target.c_str(), &facts) != 0 || !S_ISLNK(facts.st_mode)) return target;
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(target.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : target;
}

// Only a regular file is replaced: a folder, device or pipe of that name is never renamed over.
bool ReplaceableTarget(const std::string& target) {
    struct stat facts {};
    if (::stat(target.c_str(), &facts) != 0) return errno == ENOENT;
    if (S_ISREG(facts.st_mode)) return true;
    errno = S_ISDIR(facts.st_mode) ? EISDIR : EEXIST;
    return false;
}

// A name nobody else uses: the process id tells runs apart, the counter the files of one run.
std::string PartialName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

}  // namespace

std::optional<StagedFile> StagedFile::Reserve(const std::string& target) {
    const std::string resolved = ResolvedTarget(target);
    if (resolved.empty() || !ReplaceableTarget(resolved)) return std::nullopt;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        std::string path = PartialName(resolved);
        // Creating is the test for "free"; the mode is the one any new file of the user gets.
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            ::close(descriptor);
            return StagedFile(resolved, std::move(path));
        }
        if (errno != EEXIST) return std::nullopt;
    }
    errno = EEXIST;
    return std::nullopt;
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_)), path_(std::move(other.path_)) {
    other.path_.clear();
}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept {
    if (this != &other) {
        discard();
        target_ = std::move(other.target_);
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

StagedFile::~StagedFile() { discard(); }

bool StagedFile::commit() {
    if (path_.empty()) {
        errno = ENOENT;
        return false;
    }
    // The new movie keeps the permissions the user gave the old one.
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0) ::chmod(path_.c_str(), old.st_mode & 07777);
    if (::rename(path_.c_str(), target_.c_str()) != 0) {
        const int reason = errno;
        discard();
        errno = reason;
        return false;
    }
    path_.clear();
    return true;
}

void StagedFile::discard() {
    if (path_.empty()) return;
    const int saved = errno;
    ::unlink(path_.c_str());
    path_.clear();
    errno = saved;
}

}  // namespace cb
