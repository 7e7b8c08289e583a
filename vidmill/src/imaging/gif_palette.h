// The 256-colour picture a GIF file holds, made from a true-colour image.
#pragma once

#include "cbplatform/bitmap.h"
#include "cbplatform/ffmpeg_owners.h"

namespace vidmill::imaging {

// A palette frame (AV_PIX_FMT_PAL8) of the image. An image of at most 256 colours keeps its
// colours exactly; any other image is mapped to the nearest colour of a fixed 6 x 7 x 6 cube.
cb::FramePtr PaletteFrame(const cb::Bitmap& image);

}  // namespace vidmill::imaging
