// Rate conversion by cubic interpolation with a quantised phase. Between input samples k and k + 1
// the curve is a cubic Bezier from s[k] to s[k + 1] whose inner control points follow the slopes of
// the neighbours (s[k + 1] - s[k - 1]) / 5 and (s[k + 2] - s[k]) / 5; its Bernstein weights are
// tabled for the 101 phases 0, 0.01 .. 1, so no power is computed per sample.
#include <algorithm>
#include <array>

#include "SampleStreams.h"
#include "appgen/rounding.h"
#include "render/AudioMix.h"

namespace composer {
namespace {

constexpr int kPhases = 101;

struct Weights {
    double w0, w1, w2, w3;
};

std::array<Weights, kPhases> BernsteinTable() {
    std::array<Weights, kPhases> table{};
    for (int i = 0; i < kPhases; ++i) {
        const double u = i / 100.0, v = 1.0 - u;
        table[static_cast<size_t>(i)] = {v * v * v, 3 * u * v * v, 3 * u * u * v, u * u * u};
    }
    return table;
}

}  // namespace

std::unique_ptr<FileCarrBuffClass> ResampleBuffer(int32_t fromRate, int32_t toRate, int32_t bits,
                                                  FileCarrBuffClass& source) {
    auto result = std::make_unique<FileCarrBuffClass>();
    if (fromRate < 1 || toRate < 1) return result;
    const std::array<Weights, kPhases> table = BernsteinTable();
    const SampleLimits limits = LimitsForBits(bits);
    const double step = static_cast<double>(fromRate) / toRate;
    SampleReader input(source);
    SampleWriter output(*result);
    const int64_t inputLength = input.Length();

    // Output sample n (from 0) lies at input position 1 + n x step. Interval k produces every position
    // p with k < p <= k + 1 (and position 1 at the start); the input's last sample ends the walk.
    int64_t n = 0;
    for (int64_t k = 1; k < std::max<int64_t>(inputLength, 2); ++k) {
        const double p0 = input.At(k), p3 = input.At(k + 1);
        const double p1 = p0 + (p3 - input.At(k - 1)) / 5.0;
        const double p2 = p3 - (input.At(k + 2) - p0) / 5.0;
        for (double position = 1.0 + n * step; position <= k + 1 && (inputLength > 1 || n == 0);
             position = 1.0 + ++n * step) {
            const int phase = std::clamp(RoundToInt32((position - k) * 100.0), 0, kPhases - 1);
            const Weights& w = table[static_cast<size_t>(phase)];
            const int32_t value = RoundToInt32(w.w0 * p0 + w.w1 * p1 + w.w2 * p2 + w.w3 * p3);
            output.Put(static_cast<int16_t>(std::clamp(value, limits.lowest, limits.highest)));
        }
    }
    output.Finish();
    return result;
}

}  // namespace composer
