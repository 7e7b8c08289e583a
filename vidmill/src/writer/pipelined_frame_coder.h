// Frames encoded on worker threads while the caller composes the next one.
//
// A frame is copied, handed to the workers and its packets come out when the next frame comes
// (or at flush), so the encoder's time overlaps the caller's. Video-1 pictures are encoded in
// horizontal bands side by side, one encoder and worker per band, and the bands' codes are joined
// into the picture of the whole frame; other encoders take whole frames on one worker.
#pragma once

#include <memory>
#include <vector>

#include "cbplatform/worker_thread.h"
#include "writer/codec_frame_coder.h"

namespace vidmill::writer {

class PipelinedFrameCoder final : public FrameCoder {
  public:
    // `whole` is the encoder opened for the full frame. When the frame is cut into bands, it
    // only describes the stream and an encoder of the same kind is opened per band.
    static std::unique_ptr<FrameCoder> Create(std::unique_ptr<CodecFrameCoder> whole, const AVCodec& encoder,
                                              std::uint32_t codecTag, const VideoSettings& settings);
    ~PipelinedFrameCoder() override;

    int bitsPerPixel() const override { return whole_->bitsPerPixel(); }
    void describe(AVCodecParameters& parameters) const override;
    // A failure of the encoder shows at the next encode or at flush.
    void encode(const cb::Bitmap& frame, std::int64_t position, bool keyFrame,
                const PacketSink& sink) override;
    void flush(const PacketSink& sink) override;
    void handOutFinished(const PacketSink& sink) override { handOut(sink); }

  private:
    struct Lane {
        CodecFrameCoder* coder = nullptr;
        std::unique_ptr<CodecFrameCoder> ownCoder;  // a band's own encoder
        int topRow = 0;
        int blocks = 0;
        std::vector<PacketPtr> packets;  // out of the encoder, not yet handed out
        cb::WorkerThread worker;         // last: stops before the rest of the lane goes
    };

    PipelinedFrameCoder(std::unique_ptr<CodecFrameCoder> whole, int width, int height);
    void addLane(CodecFrameCoder& coder, std::unique_ptr<CodecFrameCoder> ownCoder, int topRow, int blocks);
    bool addBands(const AVCodec& encoder, std::uint32_t codecTag, const VideoSettings& settings, int bands);
    void start(Lane& lane, std::function<void(const PacketSink&)> job);
    // Waits for every lane, then hands out the packets they made.
    void handOut(const PacketSink& sink);
    void handOutJoined(std::vector<std::vector<PacketPtr>>& made, const PacketSink& sink);

    std::unique_ptr<CodecFrameCoder> whole_;
    cb::Bitmap input_;
    // Bottom band first: the order in which a picture codes them.
    std::vector<std::unique_ptr<Lane>> lanes_;
    std::vector<std::uint8_t> joined_;
};

}  // namespace vidmill::writer
