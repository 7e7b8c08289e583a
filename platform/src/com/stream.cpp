#include "cbplatform/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "cbplatform/com_object.h"

namespace {

// Shared seek arithmetic of both stream kinds.
HRESULT NewPosition(std::int64_t current, std::int64_t end, LARGE_INTEGER move, DWORD origin,
                    std::int64_t& out) {
    std::int64_t base = 0;
    switch (origin) {
        case STREAM_SEEK_SET:
            base = 0;
            break;
        case STREAM_SEEK_CUR:
            base = current;
            break;
        case STREAM_SEEK_END:
            base = end;
            break;
        default:
            return STG_E_INVALIDFUNCTION;
    }
    const std::int64_t target = base + move.QuadPart;
    if (target < 0) return STG_E_INVALIDFUNCTION;
    out = target;
    return S_OK;
}

// What neither stream kind supports.
template <typename Derived>
class StreamBase : public cb::RefCountedObject<Derived, IStream> {
  public:
    HRESULT CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                   ULARGE_INTEGER* written) override {
        if (!target) return E_POINTER;
        std::uint64_t total = 0, totalWritten = 0;
        char buffer[65536];
        while (total < size.QuadPart) {
            ULONG got = 0;
            const ULONG want =
                static_cast<ULONG>(std::min<std::uint64_t>(sizeof buffer, size.QuadPart - total));
            if (FAILED(this->Read(buffer, want, &got)) || got == 0) break;
            total += got;
            ULONG put = 0;
            const HRESULT hr = target->Write(buffer, got, &put);
            totalWritten += put;
            if (FAILED(hr)) return hr;
        }
        if (read) read->QuadPart = total;
        if (written) written->QuadPart = totalWritten;
        return S_OK;
    }
    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return S_OK; }
    HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    HRESULT Clone(IStream** copy) override {
        if (copy) *copy = nullptr;
        return E_NOTIMPL;
    }
};

class FileStream final : public StreamBase<FileStream> {
  public:
    explicit FileStream(int fd) : fd_(fd) {}
    ~FileStream() override { ::close(fd_); }

    HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
        ULONG total = 0;
        while (total < size) {
            const ssize_t got = ::read(fd_, static_cast<char*>(buffer) + total, size - total);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                if (read) *read = total;
                return STG_E_READFAULT;
            }
            if (got == 0) break;
            total += static_cast<ULONG>(got);
        }
        if (read) *read = total;
        return total == size ? S_OK : S_FALSE;
    }
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
        ULONG total = 0;
        while (total < size) {
            const ssize_t put = ::write(fd_, static_cast<const char*>(buffer) + total, size - total);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                if (written) *written = total;
                return STG_E_WRITEFAULT;
            }
            total += static_cast<ULONG>(put);
        }
        if (written) *written = total;
        return S_OK;
    }
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
        static_assert(STREAM_SEEK_SET == SEEK_SET && STREAM_SEEK_CUR == SEEK_CUR &&
                      STREAM_SEEK_END == SEEK_END);
        const off_t at = ::lseek(fd_, static_cast<off_t>(move.QuadPart), static_cast<int>(origin));
        if (at < 0) return STG_E_INVALIDFUNCTION;
        if (newPosition) newPosition->QuadPart = static_cast<std::uint64_t>(at);
        return S_OK;
    }
    HRESULT SetSize(ULARGE_INTEGER size) override {
        return ::ftruncate(fd_, static_cast<off_t>(size.QuadPart)) == 0 ? S_OK : STG_E_WRITEFAULT;
    }
    HRESULT Stat(STATSTG* stat, DWORD) override {
        if (!stat) return E_POINTER;
        struct stat info {};
        if (::fstat(fd_, &info) != 0) return STG_E_READFAULT;
        stat->cbSize = static_cast<std::uint64_t>(info.st_size);
        return S_OK;
    }

  private:
    int fd_;
};

class MemoryStream final : public StreamBase<MemoryStream> {
  public:
    explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
        const std::size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
        const std::size_t count = std::min<std::size_t>(size, available);
        if (count) std::memcpy(buffer, bytes_.data() + position_, count);
        position_ += count;
        if (read) *read = static_cast<ULONG>(count);
        return count == size ? S_OK : S_FALSE;
    }
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
        if (position_ + size > bytes_.size()) bytes_.resize(position_ + size);
        if (size) std::memcpy(bytes_.data() + position_, buffer, size);
        position_ += size;
        if (written) *written = size;
        return S_OK;
    }
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
        std::int64_t target = 0;
        const HRESULT hr = NewPosition(static_cast<std::int64_t>(position_),
                                       static_cast<std::int64_t>(bytes_.size()), move, origin, target);
        if (FAILED(hr)) return hr;
        position_ = static_cast<std::size_t>(target);
        if (newPosition) newPosition->QuadPart = position_;
        return S_OK;
    }
    HRESULT SetSize(ULARGE_INTEGER size) override {
        bytes_.resize(size.QuadPart);
        return S_OK;
    }
    HRESULT Stat(STATSTG* stat, DWORD) override {
        if (!stat) return E_POINTER;
        stat->cbSize = bytes_.size();
        return S_OK;
    }

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace

namespace cb {

HRESULT CreateStreamOnFile(const std::string& path, StreamMode mode, IStream** stream) {
    if (!stream) return E_POINTER;
    *stream = nullptr;
    int flags = O_RDONLY;
    if (mode == StreamMode::CreateWrite) flags = O_RDWR | O_CREAT | O_TRUNC;
    if (mode == StreamMode::ReadWrite) flags = O_RDWR;
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) return errno == ENOENT ? STG_E_FILENOTFOUND : STG_E_ACCESSDENIED;
    *stream = new FileStream(fd);
    return S_OK;
}

HRESULT CreateStreamOnMemory(const std::vector<std::uint8_t>& initial, IStream** stream) {
    if (!stream) return E_POINTER;
    *stream = new MemoryStream(initial);
    return S_OK;
}

HRESULT ReadWholeStream(IStream* stream, std::vector<std::uint8_t>& bytes) {
    if (!stream) return E_POINTER;
    bytes.clear();
    HRESULT hr = stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr);
    if (FAILED(hr)) return hr;
    char buffer[65536];
    for (;;) {
        ULONG got = 0;
        hr = stream->Read(buffer, sizeof buffer, &got);
        if (FAILED(hr)) return hr;
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (got < sizeof buffer) return S_OK;
    }
}

}  // namespace cb
