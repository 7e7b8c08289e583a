#pragma once
// The program's two ways of turning a floating-point value into a whole number. Every conversion in
// the program (frame numbers, sample positions, coordinates, tolerance ranges, bit-depth changes,
// settings read as whole numbers) goes through these, so that all of them agree.
#include <cstdint>

namespace composer {

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Independent of the floating-point environment's rounding mode. NaN and infinities come back as they are.
double RoundHalfEven(double value);

// RoundHalfEven as a 32-bit signed number; values beyond the range saturate, NaN gives 0.
int32_t RoundToInt32(double value);

// RoundHalfEven as a 64-bit signed number; values beyond the range saturate, NaN gives 0.
int64_t RoundToInt64(double value);

// The integer part: the largest whole number not above the value (floor), as used when an output
// frame is mapped to a source frame. Equal to truncation for the non-negative values the program
// maps; for negative values it goes down (-1.5 -> -2), as the original integer-part function does.
double IntegerPart(double value);

}  // namespace composer
