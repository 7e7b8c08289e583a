#pragma once
// Hand-made WAV files for the tests: the canonical header with a chosen data marker, an optional
// chunk before the samples and an optional declared data size that differs from the bytes present.
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "cbplatform/sound.h"
#include "le_bytes.h"

namespace composer::testing {

struct WavLayout {
    std::string marker = "data";
    std::string chunkBefore;                    // bytes placed between the format block and the marker
    std::optional<uint32_t> declaredDataBytes;  // default: the bytes given
    std::optional<uint16_t> bitsField;          // default: bits
};

inline std::string WavBytes(int channels, int bits, int rate, const std::string& samples,
                            const WavLayout& layout = {}) {
    const uint32_t declared = layout.declaredDataBytes.value_or(static_cast<uint32_t>(samples.size()));
    const auto canonical =
        cb::sound::MakeWavHeader(cb::sound::PcmFormat{channels, rate, bits},
                                 declared + static_cast<uint32_t>(layout.chunkBefore.size()));
    // The canonical header up to its data marker, with the changes the layout asks for.
    std::string bytes(canonical.begin(), canonical.begin() + 34);
    cb::testing::AppendLe16(bytes, layout.bitsField.value_or(static_cast<uint16_t>(bits)));
    bytes += layout.chunkBefore + layout.marker;
    cb::testing::AppendLe32(bytes, declared);
    return bytes + samples;
}

// 16-bit samples as little-endian bytes.
inline std::string Samples16(const std::vector<int16_t>& values) {
    std::string bytes;
    for (int16_t value : values) cb::testing::AppendLe16(bytes, static_cast<uint16_t>(value));
    return bytes;
}

inline std::string WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// All values of a buffer.
template <typename Buffer>
std::vector<int16_t> AllValues(Buffer& buffer) {
    std::vector<int16_t> values(static_cast<size_t>(buffer.Length()));
    for (int32_t p = 1; p <= buffer.Length(); ++p) values[static_cast<size_t>(p - 1)] = buffer.GetValue(p);
    return values;
}

}  // namespace composer::testing
