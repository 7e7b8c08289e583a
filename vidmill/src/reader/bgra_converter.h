// Decoded frames into 32-bit bitmaps (blue first, rows bottom-up). Packed RGB and palette frames
// are converted here, only where they differ from the frame before: most codecs in AVI files
// change a small part of each frame, and converting the whole picture would cost more than
// decoding it. Other formats go through libswscale with the ffmpeg command line's scaler flags,
// so that both give the same pixels.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "cbplatform/bitmap.h"
#include "cbplatform/ffmpeg_owners.h"
#include "reader/packed_rows.h"

namespace vidmill::reader {

class BgraConverter {
  public:
    // Writes frame into target, a 32-bit bitmap that holds what the previous call wrote into it
    // (the caller keeps it so, or copies it along). A frame of another size is copied 1:1 from
    // its top-left corner; what it does not cover turns black. False when the frame's pixel
    // format cannot be converted.
    bool convert(const AVFrame& frame, cb::Bitmap& target);

  private:
    void convertPacked(const AVFrame& frame, const PackedFormat& packed, cb::Bitmap& target);
    bool scale(const AVFrame& frame, cb::Bitmap& target);
    bool scaleInBands(const AVFrame& frame, cb::Bitmap& target);

    // The source rows of the last packed frame, to find what the next one changed.
    std::vector<std::uint8_t> previous_;
    std::array<std::uint32_t, 256> previousPalette_{};
    int previousFormat_ = -1;
    int previousWidth_ = 0;
    int previousHeight_ = 0;
    bool previousValid_ = false;

    // The scaler's vector code writes whole blocks of pixels, past the end of a row whose width is
    // not a multiple of the block: such frames go a band at a time into rows padded for that, which
    // are then copied.
    std::vector<std::uint8_t> padded_;
    cb::ScalerPtr scaler_;
    int width_ = 0;
    int height_ = 0;
    int format_ = -1;
    cb::Bitmap sized_;  // for frames whose size differs from the target's
};

}  // namespace vidmill::reader
