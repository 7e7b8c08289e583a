#pragma once
// Sounds placed at their start times and added into one buffer.
#include <cstdint>
#include <memory>
#include <span>

#include "document/file_carr_buff_class.h"

namespace composer {

// One input of the mix: its samples, the time of the first sample heard, how many samples of the
// buffer come before that one and how many are heard (below 0: all to the end of the buffer).
struct MixInput {
    FileCarrBuffClass* buffer = nullptr;
    double startTime = 0.0;
    int64_t skippedSamples = 0;
    int64_t heardSamples = -1;
};
// The inputs added into one buffer covering [rangeStart, rangeEnd] at `rate`: sums formed in a
// wider integer and clipped to the limits of `bits`; samples outside the range are not written. The
// result holds up to blockLimit values in memory.
std::unique_ptr<FileCarrBuffClass> MixBuffers(std::span<const MixInput> inputs, double rangeStart,
                                              double rangeEnd, int32_t bits, int32_t rate,
                                              int32_t blockLimit = kDefaultBlockLimit);

}  // namespace composer
