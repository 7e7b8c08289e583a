// Watermark items drawn over frames: where they land, in which colour, in which order.
#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "watermark/watermark.h"
#include "writer/avi_writer_engine.h"
#include "writer/default_palette.h"

namespace vidmill::watermark {
namespace {

struct Rgb {
    int red;
    int green;
    int blue;
};

Rgb PixelAt(const cb::Bitmap& frame, int x, int y) {
    const std::uint8_t* pixel = frame.topRow(y) + x * (frame.bitsPerPixel() / 8);
    return {pixel[2], pixel[1], pixel[0]};
}

std::string ScratchPath(const std::string& name) {
    const char* root = std::getenv("CB_TEST_TMP");
    // One folder per test process: CTest runs test cases side by side.
    const std::filesystem::path folder =
        std::filesystem::path(root ? root : "/tmp") / ("vidmill-watermark-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

// Saves a frame as PNG, for looking at what a test drew.
void SavePng(const cb::Bitmap& frame, const std::string& path) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, frame.width(), frame.height());
    std::uint8_t* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const Rgb pixel = PixelAt(frame, x, y);
            std::uint8_t* to = data + y * cairo_image_surface_get_stride(surface) + x * 4;
            to[0] = static_cast<std::uint8_t>(pixel.blue);
            to[1] = static_cast<std::uint8_t>(pixel.green);
            to[2] = static_cast<std::uint8_t>(pixel.red);
        }
    }
    cairo_surface_mark_dirty(surface);
    cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
}

class WatermarkDepthTest : public ::testing::TestWithParam<int> {};

TEST_P(WatermarkDepthTest, RectanglesLandInPictureCoordinatesWithTheirAlpha) {
    struct Case {
        float transparency;
        float horizontalOffset;
        int red;  // of the rectangle's pixels over black
    };
    for (const Case& c : {Case{0, 0, 255}, Case{25, 0, 191}, Case{100, 0, 0}, Case{0, 10, 255}}) {
        SCOPED_TRACE(c.transparency);
        cb::Bitmap frame(32, 24, GetParam());
        Watermark watermark;
        watermark.setHorizontalOffset(c.horizontalOffset);
        watermark.addRectangle(2, 3, 4, 5, 0xFF0000, -1, 1, c.transparency);
        watermark.draw(frame, 0, 25);
        const int left = 2 + static_cast<int>(c.horizontalOffset);
        EXPECT_NEAR(PixelAt(frame, left + 1, 4).red, c.red, 1);
        EXPECT_EQ(PixelAt(frame, left + 1, 4).green, 0);
        EXPECT_EQ(PixelAt(frame, left + 3, 7).red, PixelAt(frame, left + 1, 4).red) << "inside, bottom right";
        EXPECT_EQ(PixelAt(frame, left + 1, 8).red, 0) << "below the rectangle";
        EXPECT_EQ(PixelAt(frame, left - 1, 4).red, 0) << "left of the rectangle";
        EXPECT_EQ(PixelAt(frame, left + 1, 20).red, 0) << "the mirror image of the rectangle stays empty";
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, WatermarkDepthTest, ::testing::Values(24, 32));

TEST(WatermarkDrawing, PaletteFramesTakeTheNearestEntry) {
    cb::Bitmap frame(16, 8, 8);
    writer::SetDefaultPalette(frame);
    frame.fill(19);  // white
    Watermark watermark;
    watermark.addRectangle(2, 2, 4, 4, 0xF00000, -1, 1, 0);  // nearly pure red
    watermark.draw(frame, 0, 25);
    EXPECT_EQ(frame.topRow(3)[3], 13) << "the palette's red";
    EXPECT_EQ(frame.topRow(7)[3], 19) << "untouched pixels keep their entry";
}

TEST(WatermarkDrawing, TitleWithoutColoursDrawsNothing) {
    cb::Bitmap frame(40, 20, 24);
    frame.fill(90);
    const cb::Bitmap before = frame;
    Watermark watermark;
    watermark.addTitle("Nothing", 1, 1, TitleStyle{});
    watermark.draw(frame, 0, 25);
    EXPECT_TRUE(std::equal(before.bits(), before.bits() + before.sizeBytes(), frame.bits()));
}

TEST(WatermarkDrawing, TitleGlowThenFillThenOutline) {
    cb::Bitmap frame(120, 48, 32);
    Watermark watermark;
    TitleStyle style;
    style.fontName = "DejaVu Sans";
    style.fontStyle = FontStyleBold;
    style.fontSize = 32;
    style.color = 0x00FF00;
    style.outlineColor = 0x0000FF;
    style.glowColor = 0xFF0000;
    style.glowWidth = 3;
    style.transparency = 0;
    watermark.addTitle("Hi", 4, 4, style);
    watermark.draw(frame, 0, 25);
    int pureGreen = 0, blue = 0, red = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const Rgb pixel = PixelAt(frame, x, y);
            pureGreen += pixel.green == 255 && pixel.red == 0 && pixel.blue == 0;
            blue += pixel.blue > 200 && pixel.red < 50 && pixel.green < 50;
            red += pixel.red > 200 && pixel.green < 50 && pixel.blue < 50;
            if (x > 70) {
                EXPECT_EQ(pixel.red + pixel.green + pixel.blue, 0) << "the text is short: " << x << "," << y;
            }
        }
    }
    EXPECT_GT(pureGreen, 20) << "fill over the glow inside the letters";
    EXPECT_GT(blue, 20) << "outline on top, at the letters' edges";
    EXPECT_GT(red, 20) << "glow around the outline";
    SavePng(frame, ScratchPath("title.png"));
}

TEST(WatermarkDrawing, EveryItemKindOnOneFrame) {
    cb::Bitmap image(16, 16, 32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint8_t* pixel = image.topRow(y) + x * 4;
            pixel[0] = 255;  // blue
            pixel[1] = static_cast<std::uint8_t>(x * 16);
            pixel[2] = 0;
            pixel[3] = x < 8 ? 255 : 0;  // right half transparent
        }
    cb::Bitmap frame(160, 120, 24);
    frame.fill(60);
    Watermark watermark;
    watermark.addBitmap(image, 4, 4, 0);
    watermark.addRectangle(30, 4, 40, 20, 0xFFFF00, 0x000000, 2, 25);
    watermark.addEllipse(110, 20, 30, 14, 0x00FFFF, 0xFF00FF, 3, 0);
    watermark.addLine(4, 110, 150, 60, 3, 0xFF8000, 0);
    TitleStyle style;
    style.fontSize = 18;
    style.color = 0xFFFFFF;
    style.outlineColor = 0x000000;
    style.glowColor = 0x0000FF;
    style.transparency = 0;
    watermark.addTimer(4, 40, TimerStyleVideoFrame, 0, style);
    style.fontStyle = FontStyleItalic | FontStyleUnderline;
    watermark.addTitle("Arial falls back", 4, 70, style);
    watermark.draw(frame, 30, 25);
    SavePng(frame, ScratchPath("all-items.png"));

    EXPECT_EQ(PixelAt(frame, 6, 6).blue, 255) << "opaque half of the image";
    EXPECT_EQ(PixelAt(frame, 16, 6).blue, 60) << "transparent half of the image";
    const Rgb rectangle = PixelAt(frame, 50, 14);  // yellow at alpha 191 over grey 60
    EXPECT_NEAR(rectangle.red, (255 * 191 + 60 * 64) / 255, 2);
    EXPECT_NEAR(rectangle.blue, 60 * 64 / 255, 2);
    const Rgb ellipse = PixelAt(frame, 110, 20);
    EXPECT_EQ(ellipse.red, 0);
    EXPECT_EQ(ellipse.green, 255);
    EXPECT_EQ(PixelAt(frame, 82, 8).green, 60) << "outside the ellipse's box corner";
}

TEST(WatermarkDrawing, ImageFilesAndFilesThatCannotBeRead) {
    cb::Bitmap red(6, 4, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) red.topRow(y)[x * 3 + 2] = 255;
    const std::string png = ScratchPath("red.png");
    SavePng(red, png);
    cb::Bitmap frame(20, 20, 32);
    Watermark watermark;
    watermark.addImageFile(png, 10, 12, 50);
    watermark.addImageFile(ScratchPath("missing.png"), 0, 0, 0);
    std::ifstream file(png, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
    watermark.addImageBytes(bytes, 0, 12, 0);
    watermark.addImageBytes({1, 2, 3}, 0, 0, 0);
    EXPECT_EQ(watermark.size(), 4u);
    watermark.draw(frame, 0, 25);
    EXPECT_EQ(PixelAt(frame, 5, 15).red, 255) << "the image read from memory";
    EXPECT_EQ(PixelAt(frame, 6, 15).red, 0);
    EXPECT_NEAR(PixelAt(frame, 10, 12).red, 128, 1) << "half transparent";
    EXPECT_NEAR(PixelAt(frame, 15, 15).red, 128, 1);
    EXPECT_EQ(PixelAt(frame, 16, 15).red, 0);
    EXPECT_EQ(PixelAt(frame, 10, 16).red, 0);
    EXPECT_EQ(PixelAt(frame, 0, 0).red, 0) << "the missing file draws nothing";
}

TEST(WatermarkDrawing, DrawnOverEveryWrittenFrame) {
    const std::string path = ScratchPath("watermarked.avi");
    Watermark watermark;
    watermark.addRectangle(0, 0, 4, 4, 0x0000FF, -1, 1, 0);
    writer::AviWriterEngine writer;
    writer.properties().setCompressorHandler(Uncompressed);
    writer.setFrameOverlay(
        [&](cb::Bitmap& frame, int counter, double rate) { watermark.draw(frame, counter, rate); });
    writer.createNew(path, 16, 8);
    for (int i = 0; i < 3; ++i) {
        writer.frameBitmap().fill(0);
        writer.writeCurrentFrame();
        EXPECT_EQ(PixelAt(writer.frameBitmap(), 1, 1).blue, 255);
        EXPECT_EQ(PixelAt(writer.frameBitmap(), 1, 6).blue, 0);
    }
    writer.close();
}

}  // namespace
}  // namespace vidmill::watermark
