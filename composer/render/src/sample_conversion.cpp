// Channel and bit-depth conversion of sample buffers.
#include "render/sample_conversion.h"

#include "base/rounding.h"
#include "media/sound/sample_streams.h"

namespace composer {

SampleLimits LimitsForBits(int32_t bits) {
    return bits == 8 ? SampleLimits{-128, 127} : SampleLimits{-32768, 32767};
}

ChannelFiles ConvertChannels(int32_t fromChannels, int32_t toChannels, const ChannelFiles& files) {
    if (fromChannels == 1 && toChannels == 2) return {files.Left, files.Left};
    if (fromChannels == 2 && toChannels == 1) return {files.Left, ""};
    return files;
}

std::unique_ptr<FileCarrBuffClass> ConvertBits(int32_t fromBits, int32_t toBits, FileCarrBuffClass& source) {
    auto result = std::make_unique<FileCarrBuffClass>(source.GetBlockLimit());
    SampleReader input(source);
    SampleWriter output(*result);
    for (int64_t position = 1; position <= input.Length(); ++position) {
        const int16_t value = input.At(position);
        if (fromBits == 8 && toBits == 16)
            output.Put(static_cast<int16_t>(value * 256));
        else if (fromBits == 16 && toBits == 8)
            output.Put(static_cast<int16_t>(RoundToInt32(value / 256.0)));
        else
            output.Put(value);
    }
    output.Finish();
    return result;
}

}  // namespace composer
