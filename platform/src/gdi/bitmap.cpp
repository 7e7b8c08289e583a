#include "cbplatform/bitmap.h"

#include <algorithm>
#include <stdexcept>

namespace cb {
namespace {

// Room after the last row: FFmpeg's scaler writes rows in wide strokes that may run up to this far
// past a row's end, and a picture written bottom-up (negative stride) ends its top row at the end of
// the store.
constexpr std::size_t kScalerOverrun = 64;

}  // namespace

std::size_t Bitmap::StrideFor(int width, int bitsPerPixel) {
    const std::size_t bitsPerRow = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel);
    return ((bitsPerRow + 31) / 32) * 4;
}

Bitmap::Bitmap(int width, int height, int bitsPerPixel)
    : width_(width), height_(height), bitsPerPixel_(bitsPerPixel) {
    if (width < 0 || height < 0) throw std::invalid_argument("negative bitmap size");
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)
        throw std::invalid_argument("unsupported bits per pixel");
    stride_ = StrideFor(width, bitsPerPixel);
    pixels_.assign(stride_ * static_cast<std::size_t>(height) + kScalerOverrun, 0);
    if (bitsPerPixel == 8) palette_.assign(256, RgbQuad{});
}

void Bitmap::fill(std::uint8_t value) { std::fill(pixels_.begin(), pixels_.begin() + sizeBytes(), value); }

}  // namespace cb
