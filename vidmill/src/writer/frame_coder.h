// Turns composed frame bitmaps into the packets of the file's video stream: either through the
// encoder of the handler code, or stored uncompressed as bottom-up BGR rows.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "cbplatform/bitmap.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vidmill::writer {

struct VideoSettings {
    std::uint32_t handler = 0;
    int width = 0;
    int height = 0;
    // Frames per 1000 seconds: the stream's rate over a scale of 1000.
    int rate = 25000;
    int quality = 7000;      // 0..10000
    int bytesPerSecond = 0;  // 0: no data-rate limit
    int keyFrameRate = 0;    // frames between key frames
    int bands = 0;           // Video-1 frames are encoded in this many bands at once; 0: one per processor
};

// Receives each finished packet: pts is the frame position, the key flag is set for key frames.
using PacketSink = std::function<void(AVPacket&)>;

class FrameCoder {
  public:
    virtual ~FrameCoder() = default;
    // Bits per pixel of the frame bitmaps this coder takes: 24, 32 or 8.
    virtual int bitsPerPixel() const = 0;
    // The codec description of the video stream.
    virtual void describe(AVCodecParameters& parameters) const = 0;
    // Codes the frame at `position`. With keyFrame the packet is a key frame and flagged so;
    // without, it is flagged only when every packet of this coder is a complete picture.
    // Throws Error "Cannot write AVI frame" when the encoder fails.
    virtual void encode(const cb::Bitmap& frame, std::int64_t position, bool keyFrame,
                        const PacketSink& sink) = 0;
    // Hands out packets the encoder still holds.
    virtual void flush(const PacketSink& sink) = 0;
    // Waits for the frames given so far that are still being coded elsewhere and hands out their
    // packets, so that the choice of the next key frame knows them. Coders that code in the
    // caller's thread have handed theirs out already.
    virtual void handOutFinished(const PacketSink& sink) { static_cast<void>(sink); }
};

// The compressor check: the encoder of the handler is opened for the frame size from 24-bit,
// then 32-bit, then 8-bit palette frames; the first that opens is used. "DIB ", 0 and raw pixel
// codes are stored uncompressed from 24-bit frames. Throws Error kNoCompressorMessage for a code
// that no installed compressor has, and the compressor text when the encoder opens for none.
std::unique_ptr<FrameCoder> OpenFrameCoder(const VideoSettings& settings);

// The text reported when no installed compressor has the handler code.
extern const char* const kNoCompressorMessage;
// The text reported when the chosen compressor cannot take frames of this size.
extern const char* const kCompressorUnusableMessage;

}  // namespace vidmill::writer
