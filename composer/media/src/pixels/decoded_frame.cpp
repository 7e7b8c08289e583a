#include "media/pixels/decoded_frame.h"

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

int MovieColourSpace(int32_t rows) {
    return rows >= kHighDefinitionRows ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
}

bool IsVideo420In(const AVFrame& frame, int colourSpace) {
    // BT.601 goes by two names with the same matrix.
    const auto matrix = [](int space) { return space == AVCOL_SPC_BT470BG ? AVCOL_SPC_SMPTE170M : space; };
    return frame.format == AV_PIX_FMT_YUV420P && frame.color_range != AVCOL_RANGE_JPEG &&
           matrix(ColourSpaceOf(frame)) == matrix(colourSpace);
}

bool IsBt709Video420(const AVFrame& frame) { return IsVideo420In(frame, AVCOL_SPC_BT709); }

}  // namespace composer
