#include "media/pixels/mask_preview.h"

#include <algorithm>

#include "media/pixels/overlay_pixels.h"

namespace composer {

double MaskPreviewCount::TransparentShare() const {
    return keptPixels > 0 ? static_cast<double>(transparentPixels) / static_cast<double>(keptPixels) : 0.0;
}

MaskPreviewCount BuildMaskPreview(const PixelBuffer& frame, int32_t width, int32_t height,
                                  const CropMargins& crop, const std::vector<TransColorRec>& transColors,
                                  int32_t transColorCount, const MaskPreviewColors& colors,
                                  PixelBuffer& preview) {
    MaskPreviewCount count;
    if (width < 1 || height < 1 ||
        frame.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        preview.clear();
        return count;
    }
    preview.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const OverlayRanges ranges(transColors, transColorCount);
    const int32_t left = std::clamp(crop.Left, 0, width);
    const int32_t right = std::clamp(width - crop.Right, left, width);
    for (int32_t row = 0; row < height; ++row) {
        uint32_t* out = preview.data() + PixelIndex(width, height, row, 0);
        const uint32_t* in = frame.data() + PixelIndex(width, height, row, 0);
        if (row < crop.Top || row >= height - crop.Bottom) {
            std::fill(out, out + width, colors.cropPixel);
            continue;
        }
        std::fill(out, out + left, colors.cropPixel);
        std::fill(out + right, out + width, colors.cropPixel);
        const std::size_t kept = static_cast<std::size_t>(right - left);
        count.keptPixels += static_cast<int64_t>(kept);
        count.transparentPixels +=
            static_cast<int64_t>(ranges.Mark(in + left, out + left, kept, colors.transparentPixel));
    }
    return count;
}

}  // namespace composer
