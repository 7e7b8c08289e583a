// Which FFmpeg encoder writes the frames of a handler code, and from which pixel layout.
#pragma once

#include <cstdint>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vidmill::writer {

struct EncoderChoice {
    // Null: the frames are stored uncompressed (bottom-up BGR rows as they are composed).
    const AVCodec* encoder = nullptr;
    // The four-character code written into the file for this encoder.
    std::uint32_t codecTag = 0;
    // False for a code that names no format, or a format no encoder here writes.
    bool installed = true;

    bool uncompressed() const { return encoder == nullptr; }
};

// "DIB ", 0 and the codes of raw pixel layouts are written uncompressed; a code that no encoder
// has is not installed.
EncoderChoice ChooseEncoder(std::uint32_t handler);

// The pixel formats the encoder can be fed from frames of the given layout, the closest to that
// layout first; empty when there is no conversion from it into anything the encoder takes.
std::vector<AVPixelFormat> EncoderInputFormats(const AVCodec& encoder, AVPixelFormat source);

}  // namespace vidmill::writer
