// The mix: inputs placed at their start times and added with clipping into one output buffer that
// covers the rendered range.
#include "render/mix_buffers.h"

#include <algorithm>
#include <vector>

#include "base/rounding.h"
#include "media/sound/sample_streams.h"
#include "render/sample_conversion.h"

namespace composer {
namespace {

// Adds input values [firstValue, lastValue] into the output at outputStart, block by block.
void AddInto(FileCarrBuffClass& output, FileCarrBuffClass& input, int64_t firstValue, int64_t lastValue,
             int64_t outputStart, const SampleLimits& limits) {
    const int64_t block = std::min(TransferBlock(output), TransferBlock(input));
    std::vector<int16_t> in, out;
    for (int64_t j = firstValue; j <= lastValue; j += block) {
        const auto count = static_cast<size_t>(std::min(block, lastValue - j + 1));
        in.resize(count);
        out.resize(count);
        const auto at = static_cast<int32_t>(outputStart + (j - firstValue));
        input.ReadBlock(static_cast<int32_t>(j), in);
        output.ReadBlock(at, out);
        for (size_t i = 0; i < count; ++i) {
            // Summed as 32-bit integers so that two loud samples clip instead of wrapping around.
            const int32_t sum = int32_t{out[i]} + int32_t{in[i]};
            out[i] = static_cast<int16_t>(std::clamp(sum, limits.lowest, limits.highest));
        }
        output.WriteBlock(at, out);
    }
}

}  // namespace

std::unique_ptr<FileCarrBuffClass> MixBuffers(std::span<const MixInput> inputs, double rangeStart,
                                              double rangeEnd, int32_t bits, int32_t rate,
                                              int32_t blockLimit) {
    const SampleLimits limits = LimitsForBits(bits);
    const int64_t first = RoundToInt64(rate * rangeStart + 1);
    const int64_t last = RoundToInt64(rate * rangeEnd + 1);
    auto output = std::make_unique<FileCarrBuffClass>(blockLimit);
    output->SetLength(static_cast<int32_t>(std::max<int64_t>(last - first + 1, 1)), LengthFill::ZeroFill);
    for (const MixInput& input : inputs) {
        if (!input.buffer) continue;
        const int64_t skipped = std::max<int64_t>(input.skippedSamples, 0);
        const int64_t offset = std::max<int64_t>(RoundToInt64(rate * input.startTime + 1), 0) - skipped;
        // Input sample j lands at position offset + j; only positions first .. last are written, of
        // the samples heard.
        int64_t available = input.buffer->Length();
        if (input.heardSamples >= 0) available = std::min(available, skipped + input.heardSamples);
        const int64_t firstValue = std::max<int64_t>({1, skipped + 1, first - offset});
        const int64_t lastValue = std::min<int64_t>(available, last - offset);
        if (firstValue <= lastValue)
            AddInto(*output, *input.buffer, firstValue, lastValue, offset + firstValue - first + 1, limits);
    }
    return output;
}

}  // namespace composer
