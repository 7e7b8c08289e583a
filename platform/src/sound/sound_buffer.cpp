// Decoded sound in an anonymous temporary file, its WAV form, and the play cursor over it.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "buffer_writer.h"
#include "cbplatform/sound.h"

namespace cb::sound {
namespace {

std::string TempFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
}

// A file with no name: it disappears with its last descriptor, whatever way the program ends.
int OpenAnonymousFile() {
    const std::string folder = TempFolder();
    int descriptor = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (descriptor >= 0) return descriptor;
    std::string pattern = folder + "/cbsoundXXXXXX";
    descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor >= 0) ::unlink(pattern.c_str());
    return descriptor;
}

bool WriteAll(int descriptor, const void* bytes, std::size_t size) {
    const auto* next = static_cast<const std::uint8_t*>(bytes);
    while (size > 0) {
        const ssize_t written = ::write(descriptor, next, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        next += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

void PutLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

bool SoundAvailable() {
    const char* value = std::getenv("CB_SOUND_UNAVAILABLE");
    return !value || !*value || std::strcmp(value, "0") == 0;
}

std::array<std::uint8_t, kWavHeaderBytes> MakeWavHeader(const PcmFormat& format, std::uint32_t dataBytes) {
    std::array<std::uint8_t, kWavHeaderBytes> header{};
    const int blockBytes = format.BlockBytes();
    std::memcpy(&header[0], "RIFF", 4);
    PutLittleEndian(&header[4], dataBytes + 36, 4);
    std::memcpy(&header[8], "WAVEfmt ", 8);
    PutLittleEndian(&header[16], 16, 4);
    PutLittleEndian(&header[20], 1, 2);
    PutLittleEndian(&header[22], static_cast<std::uint32_t>(format.channels), 2);
    PutLittleEndian(&header[24], static_cast<std::uint32_t>(format.sampleRate), 4);
    PutLittleEndian(&header[28], static_cast<std::uint32_t>(format.sampleRate * blockBytes), 4);
    PutLittleEndian(&header[32], static_cast<std::uint32_t>(blockBytes), 2);
    PutLittleEndian(&header[34], static_cast<std::uint32_t>(format.bitsPerSample), 2);
    std::memcpy(&header[36], "data", 4);
    PutLittleEndian(&header[40], dataBytes, 4);
    return header;
}

SoundBuffer::SoundBuffer(int fileDescriptor, PcmFormat format)
    : fileDescriptor_(fileDescriptor), format_(format) {}

SoundBuffer::~SoundBuffer() {
    if (fileDescriptor_ >= 0) ::close(fileDescriptor_);
}

std::int64_t SoundBuffer::frameCount() const {
    const int blockBytes = format_.BlockBytes();
    return blockBytes > 0 ? byteCount_ / blockBytes : 0;
}

std::size_t SoundBuffer::Read(std::int64_t offsetBytes, void* destination, std::size_t size) const {
    if (offsetBytes < 0 || offsetBytes >= byteCount_) return 0;
    size = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(size), byteCount_ - offsetBytes));
    auto* next = static_cast<std::uint8_t*>(destination);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got =
            ::pread(fileDescriptor_, next + done, size - done, offsetBytes + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool SoundBuffer::SaveWav(const std::string& path, std::string* error) const {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (byteCount_ > std::numeric_limits<std::uint32_t>::max() - 36)
        return fail("sound too long for a WAV file");
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) return fail(path + ": " + std::strerror(errno));
    const auto header = MakeWavHeader(format_, static_cast<std::uint32_t>(byteCount_));
    bool ok = WriteAll(descriptor, header.data(), header.size());
    std::vector<std::uint8_t> chunk(1 << 16);
    for (std::int64_t offset = 0; ok && offset < byteCount_;) {
        const std::size_t got = Read(offset, chunk.data(), chunk.size());
        ok = got > 0 && WriteAll(descriptor, chunk.data(), got);
        offset += static_cast<std::int64_t>(got);
    }
    ok = (::close(descriptor) == 0) && ok;
    return ok ? true : fail(path + ": the file could not be written");
}

BufferWriter::BufferWriter(const PcmFormat& format) {
    const int descriptor = OpenAnonymousFile();
    if (descriptor >= 0) buffer_.reset(new SoundBuffer(descriptor, format));
}

bool BufferWriter::Append(const void* bytes, std::size_t size) {
    if (!buffer_ || !WriteAll(buffer_->fileDescriptor_, bytes, size)) return false;
    buffer_->byteCount_ += static_cast<std::int64_t>(size);
    return true;
}

void PcmCursor::Seek(std::int64_t positionBytes) {
    const int blockBytes = std::max(1, buffer_->format().BlockBytes());
    positionBytes = std::clamp<std::int64_t>(positionBytes, 0, buffer_->byteCount());
    position_.store(positionBytes - positionBytes % blockBytes);
}

std::size_t PcmCursor::Pull(void* destination, std::size_t size) {
    const std::size_t got = buffer_->Read(position_.load(), destination, size);
    position_.fetch_add(static_cast<std::int64_t>(got));
    return got;
}

}  // namespace cb::sound
