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
    if (id == AV_CODEC_ID_NONE || id == AV_CODEC_ID_RAWVIDEO) return {};
    const AVCodec* encoder = avcodec_find_encoder(id);
    if (encoder == nullptr) return {};
    return {encoder, handler};
}

AVPixelFormat EncoderInputFormat(const AVCodec& encoder, AVPixelFormat source) {
    if (!sws_isSupportedInput(source)) return AV_PIX_FMT_NONE;
    if (encoder.pix_fmts == nullptr) return AV_PIX_FMT_NONE;
    // Only formats the scaler can produce, unless the frame is handed over as it is.
    AVPixelFormat usable[64];
    int count = 0;
    for (const AVPixelFormat* format = encoder.pix_fmts; *format != AV_PIX_FMT_NONE && count < 63; ++format) {
        if (*format == source || sws_isSupportedOutput(*format)) usable[count++] = *format;
    }
    usable[count] = AV_PIX_FMT_NONE;
    if (count == 0) return AV_PIX_FMT_NONE;
    return avcodec_find_best_pix_fmt_of_list(usable, source, 0, nullptr);
}

}  // namespace vidmill::writer
