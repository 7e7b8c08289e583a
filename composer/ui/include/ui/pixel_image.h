#pragma once
// A pixel buffer of the picture operations (bottom-up rows, 0x00RRGGBB) as an image for painting.
#include <QImage>

#include "media/work_surface.h"

namespace composer {

// Null when the buffer holds fewer than width x height pixels.
QImage PixelBufferImage(const PixelBuffer& pixels, int32_t width, int32_t height);

}  // namespace composer
