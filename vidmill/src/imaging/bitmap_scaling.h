// Bitmaps (8-bit with palette, 24 or 32 bits, bottom-up rows) converted and scaled by FFmpeg's
// scaler into another pixel layout. YUV targets are full range, as JPEG files hold them.
#pragma once

#include <cstdint>

#include "cbplatform/bitmap.h"
#include "cbplatform/ffmpeg_owners.h"

namespace vidmill::imaging {

// Writes image, scaled to width x height (bilinear), into planes of the given format. Throws
// Error when the bitmap's layout or the target cannot be converted.
void ScaleBitmap(const cb::Bitmap& image, AVPixelFormat format, int width, int height,
                 std::uint8_t* const planes[4], const int strides[4]);

// A new frame of the given format holding image at its own size.
cb::FramePtr ConvertBitmap(const cb::Bitmap& image, AVPixelFormat format);

}  // namespace vidmill::imaging
