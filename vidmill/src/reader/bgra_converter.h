// Decoded frames into 32-bit bitmaps (blue first, rows bottom-up) through libswscale, with the
// same scaler flags as the ffmpeg command line so that both give the same pixels.
#pragma once

#include "cbplatform/bitmap.h"
#include "cbplatform/ffmpeg_owners.h"

namespace vidmill::reader {

class BgraConverter {
public:
    // Writes frame into target, a 32-bit bitmap. A frame of another size is copied 1:1 from its
    // top-left corner; what it does not cover turns black. False when the frame's pixel format
    // cannot be converted.
    bool convert(const AVFrame& frame, cb::Bitmap& target);

private:
    bool scale(const AVFrame& frame, cb::Bitmap& target);

    cb::ScalerPtr scaler_;
    int width_ = 0;
    int height_ = 0;
    int format_ = -1;
    cb::Bitmap sized_;  // for frames whose size differs from the target's
};

}  // namespace vidmill::reader
