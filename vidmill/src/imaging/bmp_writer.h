// 24-bit BMP files written band by band: the rows are converted a few at a time, so saving a
// huge picture takes no second copy of it in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "cbplatform/bitmap.h"

namespace vidmill::imaging {

// Takes the next bytes of the file; false when they could not be written.
using ByteSink = std::function<bool(const std::uint8_t* bytes, std::size_t count)>;

// Writes image (8-bit with palette, 24 or 32 bits; the fourth byte of a 32-bit pixel is dropped)
// as an uncompressed 24-bit BMP file, bottom row first as the format stores them. The header is
// the one FFmpeg's BMP encoder writes. False when the image is empty, too large for the format's
// 32-bit sizes, of another depth, or the sink refused bytes.
bool WriteBmp(const cb::Bitmap& image, const ByteSink& sink);

}  // namespace vidmill::imaging
