#pragma once
// A pixel buffer of the picture operations (bottom-up rows, 0x00RRGGBB) as an image for painting.
#include <QImage>

#include "media/pixels/pixel_scaler.h"
#include "media/pixels/work_surface.h"

namespace composer {

// Null when the buffer holds fewer than width x height pixels.
QImage PixelBufferImage(const PixelBuffer& pixels, int32_t width, int32_t height);

// The image filtered to `size` by the scaler (PixelScaler: area down, bicubic up) as a 32-bit image;
// the image itself when it has the size. Null for a null image or an empty size.
QImage ScaledImage(const QImage& image, QSize size, PixelScaler& scaler);

}  // namespace composer
