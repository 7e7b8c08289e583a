// Resizing of images before they are saved.
#pragma once

#include "cbplatform/bitmap.h"

namespace vidmill::imaging {

// A new 32-bit bitmap of width x height (both > 0) with the image stretched over it (bilinear).
// Accepts 8-bit (palette), 24-bit and 32-bit images. A size of nothing or of more than 2^28
// pixels throws vidmill::Error "Invalid image size".
cb::Bitmap ResizeImage(const cb::Bitmap& image, int width, int height);

}  // namespace vidmill::imaging
