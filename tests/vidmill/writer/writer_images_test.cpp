// Frames made from images, and the files an image mask takes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "watermark/watermark_images.h"
#include "writer/image_frame.h"
#include "writer/image_mask.h"
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
        {ImagePlacement::Stretch, 1, 1, 255, 0},  {ImagePlacement::Stretch, 38, 18, 0, 255},
        {ImagePlacement::OwnSize, 0, 0, 255, 0},  {ImagePlacement::OwnSize, 3, 1, 0, 255},
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
    for (const char* name : {"b.bmp", "B.bmp", "a10.BMP", "a2.bmp", "notes.txt"}) std::ofstream(folder / name) << "x";
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
    EXPECT_EQ(names(NameOrder::Descending), (std::vector<std::string>{"b.bmp", "a2.bmp", "a10.BMP", "B.bmp"}));
    EXPECT_TRUE(MatchingImageFiles((folder / "*.gif").string(), NameOrder::Ascending).empty());
    EXPECT_TRUE(MatchingImageFiles((folder / "missing" / "*.bmp").string(), NameOrder::Ascending).empty());
}

}  // namespace
}  // namespace vidmill::writer
