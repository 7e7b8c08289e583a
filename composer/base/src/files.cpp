#include "base/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text_number.h"

namespace composer {

bool FileExists(const std::string& path) {
    const std::string trimmed = TrimSpaces(path);
    if (trimmed.empty()) return false;
    if (LastPathComponent(trimmed).starts_with('.')) return false;
    struct stat info {};
    return ::stat(trimmed.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DeleteFileChecked(const std::string& path) {
    if (!FileExists(path)) return true;
    if (::unlink(TrimSpaces(path).c_str()) != 0) return false;
    return !FileExists(path);
}

bool SetFileLength(const std::string& path, int64_t lengthBytes) {
    if (lengthBytes < 0 || !FileExists(path)) return false;
    const int fd = ::open(TrimSpaces(path).c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool done = ::ftruncate(fd, static_cast<off_t>(lengthBytes)) == 0;
    ::close(fd);
    return done;
}

std::string LastPathComponent(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace composer
