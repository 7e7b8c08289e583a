#include "base/frame_rate_ratio.h"

#include <cmath>
#include <limits>

namespace composer {

namespace {

constexpr int64_t kLargestDenominator = 10'000'000;
constexpr double kLargestRate = 1e9;
constexpr double kRelativeTolerance = 1e-15;
constexpr int kMostTerms = 64;

// floor(a / b) for b > 0, also for negative a.
__int128 FloorDivide(__int128 a, __int128 b) {
    const __int128 quotient = a / b;
    return (a % b != 0 && a < 0) ? quotient - 1 : quotient;
}

}  // namespace

FrameRateRatio FrameRateRatioOf(double rate) {
    if (!std::isfinite(rate) || rate <= 0) return {};
    if (rate > kLargestRate) return {static_cast<int64_t>(std::round(rate)), 1};
    // The convergents of the continued fraction of `rate`: the first one close enough is the ratio
    // the rate was computed from, when that ratio has a denominator of reasonable size.
    int64_t numBefore = 0, num = 1;
    int64_t denBefore = 1, den = 0;
    double rest = rate;
    for (int term = 0; term < kMostTerms; ++term) {
        const double whole = std::floor(rest);
        // A term this large only follows a ratio already as close as a double can tell.
        if (den > 0 && whole > static_cast<double>(kLargestDenominator)) break;
        const auto step = static_cast<int64_t>(whole);
        const int64_t nextDen = step * den + denBefore;
        if (nextDen > kLargestDenominator) break;
        const int64_t nextNum = step * num + numBefore;
        numBefore = num;
        num = nextNum;
        denBefore = den;
        den = nextDen;
        if (std::fabs(static_cast<double>(num) / static_cast<double>(den) - rate) <=
            rate * kRelativeTolerance)
            break;
        const double fraction = rest - whole;
        if (fraction <= 0) break;
        rest = 1.0 / fraction;
    }
    if (den == 0) return {};
    return {num, den};
}

int64_t FramesBegunBy(int64_t frames, FrameRateRatio from, FrameRateRatio to) {
    if (from.num <= 0 || from.den <= 0 || to.num <= 0 || to.den <= 0) return 0;
    // frames / from is the time, that time x to the frames of `to`. For frame counts of 32 bits and
    // the ratios FrameRateRatioOf makes (denominators up to 10^7, numerators up to 10^16, or up to
    // 2^63 for absurd rates) the products stay well within 128 bits.
    const __int128 numerator = static_cast<__int128>(frames) * from.den * to.num;
    const __int128 denominator = static_cast<__int128>(from.num) * to.den;
    const __int128 begun = FloorDivide(numerator, denominator);
    constexpr __int128 kMost = std::numeric_limits<int64_t>::max();
    constexpr __int128 kLeast = std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(begun > kMost ? kMost : (begun < kLeast ? kLeast : begun));
}

}  // namespace composer
