#pragma once
// Colour helpers. Colours are 24-bit values with red in bits 0-7, green in 8-15, blue in 16-23.
#include <cstdint>

namespace composer {

struct RgbBytes {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// The three channel bytes of a colour value.
RgbBytes SplitColor(int32_t color);

// The bounds of a transparent colour: each channel c gives high = min(c + t, 255) and
// low = max(c - t, 0) with t = tolerance / 100 x 255 rounded (halves to even).
// Channel 250 with 10 % gives high 255, low 224.
struct ToleranceRange {
    uint8_t redHigh = 0, redLow = 0;
    uint8_t greenHigh = 0, greenLow = 0;
    uint8_t blueHigh = 0, blueLow = 0;
};
ToleranceRange ColorToleranceRange(uint8_t red, uint8_t green, uint8_t blue, int32_t tolerancePercent);

}  // namespace composer
