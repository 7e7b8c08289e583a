// Which part of a picture or device context becomes the frame.
#pragma once

#include <cstdint>

namespace vidmill::writer {

// HIMETRIC units (0.01 mm) per pixel at 96 dots per inch.
constexpr double kHimetricPerPixel = 26.458333;

// A source rectangle as the picture's Render takes it: HIMETRIC, y counted from the bottom edge,
// a negative height turning the picture the right way up.
struct PictureSource {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// With stretch the whole picture (its own HIMETRIC size) fills the frame; without, a part of the
// frame's size in pixels, converted at 96 dots per inch and rounded. That part counts upwards from
// the picture's bottom edge, so a picture smaller than the frame lands on the frame's bottom edge.
PictureSource PictureSourceFor(bool stretch, std::int32_t pictureWidth, std::int32_t pictureHeight,
                               int frameWidth, int frameHeight);

// The pixel size of a picture of the given HIMETRIC size, each side rounded.
int HimetricToPixels(std::int32_t himetric);

// A device-context rectangle whose width or height is below 1 takes the frame's.
struct DeviceSource {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
DeviceSource DeviceSourceFor(int x, int y, int width, int height, int frameWidth, int frameHeight);

}  // namespace vidmill::writer
