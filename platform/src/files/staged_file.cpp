#include "cbplatform/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "cbplatform/partial_files.h"

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

// The longest name the target's folder takes.
std::size_t NameMaxOf(const std::string& folder) {
    const long most = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return most > 0 ? static_cast<std::size_t>(most) : NAME_MAX;
}

// A name nobody else uses, in the target's folder and within its name limit: the process id
// tells runs apart, the counter the files of one run.
std::string PartialName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path path(target);
    const std::filesystem::path folder = path.parent_path();
    const std::string name = PartialFileName(path.filename().string(), ::getpid(), ++counter,
                                             NameMaxOf(folder.empty() ? "." : folder));
    return (folder / name).string();
}

}  // namespace

std::optional<StagedFile> StagedFile::Reserve(const std::string& target) {
    const std::string resolved = ResolvedTarget(target);
    if (resolved.empty() || !ReplaceableTarget(resolved)) return std::nullopt;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        std::string path = PartialName(resolved);
        // Recorded before it exists, so that a later run removes the file whenever this one is
        // killed; the record goes again when the name is taken.
        PartialRecord record = PartialRecord::Write(path, PartialRecordFolder());
        // Creating is the test for "free"; the mode is the one any new file of the user gets.
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            ::close(descriptor);
            return StagedFile(resolved, std::move(path), std::move(record));
        }
        if (errno != EEXIST) return std::nullopt;
    }
    errno = EEXIST;
    return std::nullopt;
}

std::string StagedFile::FailureText(const std::string& target, int error) {
    struct stat facts {};
    const std::string resolved = ResolvedTarget(target);
    if (::stat(resolved.c_str(), &facts) == 0 && !S_ISREG(facts.st_mode) && !S_ISDIR(facts.st_mode))
        return "it is not a regular file";
    return std::strerror(error);
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_)), path_(std::move(other.path_)), record_(std::move(other.record_)) {
    other.path_.clear();
}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept {
    if (this != &other) {
        discard();
        target_ = std::move(other.target_);
        path_ = std::move(other.path_);
        record_ = std::move(other.record_);
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
    record_.remove();
    return true;
}

void StagedFile::discard() {
    if (path_.empty()) return;
    const int saved = errno;
    ::unlink(path_.c_str());
    path_.clear();
    record_.remove();
    errno = saved;
}

}  // namespace cb
