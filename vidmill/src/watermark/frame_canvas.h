// A Cairo drawing context over a frame bitmap, in picture coordinates (y = 0 at the top).
//
// 32-bit frames are drawn on in place: the surface lies over the bitmap's own memory, and since
// its rows run bottom-up, a flipped matrix maps picture coordinates onto them. 24-bit and palette
// frames are copied into a 32-bit surface and copied back by finish().
#pragma once

#include "cbplatform/bitmap.h"
#include "watermark/cairo_owners.h"

namespace vidmill::watermark {

class FrameCanvas {
  public:
    explicit FrameCanvas(cb::Bitmap& frame);
    // Draws nothing when the surface could not be made.
    bool valid() const { return cairo_ != nullptr; }
    cairo_t* cairo() const { return cairo_.get(); }
    // Writes the drawing back into a frame that was copied; nothing to do for 32-bit frames.
    void finish();

  private:
    void copyIn();
    void copyOut();

    cb::Bitmap& frame_;
    bool inPlace_ = false;
    SurfacePtr surface_;
    CairoPtr cairo_;
};

}  // namespace vidmill::watermark
