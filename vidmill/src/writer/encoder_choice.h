// Which FFmpeg encoder writes the frames of a handler code, and from which pixel layout.
#pragma once

#include <cstdint>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vidmill::writer {

struct EncoderChoice {
    // Null: the frames are stored uncompressed (bottom-up BGR rows as they are composed).
    const AVCodec* encoder = nullptr;
    // The four-character code written into the file for this encoder.
    std::uint32_t codecTag = 0;

    bool uncompressed() const { return encoder == nullptr; }
};

// "DIB ", 0 and every code that no encoder has are written uncompressed.
EncoderChoice ChooseEncoder(std::uint32_t handler);

// The pixel format the encoder is fed from frames of the given layout; AV_PIX_FMT_NONE when
// there is no conversion from that layout into anything the encoder takes.
AVPixelFormat EncoderInputFormat(const AVCodec& encoder, AVPixelFormat source);

}  // namespace vidmill::writer
