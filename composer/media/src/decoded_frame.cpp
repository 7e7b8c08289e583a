#include "media/decoded_frame.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

namespace composer {

namespace {

// High-definition pictures whose colours are not named are BT.709, as players take them.
constexpr int kHighDefinitionRows = 720;

}  // namespace

int ColourSpaceOf(const AVFrame& frame) {
    if (frame.colorspace != AVCOL_SPC_UNSPECIFIED) return frame.colorspace;
    return frame.height >= kHighDefinitionRows ? AVCOL_SPC_BT709 : AVCOL_SPC_BT470BG;
}

bool IsBt709Video420(const AVFrame& frame) {
    return frame.format == AV_PIX_FMT_YUV420P && frame.color_range != AVCOL_RANGE_JPEG &&
           ColourSpaceOf(frame) == AVCOL_SPC_BT709;
}

}  // namespace composer
