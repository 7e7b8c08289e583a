#pragma once
// Frame rates as exact ratios of whole numbers. Clips and the output keep their rates as
// floating-point numbers (30000/1001 is stored as 29.97002997...); mapping frames of one rate to
// frames of another in floating point puts some frames a hair below a whole number, so that at
// equal rates a picture is shown twice and the next one never. The ratio the number was made from
// is recovered and the mapping done in whole numbers.
#include <cstdint>

namespace composer {

struct FrameRateRatio {
    int64_t num = 0;  // frames ...
    int64_t den = 1;  // ... per this many seconds; never 0
};

// The ratio `rate` was computed from: the first convergent of its continued fraction within a
// relative 1e-15 of it (30000/1001 for 29.97002997..., 25/2 for 12.5, 2997/100 for 29.97), else the
// closest one with a denominator of at most 10,000,000. A rate that is not a positive finite number
// gives 0/1; rates beyond 1e9 frames a second are taken as whole numbers.
FrameRateRatio FrameRateRatioOf(double rate);

// How many frames of rate `to` have begun by the start of frame `frames` (counted from 0) of rate
// `from`: floor(frames x to / from), exactly; the frame of `to` (counted from 0) shown at that time.
// Meant for frame counts of 32 bits; 0 when either rate is 0.
int64_t FramesBegunBy(int64_t frames, FrameRateRatio from, FrameRateRatio to);

}  // namespace composer
