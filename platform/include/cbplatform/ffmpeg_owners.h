// Owners for FFmpeg objects, each freed by its own release function. For code that is built with
// FFmpeg's headers (the platform layer's decoders and the library).
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace cb {

// An input format context: closes the file it opened.
struct InputFormatClose {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecParametersFree {
    void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};
struct CodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ResamplerFree {
    void operator()(SwrContext* resampler) const { swr_free(&resampler); }
};
struct ScalerFree {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};

using InputFormatPtr = std::unique_ptr<AVFormatContext, InputFormatClose>;
using CodecParametersPtr = std::unique_ptr<AVCodecParameters, CodecParametersFree>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFree>;
using ScalerPtr = std::unique_ptr<SwsContext, ScalerFree>;

}  // namespace cb
