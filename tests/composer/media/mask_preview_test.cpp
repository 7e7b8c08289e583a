// The mask window's preview: crop edges in their colour, keyed pixels in theirs (the render's own
// colour ranges), the rest untouched, and the transparent share of the kept pixels.
#include "media/pixels/mask_preview.h"

#include <gtest/gtest.h>

#include "media/pixels/overlay_pixels.h"

namespace composer {
namespace {

constexpr uint32_t kGreen = 0xFF00C800;
constexpr uint32_t kRed = 0xFFC80000;
constexpr MaskPreviewColors kColors{0x00C0C0C0, 0x00808080};

// A 6 x 4 frame of green with a red pixel at row 1, column 2 (row 0 = top).
PixelBuffer Frame() {
    PixelBuffer frame(24, kGreen);
    frame[PixelIndex(6, 4, 1, 2)] = kRed;
    return frame;
}

TEST(MaskPreview, CropEdgesKeyedPixelsAndTheRest) {
    const std::vector<TransColorRec> colors{{}, {0, 200, 0, 5}};
    PixelBuffer preview;
    const MaskPreviewCount count = BuildMaskPreview(Frame(), 6, 4, {1, 0, 0, 1}, colors, 1, kColors, preview);
    ASSERT_EQ(preview.size(), 24u);
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(preview[PixelIndex(6, 4, 0, column)], kColors.cropPixel) << "top row " << column;
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(preview[PixelIndex(6, 4, row, 5)], kColors.cropPixel) << "right column " << row;
    EXPECT_EQ(preview[PixelIndex(6, 4, 1, 2)], kRed);
    EXPECT_EQ(preview[PixelIndex(6, 4, 3, 0)], kColors.transparentPixel);
    EXPECT_EQ(count.keptPixels, 15);
    EXPECT_EQ(count.transparentPixels, 14);
    EXPECT_DOUBLE_EQ(count.TransparentShare(), 14.0 / 15.0);

    // Each preview pixel agrees with the render's own test of the same colours.
    const OverlayRanges ranges(colors, 1);
    for (int row = 1; row < 4; ++row)
        for (int column = 0; column < 5; ++column) {
            const std::size_t at = PixelIndex(6, 4, row, column);
            EXPECT_EQ(preview[at] == kColors.transparentPixel, ranges.Transparent(Frame()[at]));
        }
}

TEST(MaskPreview, NoColoursKeepsThePictureAndAShortFrameGivesNothing) {
    PixelBuffer preview;
    const MaskPreviewCount count = BuildMaskPreview(Frame(), 6, 4, {}, {{}}, 0, kColors, preview);
    EXPECT_EQ(preview, Frame());
    EXPECT_EQ(count.TransparentShare(), 0.0);
    EXPECT_EQ(BuildMaskPreview(PixelBuffer(10), 6, 4, {}, {{}}, 0, kColors, preview).keptPixels, 0);
    EXPECT_TRUE(preview.empty());
}

}  // namespace
}  // namespace composer
