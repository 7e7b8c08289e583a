#include "writer/raw_frame_coder.h"

#include "frame/error.h"

namespace vidmill::writer {

void RawFrameCoder::describe(AVCodecParameters& parameters) const {
    parameters.codec_type = AVMEDIA_TYPE_VIDEO;
    parameters.codec_id = AV_CODEC_ID_RAWVIDEO;
    parameters.codec_tag = 0;  // BI_RGB
    parameters.format = AV_PIX_FMT_BGR24;
    parameters.bits_per_coded_sample = 24;
    parameters.width = width_;
    parameters.height = height_;
}

void RawFrameCoder::encode(const cb::Bitmap& frame, std::int64_t position, bool, const PacketSink& sink) {
    if (frame.width() != width_ || frame.height() != height_ || frame.bitsPerPixel() != 24)
        throw Error("Cannot write AVI frame");
    // The packet borrows the bitmap's memory: the sink writes it into the file before this call returns.
    if (!packet_) throw Error("Cannot write AVI frame");
    AVPacket& packet = *packet_;
    packet.data = const_cast<std::uint8_t*>(frame.bits());
    packet.size = static_cast<int>(frame.sizeBytes());
    packet.pts = packet.dts = position;
    packet.duration = 1;
    packet.flags = AV_PKT_FLAG_KEY;
    sink(packet);
    packet.data = nullptr;
    packet.size = 0;
}

}  // namespace vidmill::writer
