// Decoded frames into 32-bit bitmaps (blue first, rows bottom-up) through libswscale, with the
// same scaler flags as the ffmpeg command line so that both give the same pixels.
#pragma once

#include <cstdint>
#include <vector>

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

    // The scaler's vector code writes whole blocks of pixels, past the end of a row whose width is
    // not a multiple of the block: it writes into rows padded for that, which are then copied.
    std::vector<std::uint8_t> padded_;
    int paddedStride_ = 0;
    cb::ScalerPtr scaler_;
    int width_ = 0;
    int height_ = 0;
    int format_ = -1;
    cb::Bitmap sized_;  // for frames whose size differs from the target's
};

}  // namespace vidmill::reader
