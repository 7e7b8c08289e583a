#include "writer/codec_frame_coder.h"

#include "frame/error.h"
#include "writer/encoder_choice.h"
#include "writer/encoder_tuning.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace vidmill::writer {
namespace {

AVPixelFormat SourceFormatFor(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 32:
            return AV_PIX_FMT_BGR0;
        case 8:
            return AV_PIX_FMT_PAL8;
        default:
            return AV_PIX_FMT_BGR24;
    }
}

[[noreturn]] void FrameFailed() { throw Error("Cannot write AVI frame"); }

// The encoder opened for one input format; null when it does not open, or when it would write a
// code other than the one the file names: an encoder that picks its code by pixel layout (4:2:0
// against 4:4:4, with or without alpha) must get the layout of the code asked for, or the file's
// frames could not be decoded.
CodecContextPtr OpenEncoder(const AVCodec& encoder, std::uint32_t codecTag, const VideoSettings& settings,
                            AVPixelFormat inputFormat) {
    CodecContextPtr context(avcodec_alloc_context3(&encoder));
    if (!context) return nullptr;
    context->width = settings.width;
    context->height = settings.height;
    context->pix_fmt = inputFormat;
    context->time_base = AVRational{1000, settings.rate};
    context->framerate = AVRational{settings.rate, 1000};
    context->codec_tag = codecTag;
    context->thread_count = 1;
    // Some encoders (motion JPEG's full-range formats among them) are refused without this.
    context->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
    TuneEncoder(*context, encoder, settings);
    if (avcodec_open2(context.get(), &encoder, nullptr) < 0) return nullptr;
    if (context->codec_tag != 0 && context->codec_tag != codecTag) return nullptr;
    return context;
}

}  // namespace

std::unique_ptr<CodecFrameCoder> CodecFrameCoder::TryOpen(const AVCodec& encoder, std::uint32_t codecTag,
                                                          const VideoSettings& settings, int bitsPerPixel) {
    std::unique_ptr<CodecFrameCoder> coder(new CodecFrameCoder());
    if (!coder->open(encoder, codecTag, settings, bitsPerPixel)) return nullptr;
    return coder;
}

bool CodecFrameCoder::open(const AVCodec& encoder, std::uint32_t codecTag, const VideoSettings& settings,
                           int bitsPerPixel) {
    bitsPerPixel_ = bitsPerPixel;
    sourceFormat_ = SourceFormatFor(bitsPerPixel);
    codecTag_ = codecTag;
    AVPixelFormat inputFormat = AV_PIX_FMT_NONE;
    for (const AVPixelFormat candidate : EncoderInputFormats(encoder, sourceFormat_)) {
        context_ = OpenEncoder(encoder, codecTag, settings, candidate);
        if (context_) {
            inputFormat = candidate;
            break;
        }
    }
    if (!context_) return false;

    scaler_.reset(sws_getContext(settings.width, settings.height, sourceFormat_, settings.width,
                                 settings.height, inputFormat, SWS_BICUBIC, nullptr, nullptr, nullptr));
    picture_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!scaler_ || !picture_ || !packet_) return false;
    picture_->format = inputFormat;
    picture_->width = settings.width;
    picture_->height = settings.height;
    if (av_frame_get_buffer(picture_.get(), 0) < 0) return false;

    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(encoder.id);
    everyPacketComplete_ = descriptor != nullptr && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY) != 0;
    steersKeyFrameCounter_ = CountsKeyFramesItself(encoder);
    return true;
}

void CodecFrameCoder::describe(AVCodecParameters& parameters) const {
    avcodec_parameters_from_context(&parameters, context_.get());
    parameters.codec_tag = codecTag_;
}

void CodecFrameCoder::convert(const cb::Bitmap& frame, int topRow) {
    if (frame.width() != context_->width || topRow < 0 || frame.height() - topRow < context_->height ||
        frame.bitsPerPixel() != bitsPerPixel_)
        FrameFailed();
    if (av_frame_make_writable(picture_.get()) < 0) FrameFailed();
    // The bitmap's rows run bottom-up: start at the top row and step backwards through memory.
    const std::uint8_t* source[4] = {frame.topRow(topRow), nullptr, nullptr, nullptr};
    int sourceStride[4] = {-static_cast<int>(frame.stride()), 0, 0, 0};
    if (sourceFormat_ == AV_PIX_FMT_PAL8) {
        palette_.resize(256);
        for (std::size_t i = 0; i < palette_.size() && i < frame.palette().size(); ++i) {
            const cb::RgbQuad& entry = frame.palette()[i];
            palette_[i] = 0xFF000000u | static_cast<std::uint32_t>(entry.red) << 16 |
                          static_cast<std::uint32_t>(entry.green) << 8 | entry.blue;
        }
        source[1] = reinterpret_cast<const std::uint8_t*>(palette_.data());
        sourceStride[1] = 0;
    }
    sws_scale(scaler_.get(), source, sourceStride, 0, context_->height, picture_->data, picture_->linesize);
}

void CodecFrameCoder::encode(const cb::Bitmap& frame, std::int64_t position, bool keyFrame,
                             const PacketSink& sink) {
    if (frame.height() != context_->height) FrameFailed();
    encodeRows(frame, 0, position, keyFrame, sink);
}

void CodecFrameCoder::encodeRows(const cb::Bitmap& frame, int topRow, std::int64_t position, bool keyFrame,
                                 const PacketSink& sink) {
    convert(frame, topRow);
    picture_->pts = position;
    // Quantiser-scale encoders take the quality of each picture, not the context's.
    picture_->quality = context_->global_quality;
    picture_->pict_type = keyFrame ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    if (keyFrame) pendingKeyFrames_.insert(position);
    if (steersKeyFrameCounter_) {
        // This encoder starts a key frame once keyint_min frames have passed since the last
        // one; 0 forces one now, the largest value leaves the other frames to change detection.
        context_->keyint_min = keyFrame ? 0 : INT_MAX;
    }
    if (avcodec_send_frame(context_.get(), picture_.get()) < 0) FrameFailed();
    drain(sink);
}

void CodecFrameCoder::flush(const PacketSink& sink) {
    const int result = avcodec_send_frame(context_.get(), nullptr);
    if (result < 0 && result != AVERROR_EOF) FrameFailed();
    drain(sink);
}

void CodecFrameCoder::drain(const PacketSink& sink) {
    for (;;) {
        const int result = avcodec_receive_packet(context_.get(), packet_.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return;
        if (result < 0) FrameFailed();
        const bool asked = pendingKeyFrames_.erase(packet_->pts) > 0;
        const bool complete = (packet_->flags & AV_PKT_FLAG_KEY) != 0;
        // Only a packet that really is a complete picture is flagged, and only where the
        // key-frame rule puts one, where every packet of the codec is complete anyway, or where an
        // encoder that counts its own key frames coded a frame whole because all of it changed.
        packet_->flags =
            complete && (asked || everyPacketComplete_ || steersKeyFrameCounter_) ? AV_PKT_FLAG_KEY : 0;
        packet_->dts = packet_->pts;
        packet_->duration = 1;
        sink(*packet_);
        av_packet_unref(packet_.get());
    }
}

}  // namespace vidmill::writer
