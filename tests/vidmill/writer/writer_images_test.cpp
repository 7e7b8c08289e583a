// Frames made from images, and the files an image mask takes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "watermark/watermark_images.h"
#include "writer/image_frame.h"
#include "writer/image_mask.h"
#include "writer/source_rectangles.h"
#include "writer_test_support.h"

namespace vidmill::writer {
namespace {

using namespace vidmill::writer::testing;

// A 4 x 2 image: left half red, right half blue.
watermark::SurfacePtr TwoColourImage() {
    cb::Bitmap bitmap(4, 2, 32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            std::uint8_t* pixel = bitmap.topRow(y) + x * 4;
            pixel[x < 2 ? 2 : 0] = 255;
            pixel[3] = 255;
        }
    return watermark::SurfaceFromBitmap(bitmap);
}

TEST(WriterImageFrame, StretchedOrAtItsOwnSizeOverBlack) {
    const auto image = TwoColourImage();
    struct Case {
        ImagePlacement placement;
        int x;
        int y;
        int red;
        int blue;
    };
    const Case cases[] = {
        {ImagePlacement::Stretch, 1, 1, 255, 0}, {ImagePlacement::Stretch, 38, 18, 0, 255},
        {ImagePlacement::OwnSize, 0, 0, 255, 0}, {ImagePlacement::OwnSize, 3, 1, 0, 255},
        {ImagePlacement::OwnSize, 10, 10, 0, 0},
    };
    for (const Case& c : cases) {
        cb::Bitmap frame(40, 20, 24);
        frame.fill(200);  // whatever was there before is cleared to black
        ComposeImageFrame(frame, image.get(), c.placement);
        const std::uint8_t* pixel = frame.topRow(c.y) + c.x * 3;
        EXPECT_EQ(pixel[2], c.red) << c.x << "," << c.y;
        EXPECT_EQ(pixel[0], c.blue) << c.x << "," << c.y;
        EXPECT_EQ(pixel[1], 0);
    }
    cb::Bitmap frame(8, 8, 24);
    frame.fill(9);
    ComposeImageFrame(frame, nullptr, ImagePlacement::Stretch);
    EXPECT_EQ(frame.topRow(4)[4], 0) << "an image that could not be loaded leaves a black frame";
}

TEST(WriterImageMask, OrdinalOrderFolderPrefixAndNoMatch) {
    const std::filesystem::path folder = std::filesystem::path(ScratchPath("mask-folder"));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "sub.bmp");
    for (const char* name : {"b.bmp", "B.bmp", "a10.BMP", "a2.bmp", "notes.txt"})
        std::ofstream(folder / name) << "x";
    const std::string mask = (folder / "*.bmp").string();
    const auto names = [&](NameOrder order) {
        std::vector<std::string> result;
        for (const auto& path : MatchingImageFiles(mask, order)) {
            EXPECT_EQ(std::filesystem::path(path).parent_path(), folder);
            result.push_back(std::filesystem::path(path).filename().string());
        }
        return result;
    };
    EXPECT_EQ(names(NameOrder::Ascending), (std::vector<std::string>{"B.bmp", "a10.BMP", "a2.bmp", "b.bmp"}));
    EXPECT_EQ(names(NameOrder::Descending),
              (std::vector<std::string>{"b.bmp", "a2.bmp", "a10.BMP", "B.bmp"}));
    EXPECT_TRUE(MatchingImageFiles((folder / "*.gif").string(), NameOrder::Ascending).empty());
    EXPECT_TRUE(MatchingImageFiles((folder / "missing" / "*.bmp").string(), NameOrder::Ascending).empty());
}

TEST(WriterSourceRectangles, PictureAndDeviceSources) {
    struct PictureCase {
        bool stretch;
        std::int32_t width;
        std::int32_t height;
        PictureSource expected;
    };
    // A 200 x 100 pixel picture is 5292 x 2646 HIMETRIC; the frame is 320 x 240 pixels.
    for (const PictureCase& c : {PictureCase{true, 5292, 2646, {0, 2646, 5292, -2646}},
                                 PictureCase{false, 5292, 2646, {0, 6350, 8467, -6350}}}) {
        const PictureSource source = PictureSourceFor(c.stretch, c.width, c.height, 320, 240);
        EXPECT_EQ(source.x, c.expected.x);
        EXPECT_EQ(source.y, c.expected.y);
        EXPECT_EQ(source.width, c.expected.width);
        EXPECT_EQ(source.height, c.expected.height);
    }
    EXPECT_EQ(HimetricToPixels(5292), 200);
    EXPECT_EQ(HimetricToPixels(13), 0);
    EXPECT_EQ(HimetricToPixels(14), 1);
    const DeviceSource device = DeviceSourceFor(5, 6, 0, -3, 320, 240);
    EXPECT_EQ(device.x, 5);
    EXPECT_EQ(device.y, 6);
    EXPECT_EQ(device.width, 320);
    EXPECT_EQ(device.height, 240);
    EXPECT_EQ(DeviceSourceFor(0, 0, 10, 20, 320, 240).width, 10);
}

}  // namespace
}  // namespace vidmill::writer
