#pragma once
// PixelScaler: filtered scaling of 32-bit pixels (blue, green, red and a fourth byte), the one place
// where pictures change size smoothly: the render's frames and overlays, and the previews.
//
// Each of the four bytes of a pixel is scaled as a plane of its own, so no colour conversion ever
// touches the values: a plain area stays exactly its colour, and a fourth byte that is coverage
// (premultiplied overlays) is scaled by the same filter as the colour it covers. A picture that
// shrinks on both axes is averaged over the area each output pixel covers; one that grows on an
// axis is interpolated bicubically. The same size is copied unchanged.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cbplatform/ffmpeg_owners.h"

namespace composer {

// Pixels of a picture or a buffer: the top-left pixel, the distance in pixels from one row to the
// row below it (negative for rows stored bottom-up) and the size.
struct PixelRegion {
    const uint32_t* topLeft = nullptr;
    std::ptrdiff_t rowStep = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct PixelTarget {
    uint32_t* topLeft = nullptr;
    std::ptrdiff_t rowStep = 0;
    int32_t width = 0;
    int32_t height = 0;
};

class PixelScaler {
  public:
    PixelScaler();
    ~PixelScaler();
    PixelScaler(PixelScaler&&) noexcept;
    PixelScaler& operator=(PixelScaler&&) noexcept;

    // Scales the source onto the whole target. False (target untouched) for an empty side or when
    // no filter can be made for the two sizes. The filter is kept for the next call of the same
    // sizes: give each stream of pictures a scaler of its own.
    bool Scale(const PixelRegion& source, const PixelTarget& target);

  private:
    bool Fit(int32_t sourceWidth, int32_t sourceHeight, int32_t targetWidth, int32_t targetHeight);

    cb::ScalerPtr context_;
    int32_t sizes_[4] = {0, 0, 0, 0};
    std::vector<uint8_t> sourcePlanes_;
    std::vector<uint8_t> targetPlanes_;
};

}  // namespace composer
