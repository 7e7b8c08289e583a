#include "writer/encoder_choice.h"

#include "frame/tag_code.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace vidmill::writer {
EncoderChoice ChooseEncoder(std::uint32_t handler) {
    if (handler == 0 || handler == TagCode("DIB ")) return {};
    const AVCodecTag* const tables[] = {avformat_get_riff_video_tags(), nullptr};
    const AVCodecID id = av_codec_get_id(tables, handler);
    if (id == AV_CODEC_ID_RAWVIDEO) return {};
    const AVCodec* encoder = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_encoder(id);
    if (encoder == nullptr) return {nullptr, 0, false};
    return {encoder, handler, true};
}

std::vector<AVPixelFormat> EncoderInputFormats(const AVCodec& encoder, AVPixelFormat source) {
    std::vector<AVPixelFormat> ordered;
    if (!sws_isSupportedInput(source) || encoder.pix_fmts == nullptr) return ordered;
    // Only formats the scaler can produce, unless the frame is handed over as it is.
    std::vector<AVPixelFormat> usable;
    for (const AVPixelFormat* format = encoder.pix_fmts; *format != AV_PIX_FMT_NONE; ++format)
        if (*format == source || sws_isSupportedOutput(*format)) usable.push_back(*format);
    while (!usable.empty()) {
        usable.push_back(AV_PIX_FMT_NONE);
        const AVPixelFormat best = avcodec_find_best_pix_fmt_of_list(usable.data(), source, 0, nullptr);
        usable.pop_back();
        if (best == AV_PIX_FMT_NONE) break;
        ordered.push_back(best);
        std::erase(usable, best);
    }
    return ordered;
}

}  // namespace vidmill::writer
