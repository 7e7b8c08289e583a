// The picture operations: buffer layout and transfers, work surfaces, and where the crop-and-stretch
// puts a known pattern (edge rows and columns included).
#include "media/pixels/picture_operation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "picture_pattern.h"

namespace composer {
namespace {

using testing::PatternPicture;
using testing::PatternPixel;
using testing::PicturePixel;
using testing::SourceColumn;
using testing::SourceRow;

// The source rows (top to bottom) and columns (left to right) that a pixel buffer shows.
struct Shown {
    std::vector<int> rows;
    std::vector<int> columns;
};
Shown ShownBy(const PixelBuffer& pixels, int width, int height) {
    Shown shown;
    for (int row = 0; row < height; ++row)
        shown.rows.push_back(SourceRow(pixels[PixelIndex(width, height, row, 0)]));
    for (int column = 0; column < width; ++column)
        shown.columns.push_back(SourceColumn(pixels[PixelIndex(width, height, 0, column)]));
    return shown;
}

TEST(PictureOperation, BitmapHeaderDescribesABottomUpUncompressedBuffer) {
    const BitmapInfo32 info = MakeBitmapInfo32(352, 288);
    EXPECT_EQ(info.HeaderSize, 40);
    EXPECT_EQ(info.Width, 352);
    EXPECT_EQ(info.Height, 288);
    EXPECT_EQ(info.Planes, 1);
    EXPECT_EQ(info.BitCount, 32);
    EXPECT_EQ(info.Compression, 0);
    EXPECT_EQ(info.SizeImage, 352 * 288 * 4);
    EXPECT_EQ(info.XPelsPerMeter + info.YPelsPerMeter + info.ColorsUsed + info.ColorsImportant, 0);
    EXPECT_EQ(info.FirstColor, cb::RgbQuad{});
    EXPECT_TRUE(PixelSizeUsable(23170, 23170));   // 2,147,395,600 bytes
    EXPECT_FALSE(PixelSizeUsable(23171, 23171));  // beyond a signed 32-bit size
    EXPECT_FALSE(PixelSizeUsable(0, 10));
    EXPECT_FALSE(PixelSizeUsable(10, -1));
}

TEST(PictureOperation, ResizePixelBufferKeepsAMatchingBufferAndClearsAnyOther) {
    struct Case {
        std::size_t before;
        int64_t count;
        bool kept;
    };
    for (const Case& c :
         {Case{6, 6, true}, Case{6, 5, false}, Case{6, 7, false}, Case{0, 4, false}, Case{3, 0, false}}) {
        PixelBuffer buffer(c.before, 0x00ABCDEFu);
        ResizePixelBuffer(buffer, c.count);
        ASSERT_EQ(buffer.size(), static_cast<std::size_t>(c.count)) << c.before << " -> " << c.count;
        for (uint32_t pixel : buffer)
            EXPECT_EQ(pixel, c.kept ? 0x00ABCDEFu : 0u) << c.before << " -> " << c.count;
    }
}

TEST(PictureOperation, PixelsToPictureKeepsTheBottomUpLayoutAndEveryByte) {
    const int width = 5, height = 3;
    PixelBuffer pixels(width * height);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            pixels[PixelIndex(width, height, row, column)] = PatternPixel(row, column, 0x7F) & 0x12FFFFFFu;
    EXPECT_EQ(PixelIndex(width, height, height - 1, 0), 0u);  // entry 0 is the bottom-left pixel
    const auto picture = PixelsToPicture(width, height, pixels);
    ASSERT_TRUE(picture);
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    picture->get_Width(&himetricWidth);
    EXPECT_EQ(himetricWidth, cb::PixelsToHimetric(width));
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            EXPECT_EQ(PicturePixel(picture.get(), row, column),
                      PatternPixel(row, column, 0x7F) & 0x12FFFFFFu);

    EXPECT_FALSE(PixelsToPicture(width, height, PixelBuffer(width * height - 1)));  // too few pixels
    EXPECT_FALSE(PixelsToPicture(0, height, pixels));
}

TEST(PictureOperation, OverdrawRowsIsOneSourceRowInOutputRowsAndNeverBelowOne) {
    EXPECT_FLOAT_EQ(OverdrawRows(288, 176), 288.0f / 176.0f);  // about 1.64
    EXPECT_EQ(OverdrawRows(288, 288), 1.0f);
    EXPECT_EQ(OverdrawRows(288, 576), 1.0f);  // downscaling
    EXPECT_EQ(OverdrawRows(288, 0), 1.0f);    // no source rows: no over-draw beyond one row
}

TEST(PictureOperation, RenderPlacementRoundsEveryArgumentHalfToEven) {
    struct Case {
        const char* what;
        int32_t pictureWidth, pictureHeight;  // HIMETRIC
        int32_t outWidth, outHeight;
        float r;
        CropMargins margins;
        RenderPlacement expected;
    };
    const Case cases[] = {
        // 176 -> 288 rows: y = 287 + 1.636 = 288.64, height = -(288 + 3.27).
        {"upscale", 4657, 3810, 352, 288, OverdrawRows(288, 176), {}, {0, 289, 352, -291, 0, 0, 4657, 3810}},
        // The whole picture at its own size: y = height, height = -(height + 2).
        {"same size", 9313, 7620, 352, 288, 1.0f, {}, {0, 288, 352, -290, 0, 0, 9313, 7620}},
        // r = 1.25: y = 4 + 1.25 -> 5; -(5 + 2.5) = -7.5 -> -8.
        {"quarter rows", 100, 100, 5, 5, 1.25f, {}, {0, 5, 5, -8, 0, 0, 100, 100}},
        // r = 1.75: y = 6 + 1.75 -> 8; -(7 + 3.5) = -10.5 -> -10.
        {"three quarters", 100, 100, 7, 7, 1.75f, {}, {0, 8, 7, -10, 0, 0, 100, 100}},
        // Margins of 12 and 36 pixels are 317.5 and 952.5 HIMETRIC: 318 and 952.
        // Kept width 2000 - 317.5 - 952.5 = 730; kept height 2000 - 952.5 - 317.5 = 730.
        {"exact halves",
         2000,
         2000,
         100,
         100,
         1.0f,
         {36, 12, 12, 36},
         {0, 100, 100, -102, 318, 318, 730, 730}},
        // 1 and 3 pixels: 26.46 -> 26 and 79.38 -> 79; kept 1000 - 105.83 -> 894.
        {"margins", 1000, 1000, 10, 10, 1.0f, {1, 3, 1, 3}, {0, 10, 10, -12, 26, 79, 894, 894}},
    };
    for (const Case& c : cases) {
        const RenderPlacement at =
            CropStretchPlacement(c.pictureWidth, c.pictureHeight, c.outWidth, c.outHeight, c.r, c.margins);
        EXPECT_EQ(at.X, c.expected.X) << c.what;
        EXPECT_EQ(at.Y, c.expected.Y) << c.what;
        EXPECT_EQ(at.Width, c.expected.Width) << c.what;
        EXPECT_EQ(at.Height, c.expected.Height) << c.what;
        EXPECT_EQ(at.SourceX, c.expected.SourceX) << c.what;
        EXPECT_EQ(at.SourceY, c.expected.SourceY) << c.what;
        EXPECT_EQ(at.SourceWidth, c.expected.SourceWidth) << c.what;
        EXPECT_EQ(at.SourceHeight, c.expected.SourceHeight) << c.what;
    }
}

// A picture of the output's size passes through the render too: with r = 1 the rows are stretched
// to height + 2 rows, so the top and bottom source rows fall outside and one row is shown twice.
TEST(PictureOperation, APictureOfTheOutputSizeLosesItsTopAndBottomRows) {
    const int width = 6, height = 16;
    const auto picture = PatternPicture(width, height);
    PixelBuffer pixels;
    ASSERT_TRUE(PictureToPixels(picture.get(), width, height, pixels));
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width * height));
    const Shown shown = ShownBy(pixels, width, height);
    EXPECT_EQ(shown.rows.front(), 1);
    EXPECT_EQ(shown.rows.back(), height - 2);
    EXPECT_EQ(std::count(shown.rows.begin(), shown.rows.end(), 0), 0);
    EXPECT_EQ(std::count(shown.rows.begin(), shown.rows.end(), height - 1), 0);
    EXPECT_EQ(shown.columns, (std::vector<int>{0, 1, 2, 3, 4, 5}));  // columns map one to one
    EXPECT_EQ(pixels[0] >> 24, 0xFFu);  // the reserved byte comes along as the picture holds it
}

TEST(PictureOperation, CropStretchPutsTheKeptRegionWhereTheGeometrySays) {
    struct Case {
        const char* what;
        int sourceWidth, sourceHeight, outWidth, outHeight;
        CropMargins margins;
        std::vector<int> rows, columns;
    };
    const Case cases[] = {
        // Twice the size: r = 2, the four rows spread over 12 rows from 2 above the top; the
        // first and the last source row each keep one visible row.
        {"double", 4, 4, 8, 8, {}, {0, 1, 1, 1, 2, 2, 2, 3}, {0, 0, 1, 1, 2, 2, 3, 3}},
        // Kept rows 1..5 and columns 3..6 of an 8 x 8 picture, at 8 x 8 (r = 1, 10 rows drawn).
        {"cropped", 8, 8, 8, 8, {1, 2, 3, 1}, {1, 2, 2, 3, 3, 4, 4, 5}, {3, 3, 4, 4, 5, 5, 6, 6}},
        // Halving: r stays 1, so one output row of over-draw at each edge.
        {"half", 8, 8, 4, 4, {}, {1, 3, 4, 5}, {1, 3, 5, 7}},
    };
    for (const Case& c : cases) {
        const auto picture = PatternPicture(c.sourceWidth, c.sourceHeight);
        PixelBuffer pixels(3, 7u);
        ASSERT_TRUE(CropStretchToPixels(picture.get(), c.sourceWidth, c.sourceHeight, c.outWidth, c.outHeight,
                                        pixels, c.margins.Top, c.margins.Bottom, c.margins.Left,
                                        c.margins.Right))
            << c.what;
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(c.outWidth * c.outHeight)) << c.what;
        const Shown shown = ShownBy(pixels, c.outWidth, c.outHeight);
        EXPECT_EQ(shown.rows, c.rows) << c.what;
        EXPECT_EQ(shown.columns, c.columns) << c.what;
        // Every row keeps the column order and every column the row order, up to the far corner.
        const uint32_t corner = pixels[PixelIndex(c.outWidth, c.outHeight, c.outHeight - 1, c.outWidth - 1)];
        EXPECT_EQ(SourceRow(corner), c.rows.back()) << c.what;
        EXPECT_EQ(SourceColumn(corner), c.columns.back()) << c.what;

        // The picture form shows the same frame.
        const auto stretched =
            CropStretchPicture(c.sourceWidth, c.sourceHeight, picture.get(), c.outWidth, c.outHeight,
                               c.margins.Top, c.margins.Bottom, c.margins.Left, c.margins.Right);
        ASSERT_TRUE(stretched) << c.what;
        for (int row = 0; row < c.outHeight; ++row)
            for (int column = 0; column < c.outWidth; ++column)
                EXPECT_EQ(PicturePixel(stretched.get(), row, column),
                          pixels[PixelIndex(c.outWidth, c.outHeight, row, column)])
                    << c.what << " row " << row << " column " << column;
    }
}

// The upscaling of a 176-row source to 288 rows: r is about 1.64, the destination starts at
// y = round(288.64) = 289 and is 291 rows tall, so it reaches one row above the top and two rows
// below the bottom. The top source row keeps one visible row; the bottom one falls entirely into
// the two rows below the frame.
TEST(PictureOperation, UpscalingA176RowSourceOverdrawsOneRowAboveAndTwoBelow) {
    const auto picture = PatternPicture(176, 176);
    PixelBuffer pixels;
    ASSERT_TRUE(CropStretchToPixels(picture.get(), 176, 176, 288, 288, pixels, 0, 0, 0, 0));
    const Shown shown = ShownBy(pixels, 288, 288);
    const auto rowsShowing = [&](int source) {
        return std::count(shown.rows.begin(), shown.rows.end(), source);
    };
    EXPECT_EQ(shown.rows.front(), 0);
    EXPECT_EQ(rowsShowing(0), 1);
    EXPECT_EQ(shown.rows.back(), 174);
    EXPECT_EQ(rowsShowing(175), 0);
    for (std::size_t row = 1; row < shown.rows.size(); ++row) {
        EXPECT_GE(shown.rows[row], shown.rows[row - 1]);
        EXPECT_LE(shown.rows[row], shown.rows[row - 1] + 1);  // no source row skipped
    }
    // Columns are not over-drawn: both edge columns show.
    EXPECT_EQ(shown.columns.front(), 0);
    EXPECT_EQ(shown.columns.back(), 175);
}

TEST(PictureOperation, EachOperationHasItsOwnSurfaceSoAReturnedPictureStays) {
    const auto source = PatternPicture(4, 4, 1);
    const auto fromCrop = CropStretchPicture(4, 4, source.get(), 4, 4, 0, 0, 0, 0);
    PixelBuffer blue(16, 0x000000FFu);
    const auto fromPixels = PixelsToPicture(4, 4, blue);
    ASSERT_TRUE(fromCrop && fromPixels);
    const uint32_t cropCorner = PicturePixel(fromCrop.get(), 0, 0);

    // Every other operation runs, on other content and sizes.
    const auto other = PatternPicture(4, 4, 2);
    PixelBuffer scratch;
    ASSERT_TRUE(PictureToPixels(other.get(), 4, 4, scratch));
    ASSERT_TRUE(CropStretchToPixels(other.get(), 4, 4, 4, 4, scratch, 0, 0, 0, 0));
    ASSERT_TRUE(PixelsToPicture(2, 2, PixelBuffer(4, 0x00FF0000u)));  // its own surface, resized

    EXPECT_EQ(PicturePixel(fromCrop.get(), 0, 0), cropCorner);
    EXPECT_EQ(PicturePixel(fromPixels.get(), 3, 3), 0x000000FFu);  // a resize leaves the old image
}

TEST(PictureOperation, FitWorkSurfaceClearsOnlyWhenTheSizeChanges) {
    WorkSurface surface(0x00102030u);
    FitWorkSurface(surface, 3, 2);
    ASSERT_EQ(surface.Width(), 3);
    ASSERT_EQ(surface.Height(), 2);
    auto* bits = reinterpret_cast<uint32_t*>(surface.Bits()->bits());
    EXPECT_EQ(bits[5], 0x00102030u);  // cleared to its background
    bits[0] = 0x00ABCDEFu;
    FitWorkSurface(surface, 3, 2);
    EXPECT_EQ(reinterpret_cast<uint32_t*>(surface.Bits()->bits())[0], 0x00ABCDEFu);  // drawing kept
    FitWorkSurface(surface, 3, 3);
    EXPECT_EQ(reinterpret_cast<uint32_t*>(surface.Bits()->bits())[0], 0x00102030u);
    FitWorkSurface(surface, 0, 3);  // not a usable size: nothing changes
    EXPECT_EQ(surface.Height(), 3);
}

TEST(PictureOperation, MissingPicturesAndUnusableSizesAreRefused) {
    PixelBuffer pixels(4, 9u);
    EXPECT_FALSE(PictureToPixels(nullptr, 2, 2, pixels));
    EXPECT_EQ(pixels, PixelBuffer(4, 9u));
    const auto picture = PatternPicture(2, 2);
    EXPECT_FALSE(CropStretchToPixels(picture.get(), 2, 2, 0, 2, pixels, 0, 0, 0, 0));
    EXPECT_FALSE(CropStretchPicture(2, 2, nullptr, 2, 2, 0, 0, 0, 0));
    EXPECT_FALSE(CropStretchPicture(2, 2, picture.get(), 40000, 40000, 0, 0, 0, 0));
    // Margins larger than the picture draw nothing sensible but never fail or crash.
    EXPECT_TRUE(CropStretchToPixels(picture.get(), 2, 2, 4, 4, pixels, 5, 5, 5, 5));
    EXPECT_EQ(pixels.size(), 16u);
}

}  // namespace
}  // namespace composer
