#include "base/color.h"

#include <algorithm>

#include "base/rounding.h"

namespace composer {

RgbBytes SplitColor(int32_t color) {
    const auto value = static_cast<uint32_t>(color);
    return RgbBytes{static_cast<uint8_t>(value & 255), static_cast<uint8_t>((value & 65280) / 256),
                    static_cast<uint8_t>((value & 16711680) / 65536)};
}

namespace {

void ChannelRange(uint8_t channel, int64_t spread, uint8_t& high, uint8_t& low) {
    high = static_cast<uint8_t>(std::clamp<int64_t>(channel + spread, 0, 255));
    low = static_cast<uint8_t>(std::clamp<int64_t>(channel - spread, 0, 255));
}

}  // namespace

ToleranceRange ColorToleranceRange(uint8_t red, uint8_t green, uint8_t blue, int32_t tolerancePercent) {
    // The order of the operations is that of the program's rule, so halves fall where they always fell.
    const int64_t spread = RoundToInt64(tolerancePercent / 100.0 * 255.0);
    ToleranceRange range;
    ChannelRange(red, spread, range.redHigh, range.redLow);
    ChannelRange(green, spread, range.greenHigh, range.greenLow);
    ChannelRange(blue, spread, range.blueHigh, range.blueLow);
    return range;
}

}  // namespace composer
