#include "media/mask_preview.h"

#include "media/overlay_pixels.h"

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
    for (int32_t row = 0; row < height; ++row) {
        const bool rowCropped = row < crop.Top || row >= height - crop.Bottom;
        const std::size_t start = PixelIndex(width, height, row, 0);
        for (int32_t column = 0; column < width; ++column) {
            const std::size_t at = start + static_cast<std::size_t>(column);
            const uint32_t pixel = frame[at];
            if (rowCropped || column < crop.Left || column >= width - crop.Right) {
                preview[at] = colors.cropPixel;
                continue;
            }
            ++count.keptPixels;
            if (!ranges.Empty() && ranges.Transparent(pixel)) {
                preview[at] = colors.transparentPixel;
                ++count.transparentPixels;
            } else {
                preview[at] = pixel;
            }
        }
    }
    return count;
}

}  // namespace composer
