#include "writer/encoder_tuning.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/opt.h>
}

namespace vidmill::writer {
namespace {

// Encoders whose quality is a fixed quantiser (the qscale scale of 1..31).
bool UsesQuantiserScale(AVCodecID id) {
    switch (id) {
        case AV_CODEC_ID_MPEG4:
        case AV_CODEC_ID_MSMPEG4V2:
        case AV_CODEC_ID_MSMPEG4V3:
        case AV_CODEC_ID_H263:
        case AV_CODEC_ID_H263P:
        case AV_CODEC_ID_FLV1:
        case AV_CODEC_ID_MPEG1VIDEO:
        case AV_CODEC_ID_MPEG2VIDEO:
        case AV_CODEC_ID_MJPEG:
        case AV_CODEC_ID_WMV1:
        case AV_CODEC_ID_WMV2:
            return true;
        default:
            return false;
    }
}

bool HasOption(AVCodecContext& context, const char* name) {
    return context.priv_data != nullptr &&
           av_opt_find(context.priv_data, name, nullptr, 0, AV_OPT_SEARCH_CHILDREN) != nullptr;
}

void TuneQuality(AVCodecContext& context, const AVCodec& encoder, int quality) {
    if (UsesQuantiserScale(encoder.id)) {
        context.flags |= AV_CODEC_FLAG_QSCALE;
        context.global_quality = FF_QP2LAMBDA * QuantiserForQuality(quality);
        return;
    }
    // Encoders with a constant-quality factor (0 best .. 51 worst).
    if (HasOption(context, "crf")) {
        const double crf = 51.0 * (10000 - quality) / 10000.0;
        av_opt_set_double(context.priv_data, "crf", crf, 0);
    }
}

}  // namespace

int QuantiserForQuality(int quality) {
    const int clamped = std::clamp(quality, 0, 10000);
    return 1 + static_cast<int>(std::nearbyint((10000 - clamped) * 30.0 / 10000.0));
}

bool CountsKeyFramesItself(const AVCodec& encoder) { return encoder.id == AV_CODEC_ID_MSVIDEO1; }

void TuneEncoder(AVCodecContext& context, const AVCodec& encoder, const VideoSettings& settings) {
    // Frames go out in the order they come: the file has no room for reordered pictures.
    context.max_b_frames = 0;
    context.gop_size = settings.keyFrameRate > 1 ? settings.keyFrameRate : 1;
    if (CountsKeyFramesItself(encoder)) context.keyint_min = context.gop_size;
    if (settings.bytesPerSecond > 0) {
        context.bit_rate = static_cast<std::int64_t>(settings.bytesPerSecond) * 8;
        context.rc_max_rate = context.bit_rate;
        context.rc_buffer_size = static_cast<int>(std::min<std::int64_t>(context.bit_rate, 1 << 30));
    } else {
        TuneQuality(context, encoder, settings.quality);
    }
}

}  // namespace vidmill::writer
