// Device-independent bitmaps as the DIB calls see them: rows stored bottom-up, each row padded
// to a multiple of 4 bytes, blue in the lowest byte of a pixel. 8-bit bitmaps carry a palette.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cbplatform/com_types.h"

namespace cb {

struct RgbQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
    friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};
static_assert(sizeof(RgbQuad) == 4);

class CB_PLATFORM_API Bitmap {
  public:
    Bitmap() = default;
    // A zero-filled (black) bitmap. bitsPerPixel is 8, 16, 24 or 32; 8-bit bitmaps get a
    // 256-entry palette of black until one is set.
    Bitmap(int width, int height, int bitsPerPixel);

    int width() const { return width_; }
    int height() const { return height_; }
    int bitsPerPixel() const { return bitsPerPixel_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    // Bytes per stored row, padded to a multiple of 4.
    std::size_t stride() const { return stride_; }
    static std::size_t StrideFor(int width, int bitsPerPixel);

    // The whole pixel store, starting with the bottom row (the lowest address).
    std::uint8_t* bits() { return pixels_.data(); }
    const std::uint8_t* bits() const { return pixels_.data(); }
    std::size_t sizeBytes() const { return stride_ * static_cast<std::size_t>(height_); }

    // Row y counted from the top of the picture (y = 0 is the top row).
    std::uint8_t* topRow(int y) {
        return pixels_.data() + static_cast<std::size_t>(height_ - 1 - y) * stride_;
    }
    const std::uint8_t* topRow(int y) const {
        return pixels_.data() + static_cast<std::size_t>(height_ - 1 - y) * stride_;
    }

    std::vector<RgbQuad>& palette() { return palette_; }
    const std::vector<RgbQuad>& palette() const { return palette_; }

    void fill(std::uint8_t value);

  private:
    int width_ = 0;
    int height_ = 0;
    int bitsPerPixel_ = 32;
    std::size_t stride_ = 0;
    std::vector<std::uint8_t> pixels_;
    std::vector<RgbQuad> palette_;
};

}  // namespace cb
