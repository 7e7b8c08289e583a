// Colours of watermark items: a 24-bit 0xRRGGBB number (-1 for none) made semi-transparent by a
// percentage.
#pragma once

#include <cstdint>
#include <optional>

namespace vidmill::watermark {

// 255 - round(T * 2.55) for 0 <= T <= 100; 0 above 100 (invisible), 255 below 0 (opaque).
int TransparencyToAlpha(float transparency);

// The drawing colour alpha * 2^24 + (colour AND 0xFFFFFF).
std::uint32_t DrawingColor(std::int32_t color, float transparency);

// The drawing colour of an optional part: none when colour is -1.
std::optional<std::uint32_t> OptionalDrawingColor(std::int32_t color, float transparency);

}  // namespace vidmill::watermark
