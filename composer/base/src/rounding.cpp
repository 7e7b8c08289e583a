#include "base/rounding.h"

#include <cmath>
#include <limits>

namespace composer {

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5) return below;
    if (fraction > 0.5) return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

namespace {

template <typename Int>
Int Saturate(double rounded) {
    if (std::isnan(rounded)) return 0;
    // The upper limit as a double is one above the largest value (2^31 or 2^63), exactly.
    constexpr double upper = -static_cast<double>(std::numeric_limits<Int>::min());
    if (rounded >= upper) return std::numeric_limits<Int>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    return static_cast<Int>(rounded);
}

}  // namespace

int32_t RoundToInt32(double value) { return Saturate<int32_t>(RoundHalfEven(value)); }

int64_t RoundToInt64(double value) { return Saturate<int64_t>(RoundHalfEven(value)); }

double IntegerPart(double value) { return std::floor(value); }

}  // namespace composer
