#pragma once
// Sample buffers brought to the output's bit depth and channel count.
#include <cstdint>
#include <memory>
#include <string>

#include "document/file_carr_buff_class.h"

namespace composer {

// The lowest and highest sample for a bit depth: -128 .. 127 for 8, -32768 .. 32767 otherwise.
struct SampleLimits {
    int32_t lowest;
    int32_t highest;
};
SampleLimits LimitsForBits(int32_t bits);

// A clip's channel files for another channel count: one to two uses the mono file for both, two to
// one keeps the left file alone.
struct ChannelFiles {
    std::string Left;
    std::string Right;
};
ChannelFiles ConvertChannels(int32_t fromChannels, int32_t toChannels, const ChannelFiles& files);

// The buffer at another bit depth: 8 to 16 multiplies by 256; 16 to 8 divides by 256 and rounds
// (halves to even). Any other pair copies the values.
std::unique_ptr<FileCarrBuffClass> ConvertBits(int32_t fromBits, int32_t toBits, FileCarrBuffClass& source);

}  // namespace composer
