// Fills a new SoundBuffer: the decoder appends samples in whatever pieces it produces them.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "cbplatform/sound.h"

namespace cb::sound {

class BufferWriter {
  public:
    // Opens an anonymous temporary file under $TMPDIR (else /tmp); Ok() tells whether it worked.
    explicit BufferWriter(const PcmFormat& format);
    bool Ok() const { return buffer_ != nullptr; }
    // Appends bytes; false when the disk refuses them.
    bool Append(const void* bytes, std::size_t size);
    // Hands the filled buffer over; the writer is empty afterwards.
    std::unique_ptr<SoundBuffer> Finish() { return std::move(buffer_); }

  private:
    std::unique_ptr<SoundBuffer> buffer_;
};

}  // namespace cb::sound
