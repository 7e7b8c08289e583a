#include "compressors/round_trip.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "cbplatform/ffmpeg_owners.h"
#include "frame/error.h"
#include "writer/codec_frame_coder.h"
#include "writer/encoder_choice.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace vidmill::compressors {
namespace {

using Packets = std::vector<std::vector<std::uint8_t>>;

// A gradient with some detail, so that no encoder can skip the picture as empty.
cb::Bitmap TestFrame(int width, int height, int bitsPerPixel) {
    cb::Bitmap frame(width, height, bitsPerPixel);
    const int bytesPerPixel = bitsPerPixel / 8;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = frame.topRow(y);
        for (int x = 0; x < width; ++x)
            for (int channel = 0; channel < bytesPerPixel; ++channel)
                row[x * bytesPerPixel + channel] =
                    static_cast<std::uint8_t>((x * (channel + 1) + y * 3) & 0xFF);
    }
    return frame;
}

Packets EncodeOneFrame(writer::CodecFrameCoder& coder, const cb::Bitmap& frame) {
    Packets packets;
    const writer::PacketSink sink = [&packets](AVPacket& packet) {
        packets.emplace_back(packet.data, packet.data + packet.size);
    };
    coder.encode(frame, 0, true, sink);
    coder.flush(sink);
    return packets;
}

// Takes the decoder's frames; true once one of the expected size came out.
bool ReceiveFrame(AVCodecContext& context, AVFrame& frame, int width, int height) {
    while (avcodec_receive_frame(&context, &frame) >= 0) {
        const bool sized = frame.width == width && frame.height == height;
        av_frame_unref(&frame);
        if (sized) return true;
    }
    return false;
}

// Decodes the packets as a reader of the file would: the decoder of the code in the file, with the
// stream's description (extra data included) as the file carries it.
bool DecodesBack(const writer::CodecFrameCoder& coder, std::uint32_t handler, const Packets& packets,
                 int width, int height) {
    const AVCodecTag* const tables[] = {avformat_get_riff_video_tags(), nullptr};
    const AVCodec* decoder = avcodec_find_decoder(av_codec_get_id(tables, handler));
    if (decoder == nullptr || packets.empty()) return false;
    std::unique_ptr<AVCodecParameters, void (*)(AVCodecParameters*)> parameters(
        avcodec_parameters_alloc(), [](AVCodecParameters* p) { avcodec_parameters_free(&p); });
    cb::CodecContextPtr context(avcodec_alloc_context3(decoder));
    cb::PacketPtr packet(av_packet_alloc());
    cb::FramePtr frame(av_frame_alloc());
    if (!parameters || !context || !packet || !frame) return false;
    coder.describe(*parameters);
    parameters->codec_id = decoder->id;
    if (avcodec_parameters_to_context(context.get(), parameters.get()) < 0) return false;
    context->thread_count = 1;
    if (avcodec_open2(context.get(), decoder, nullptr) < 0) return false;
    for (const auto& bytes : packets) {
        if (av_new_packet(packet.get(), static_cast<int>(bytes.size())) < 0) return false;
        std::copy(bytes.begin(), bytes.end(), packet->data);
        packet->flags = AV_PKT_FLAG_KEY;
        const int sent = avcodec_send_packet(context.get(), packet.get());
        av_packet_unref(packet.get());
        if (sent < 0 && sent != AVERROR(EAGAIN)) return false;
        if (ReceiveFrame(*context, *frame, width, height)) return true;
    }
    avcodec_send_packet(context.get(), nullptr);
    return ReceiveFrame(*context, *frame, width, height);
}

}  // namespace

RoundTrip TryRoundTrip(const CompressorInfo& compressor, int width, int height) {
    const writer::EncoderChoice choice = writer::ChooseEncoder(compressor.handler);
    if (choice.uncompressed()) {
        return choice.installed && compressor.encoder == nullptr ? RoundTrip::DecodesBack
                                                                 : RoundTrip::DoesNotOpen;
    }
    writer::VideoSettings settings;
    settings.handler = compressor.handler;
    settings.width = width;
    settings.height = height;
    for (const int bitsPerPixel : {24, 32}) {
        auto coder =
            writer::CodecFrameCoder::TryOpen(*choice.encoder, choice.codecTag, settings, bitsPerPixel);
        if (!coder) continue;
        // The writer goes on with the first layout that opens: that one must work.
        try {
            const Packets packets = EncodeOneFrame(*coder, TestFrame(width, height, bitsPerPixel));
            return DecodesBack(*coder, compressor.handler, packets, width, height) ? RoundTrip::DecodesBack
                                                                                   : RoundTrip::DoesNotDecode;
        } catch (const Error&) {
            return RoundTrip::DoesNotDecode;
        }
    }
    return RoundTrip::DoesNotOpen;
}

bool EncodesAndDecodesBack(const CompressorInfo& compressor, int width, int height) {
    return TryRoundTrip(compressor, width, height) == RoundTrip::DecodesBack;
}

}  // namespace vidmill::compressors
