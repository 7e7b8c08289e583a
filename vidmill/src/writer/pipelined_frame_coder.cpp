#include "writer/pipelined_frame_coder.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "frame/error.h"
#include "writer/video1_bands.h"

namespace vidmill::writer {
namespace {

constexpr int kBlockSize = 4;
constexpr int kMostBands = 8;

[[noreturn]] void FrameFailed() { throw Error("Cannot write AVI frame"); }

// Bands for a Video-1 frame: one per processor unless the settings name a number, never more
// than there are block rows, and only for sizes made of whole blocks.
int BandCount(const VideoSettings& settings) {
    if (settings.width % kBlockSize != 0 || settings.height % kBlockSize != 0) return 1;
    const int wanted =
        settings.bands > 0 ? settings.bands : static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(std::min(wanted, kMostBands), 1, settings.height / kBlockSize);
}

PacketPtr ClonePacket(const AVPacket& packet) {
    PacketPtr copy(av_packet_clone(&packet));
    if (!copy) FrameFailed();
    return copy;
}

}  // namespace

std::unique_ptr<FrameCoder> PipelinedFrameCoder::Create(std::unique_ptr<CodecFrameCoder> whole,
                                                        const AVCodec& encoder, std::uint32_t codecTag,
                                                        const VideoSettings& settings) {
    std::unique_ptr<PipelinedFrameCoder> coder(
        new PipelinedFrameCoder(std::move(whole), settings.width, settings.height));
    const int bands = encoder.id == AV_CODEC_ID_MSVIDEO1 ? BandCount(settings) : 1;
    if (bands == 1 || !coder->addBands(encoder, codecTag, settings, bands)) {
        coder->lanes_.clear();
        coder->addLane(*coder->whole_, nullptr, 0, 0);
    }
    return coder;
}

PipelinedFrameCoder::PipelinedFrameCoder(std::unique_ptr<CodecFrameCoder> whole, int width, int height)
    : whole_(std::move(whole)), input_(width, height, whole_->bitsPerPixel()) {}

PipelinedFrameCoder::~PipelinedFrameCoder() {
    // The workers stop before the encoders and the frame they use go.
    lanes_.clear();
}

void PipelinedFrameCoder::addLane(CodecFrameCoder& coder, std::unique_ptr<CodecFrameCoder> ownCoder,
                                  int topRow, int blocks) {
    auto lane = std::make_unique<Lane>();
    lane->coder = &coder;
    lane->ownCoder = std::move(ownCoder);
    lane->topRow = topRow;
    lane->blocks = blocks;
    lanes_.push_back(std::move(lane));
}

bool PipelinedFrameCoder::addBands(const AVCodec& encoder, std::uint32_t codecTag,
                                   const VideoSettings& settings, int bands) {
    const int blockRows = settings.height / kBlockSize;
    const int blocksWide = settings.width / kBlockSize;
    int rowsBelow = 0;
    for (int band = 0; band < bands; ++band) {
        const int bandRows = blockRows / bands + (band < blockRows % bands ? 1 : 0);
        VideoSettings bandSettings = settings;
        bandSettings.height = bandRows * kBlockSize;
        auto bandCoder = CodecFrameCoder::TryOpen(encoder, codecTag, bandSettings, bitsPerPixel());
        if (!bandCoder) return false;
        rowsBelow += bandRows;
        CodecFrameCoder& coder = *bandCoder;
        addLane(coder, std::move(bandCoder), settings.height - rowsBelow * kBlockSize, bandRows * blocksWide);
    }
    return true;
}

void PipelinedFrameCoder::describe(AVCodecParameters& parameters) const { whole_->describe(parameters); }

void PipelinedFrameCoder::start(Lane& lane, std::function<void(const PacketSink&)> job) {
    lane.worker.Start([&lane, job = std::move(job)] {
        job([&lane](AVPacket& packet) { lane.packets.push_back(ClonePacket(packet)); });
    });
}

void PipelinedFrameCoder::encode(const cb::Bitmap& frame, std::int64_t position, bool keyFrame,
                                 const PacketSink& sink) {
    handOut(sink);
    if (frame.width() != input_.width() || frame.height() != input_.height() ||
        frame.bitsPerPixel() != input_.bitsPerPixel())
        FrameFailed();
    std::memcpy(input_.bits(), frame.bits(), input_.sizeBytes());
    if (input_.bitsPerPixel() == 8) input_.palette() = frame.palette();
    for (const auto& lane : lanes_) {
        start(*lane, [this, &lane = *lane, position, keyFrame](const PacketSink& laneSink) {
            lane.coder->encodeRows(input_, lane.topRow, position, keyFrame, laneSink);
        });
    }
}

void PipelinedFrameCoder::flush(const PacketSink& sink) {
    handOut(sink);
    for (const auto& lane : lanes_) {
        start(*lane, [&lane = *lane](const PacketSink& laneSink) { lane.coder->flush(laneSink); });
    }
    handOut(sink);
}

void PipelinedFrameCoder::handOut(const PacketSink& sink) {
    std::exception_ptr failure;
    std::vector<std::vector<PacketPtr>> made;
    for (const auto& lane : lanes_) {
        try {
            lane->worker.Wait();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
        made.push_back(std::exchange(lane->packets, {}));
    }
    if (failure) std::rethrow_exception(failure);
    if (made.size() == 1) {
        for (const PacketPtr& packet : made.front()) sink(*packet);
        return;
    }
    handOutJoined(made, sink);
}

// Each band's encoder makes one picture per frame and holds none back.
void PipelinedFrameCoder::handOutJoined(std::vector<std::vector<PacketPtr>>& made, const PacketSink& sink) {
    const bool none =
        std::all_of(made.begin(), made.end(), [](const auto& packets) { return packets.empty(); });
    if (none) return;
    std::vector<Video1Band> bands;
    bool complete = true;
    for (std::size_t i = 0; i < made.size(); ++i) {
        if (made[i].size() != 1) FrameFailed();
        const AVPacket& packet = *made[i].front();
        bands.push_back({{packet.data, static_cast<std::size_t>(packet.size)}, lanes_[i]->blocks});
        complete = complete && (packet.flags & AV_PKT_FLAG_KEY) != 0;
    }
    if (!JoinVideo1Bands(bands, joined_)) FrameFailed();
    PacketPtr picture(av_packet_alloc());
    if (!picture || av_new_packet(picture.get(), static_cast<int>(joined_.size())) < 0) FrameFailed();
    std::memcpy(picture->data, joined_.data(), joined_.size());
    const AVPacket& first = *made.front().front();
    picture->pts = first.pts;
    picture->dts = first.dts;
    picture->duration = first.duration;
    // A key frame only when every band is a complete picture where a key frame was asked for.
    picture->flags = complete ? AV_PKT_FLAG_KEY : 0;
    sink(*picture);
}

}  // namespace vidmill::writer
