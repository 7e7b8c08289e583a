#include "reader/hidden_index_io.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace vidmill::reader {
namespace {

constexpr int kBufferBytes = 64 * 1024;
constexpr char kJunk[4] = {'J', 'U', 'N', 'K'};

}  // namespace

std::unique_ptr<HiddenIndexIo> HiddenIndexIo::Open(const std::string& path,
                                                   std::vector<std::uint64_t> hiddenIds) {
    std::unique_ptr<HiddenIndexIo> io(new HiddenIndexIo());
    io->file_ = std::fopen(path.c_str(), "rb");
    if (!io->file_ || std::fseek(io->file_, 0, SEEK_END) != 0) return nullptr;
    io->size_ = std::ftell(io->file_);
    if (io->size_ < 0 || std::fseek(io->file_, 0, SEEK_SET) != 0) return nullptr;
    io->hidden_ = std::move(hiddenIds);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    if (!buffer) return nullptr;
    io->context_ = avio_alloc_context(buffer, kBufferBytes, 0, io.get(), &Read, nullptr, &Seek);
    if (!io->context_) {
        av_free(buffer);
        return nullptr;
    }
    return io;
}

HiddenIndexIo::~HiddenIndexIo() {
    if (context_) {
        av_freep(&context_->buffer);
        avio_context_free(&context_);
    }
    if (file_) std::fclose(file_);
}

int HiddenIndexIo::Read(void* opaque, std::uint8_t* buffer, int size) {
    auto& io = *static_cast<HiddenIndexIo*>(opaque);
    if (std::fseek(io.file_, static_cast<long>(io.position_), SEEK_SET) != 0) return AVERROR(EIO);
    const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(size), io.file_);
    if (got == 0) return AVERROR_EOF;
    const auto start = static_cast<std::uint64_t>(io.position_);
    const std::uint64_t end = start + got;
    // Every id that overlaps what was read is replaced, also when the read cuts through it.
    for (const std::uint64_t id : io.hidden_) {
        for (std::uint64_t byte = std::max(id, start); byte < std::min(id + 4, end); ++byte)
            buffer[byte - start] = static_cast<std::uint8_t>(kJunk[byte - id]);
    }
    io.position_ += static_cast<std::int64_t>(got);
    return static_cast<int>(got);
}

std::int64_t HiddenIndexIo::Seek(void* opaque, std::int64_t offset, int whence) {
    auto& io = *static_cast<HiddenIndexIo*>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return io.size_;
        case SEEK_SET:
            io.position_ = offset;
            break;
        case SEEK_CUR:
            io.position_ += offset;
            break;
        case SEEK_END:
            io.position_ = io.size_ + offset;
            break;
        default:
            return AVERROR(EINVAL);
    }
    if (io.position_ < 0) io.position_ = 0;
    return io.position_;
}

}  // namespace vidmill::reader
