// Row converters from the packed RGB formats that AVI decoders give (16-bit 5-5-5 and 5-6-5,
// 24-bit, 32-bit and palette) to 32-bit BGRA, with exactly the results of libswscale's unscaled
// conversions: 5- and 6-bit values widened by repeating their high bits, alpha 0xFF unless the
// source has one. Written out here so that a frame can be converted piece by piece.
#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace vidmill::reader {

// Converts `pixels` pixels; palette: the frame's 256 palette entries (for palette formats).
using PackedRowConverter = void (*)(const std::uint8_t* source, std::uint8_t* destination, int pixels,
                                    const std::uint32_t* palette);

struct PackedFormat {
    PackedRowConverter convert = nullptr;  // null: not a packed format converted here
    int bytesPerPixel = 0;
    bool palette = false;
};

PackedFormat FindPackedFormat(AVPixelFormat format);

}  // namespace vidmill::reader
