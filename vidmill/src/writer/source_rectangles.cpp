#include "writer/source_rectangles.h"

#include <cmath>

namespace vidmill::writer {
namespace {

std::int32_t PixelsToHimetric(int pixels) {
    return static_cast<std::int32_t>(std::nearbyint(pixels * kHimetricPerPixel));
}

}  // namespace

PictureSource PictureSourceFor(bool stretch, std::int32_t pictureWidth, std::int32_t pictureHeight,
                               int frameWidth, int frameHeight) {
    const std::int32_t width = stretch ? pictureWidth : PixelsToHimetric(frameWidth);
    const std::int32_t height = stretch ? pictureHeight : PixelsToHimetric(frameHeight);
    return {0, height, width, -height};
}

int HimetricToPixels(std::int32_t himetric) {
    return static_cast<int>(std::nearbyint(himetric / kHimetricPerPixel));
}

DeviceSource DeviceSourceFor(int x, int y, int width, int height, int frameWidth, int frameHeight) {
    return {x, y, width < 1 ? frameWidth : width, height < 1 ? frameHeight : height};
}

}  // namespace vidmill::writer
