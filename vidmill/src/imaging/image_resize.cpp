#include "imaging/image_resize.h"

#include "frame/error.h"
#include "imaging/bitmap_scaling.h"

namespace vidmill::imaging {
namespace {

// The largest picture a resize makes: 1 GiB of 32-bit pixels. A caller's typing slip in the size
// must not take the machine's memory.
constexpr long long kMaxPixels = 1LL << 28;

}  // namespace

cb::Bitmap ResizeImage(const cb::Bitmap& image, int width, int height) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPixels)
        throw Error("Invalid image size");
    cb::Bitmap resized(width, height, 32);
    // Written top row first into the bottom-up store; the fourth byte comes out opaque.
    std::uint8_t* const planes[4] = {resized.topRow(0), nullptr, nullptr, nullptr};
    const int strides[4] = {-static_cast<int>(resized.stride()), 0, 0, 0};
    ScaleBitmap(image, AV_PIX_FMT_BGRA, width, height, planes, strides);
    return resized;
}

}  // namespace vidmill::imaging
