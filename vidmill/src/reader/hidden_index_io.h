// A file handed to FFmpeg with its index chunks hidden: the ids at the given offsets read as
// "JUNK", so the demuxer finds no index and reads the chunks as they lie in the file. Used when
// the file's own index is short or points where the file has no data.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avio.h>
}

namespace vidmill::reader {

class HiddenIndexIo {
  public:
    // Null when the file cannot be opened.
    static std::unique_ptr<HiddenIndexIo> Open(const std::string& path, std::vector<std::uint64_t> hiddenIds);
    ~HiddenIndexIo();
    HiddenIndexIo(const HiddenIndexIo&) = delete;
    HiddenIndexIo& operator=(const HiddenIndexIo&) = delete;

    // The I/O context to give the format context (AVFMT_FLAG_CUSTOM_IO); owned here.
    AVIOContext* context() const { return context_; }

  private:
    HiddenIndexIo() = default;
    static int Read(void* opaque, std::uint8_t* buffer, int size);
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);

    std::FILE* file_ = nullptr;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
    std::vector<std::uint64_t> hidden_;
    AVIOContext* context_ = nullptr;
};

}  // namespace vidmill::reader
