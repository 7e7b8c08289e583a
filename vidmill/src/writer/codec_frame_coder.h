// Frames compressed by an FFmpeg encoder, converted by the scaler from the bitmap's layout
// into the pixel format the encoder takes.
#pragma once

#include <climits>
#include <set>
#include <vector>

#include "writer/ffmpeg_owners.h"
#include "writer/frame_coder.h"

namespace vidmill::writer {

class CodecFrameCoder final : public FrameCoder {
  public:
    // Null when the encoder does not open for these settings from bitmaps of bitsPerPixel.
    static std::unique_ptr<CodecFrameCoder> TryOpen(const AVCodec& encoder, std::uint32_t codecTag,
                                                    const VideoSettings& settings, int bitsPerPixel);

    int bitsPerPixel() const override { return bitsPerPixel_; }
    void describe(AVCodecParameters& parameters) const override;
    void encode(const cb::Bitmap& frame, std::int64_t position, bool keyFrame,
                const PacketSink& sink) override;
    void flush(const PacketSink& sink) override;
    // Codes the rows of `frame` from topRow on (counted from the top) as a picture of the height
    // this coder was opened for: one band of a taller frame.
    void encodeRows(const cb::Bitmap& frame, int topRow, std::int64_t position, bool keyFrame,
                    const PacketSink& sink);

  private:
    CodecFrameCoder() = default;
    bool open(const AVCodec& encoder, std::uint32_t codecTag, const VideoSettings& settings,
              int bitsPerPixel);
    void convert(const cb::Bitmap& frame, int topRow);
    void drain(const PacketSink& sink);

    int bitsPerPixel_ = 24;
    AVPixelFormat sourceFormat_ = AV_PIX_FMT_BGR24;
    std::uint32_t codecTag_ = 0;
    bool everyPacketComplete_ = false;
    bool steersKeyFrameCounter_ = false;
    CodecContextPtr context_;
    ScalerPtr scaler_;
    FramePtr picture_;
    PacketPtr packet_;
    std::vector<std::uint32_t> palette_;
    // Positions asked to be key frames whose packets have not come out of the encoder yet.
    std::set<std::int64_t> pendingKeyFrames_;
};

}  // namespace vidmill::writer
