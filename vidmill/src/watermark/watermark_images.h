// Images of watermark items as Cairo surfaces (premultiplied ARGB, top row first).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cbplatform/bitmap.h"
#include "watermark/cairo_owners.h"

namespace vidmill::watermark {

// A 32-bit bitmap with straight alpha in the fourth byte, as pictures and device contexts give
// them. Bitmaps of other depths are taken as opaque.
SurfacePtr SurfaceFromBitmap(const cb::Bitmap& bitmap);

// Decodes the first picture of an image file; null when it cannot be read.
SurfacePtr LoadImageSurface(const std::string& path);
// The same for an image file held in memory (read from a stream).
SurfacePtr LoadImageSurface(const std::vector<std::uint8_t>& bytes);

}  // namespace vidmill::watermark
