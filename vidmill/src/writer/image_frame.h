// A frame made from an image: black, with the image stretched over the whole frame or drawn at
// its own size from the top-left corner.
#pragma once

#include <cairo.h>

#include "cbplatform/bitmap.h"

namespace vidmill::writer {

enum class ImagePlacement { Stretch, OwnSize };

// Fills the frame with black and draws the image (premultiplied ARGB) over it with high-quality
// interpolation; a null image leaves the frame black.
void ComposeImageFrame(cb::Bitmap& frame, cairo_surface_t* image, ImagePlacement placement);

}  // namespace vidmill::writer
