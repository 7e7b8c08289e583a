// Rate conversion by cubic interpolation with a quantised phase. Between input samples k and k + 1
// the curve is a cubic Bezier from s[k] to s[k + 1] whose inner control points follow the slopes of
// the neighbours (s[k + 1] - s[k - 1]) / 5 and (s[k + 2] - s[k]) / 5; its Bernstein weights are
// tabled for the 101 phases 0, 0.01 .. 1, so no power is computed per sample.
//
// Positions and values are computed exactly in integers: output n lies at input position
// 1 + n x from / to, a fraction whose phase repeats every to / gcd outputs; the weights are whole
// numbers over 100^3 and the control points whole numbers over 5. So "rounded, halves to the even
// neighbour" applies to the exact value, never to a floating-point approximation of it.
#include "render/resample_buffer.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

#include "media/sound/sample_streams.h"
#include "render/sample_conversion.h"

namespace composer {
namespace {

constexpr int kPhases = 101;

// Bernstein weights of phase i (u = i / 100), scaled by 100^3: (1-u)^3, 3u(1-u)^2, 3u^2(1-u), u^3.
struct Weights {
    int64_t w0, w1, w2, w3;
};

std::array<Weights, kPhases> BernsteinTable() {
    std::array<Weights, kPhases> table{};
    for (int64_t i = 0; i < kPhases; ++i) {
        const int64_t v = 100 - i;
        table[static_cast<size_t>(i)] = {v * v * v, 3 * i * v * v, 3 * i * i * v, i * i * i};
    }
    return table;
}

// numerator / denominator (denominator > 0) rounded to the nearest whole number, halves to even.
int64_t DivideRoundHalfEven(int64_t numerator, int64_t denominator) {
    int64_t quotient = numerator / denominator, remainder = numerator % denominator;
    if (remainder < 0) {
        quotient -= 1;
        remainder += denominator;
    }
    const int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) ++quotient;
    return quotient;
}

// Where output n falls: its interval k (k < position <= k + 1, or k = 1 for position 1) and phase.
struct Placement {
    int64_t interval;
    int phase;
};

// The placements of outputs 0 .. period - 1; output n + period lies `advance` intervals further on.
class PhaseWalk {
  public:
    PhaseWalk(int64_t fromRate, int64_t toRate) {
        const int64_t divisor = std::gcd(fromRate, toRate);
        advance_ = fromRate / divisor;
        const int64_t period = toRate / divisor;
        for (int64_t n = 0; n < period; ++n) {
            const int64_t whole = n * advance_ / period, part = n * advance_ % period;
            if (part == 0 && n > 0)
                table_.push_back(
                    {whole, kPhases - 1});  // exactly on sample whole + 1: end of the interval before
            else
                table_.push_back({whole + 1, static_cast<int>(DivideRoundHalfEven(100 * part, period))});
        }
    }
    Placement At(int64_t n) const {
        const auto period = static_cast<int64_t>(table_.size());
        const Placement& base = table_[static_cast<size_t>(n % period)];
        return {base.interval + n / period * advance_, base.phase};
    }
    // Outputs up to and including input position `last`: position 1 + n x advance / period <= last.
    int64_t CountUpTo(int64_t last) const {
        return (last - 1) * static_cast<int64_t>(table_.size()) / advance_ + 1;
    }

  private:
    int64_t advance_ = 1;
    std::vector<Placement> table_;
};

}  // namespace

std::unique_ptr<FileCarrBuffClass> ResampleBuffer(int32_t fromRate, int32_t toRate, int32_t bits,
                                                  FileCarrBuffClass& source) {
    auto result = std::make_unique<FileCarrBuffClass>(source.GetBlockLimit());
    if (fromRate < 1 || toRate < 1) return result;
    const std::array<Weights, kPhases> table = BernsteinTable();
    const SampleLimits limits = LimitsForBits(bits);
    const PhaseWalk walk(fromRate, toRate);
    SampleReader input(source);
    SampleWriter output(*result);

    // Intervals are visited in order; each produces the outputs that fall in it from its own curve.
    // The control points are kept times 5: 5 p0, 5 p0 + s[k + 1] - s[k - 1], 5 p3 - s[k + 2] + s[k], 5 p3.
    int64_t curveInterval = 0, c0 = 0, c1 = 0, c2 = 0, c3 = 0;
    const int64_t outputs = walk.CountUpTo(input.Length());
    for (int64_t n = 0; n < outputs; ++n) {
        const Placement place = walk.At(n);
        if (place.interval != curveInterval) {
            curveInterval = place.interval;
            const int64_t k = curveInterval;
            const int64_t before = input.At(k - 1), p0 = input.At(k), p3 = input.At(k + 1),
                          after = input.At(k + 2);
            c0 = 5 * p0;
            c1 = 5 * p0 + p3 - before;
            c2 = 5 * p3 - after + p0;
            c3 = 5 * p3;
        }
        const Weights& w = table[static_cast<size_t>(place.phase)];
        const int64_t value = DivideRoundHalfEven(w.w0 * c0 + w.w1 * c1 + w.w2 * c2 + w.w3 * c3, 5'000'000);
        output.Put(static_cast<int16_t>(std::clamp<int64_t>(value, limits.lowest, limits.highest)));
    }
    output.Finish();
    return result;
}

}  // namespace composer
