#include "document/file_carr_buff_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/disk_full.h"
#include "base/failure.h"

namespace composer {

void FileCarrBuffFile::Open(const std::string& path, Access access) {
    Close();
    const int mode =
        access == Access::ReadOnly ? O_RDONLY : O_RDWR | (access == Access::CreateReadWrite ? O_CREAT : 0);
    descriptor_ = ::open(path.c_str(), mode | O_CLOEXEC, 0644);
    path_ = path;
    if (descriptor_ < 0) Fail("open");
}

void FileCarrBuffFile::Close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
}

int64_t FileCarrBuffFile::ReadAt(int64_t offset, void* bytes, int64_t size) const {
    auto* next = static_cast<char*>(bytes);
    int64_t done = 0;
    while (done < size) {
        const ssize_t got =
            ::pread(descriptor_, next + done, static_cast<size_t>(size - done), offset + done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) Fail("read");
        if (got == 0) break;
        done += got;
    }
    return done;
}

void FileCarrBuffFile::WriteAt(int64_t offset, const void* bytes, int64_t size) {
    const auto* next = static_cast<const char*>(bytes);
    for (int64_t done = 0; done < size;) {
        const ssize_t put =
            ::pwrite(descriptor_, next + done, static_cast<size_t>(size - done), offset + done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) Fail("write");
        done += put;
    }
}

void FileCarrBuffFile::Truncate(int64_t size) {
    if (::ftruncate(descriptor_, size) != 0) Fail("cut");
}

void FileCarrBuffFile::Fail(const char* what) const {
    ThrowIfDiskFull(errno, path_);
    FailWithErrno(std::string("cannot ") + what + " the sample buffer file " + path_, errno ? errno : EIO);
}

}  // namespace composer
