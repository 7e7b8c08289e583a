// Uncompressed frames: the 24-bit bitmap's own bottom-up rows, each padded to 4 bytes as
// device-independent bitmaps are, so that any reader of raw AVI frames takes them as they are.
#pragma once

#include "writer/ffmpeg_owners.h"
#include "writer/frame_coder.h"

namespace vidmill::writer {

class RawFrameCoder final : public FrameCoder {
  public:
    RawFrameCoder(int width, int height) : width_(width), height_(height) {}

    int bitsPerPixel() const override { return 24; }
    void describe(AVCodecParameters& parameters) const override;
    void encode(const cb::Bitmap& frame, std::int64_t position, bool keyFrame,
                const PacketSink& sink) override;
    void flush(const PacketSink&) override {}

  private:
    int width_;
    int height_;
    PacketPtr packet_{av_packet_alloc()};
};

}  // namespace vidmill::writer
