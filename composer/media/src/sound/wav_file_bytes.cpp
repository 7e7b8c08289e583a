#include "sound/wav_file_bytes.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/rounding.h"

namespace composer::wav {
namespace {

constexpr int64_t kFirstMarkerPosition = 36;
constexpr int64_t kLastMarkerPosition = 100000;

}  // namespace

OpenedWav OpenForReading(const std::string& fileName) {
    OpenedWav opened;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(fileName, error);
    if (error) {
        opened.problem = error.message();
        return opened;
    }
    if (!std::filesystem::is_regular_file(status)) {
        opened.problem = std::filesystem::is_directory(status) ? std::strerror(EISDIR) : "not a regular file";
        return opened;
    }
    opened.file.reset(std::fopen(fileName.c_str(), "rb"));
    if (!opened.file) opened.problem = std::strerror(errno);
    if (opened.file && std::fseek(opened.file.get(), 0, SEEK_END) == 0)
        opened.lengthBytes = std::max<int64_t>(0, ftello(opened.file.get()));
    return opened;
}

uint8_t ByteAt(std::FILE* file, int64_t position) {
    uint8_t value = 0;
    if (fseeko(file, position - 1, SEEK_SET) == 0 && std::fread(&value, 1, 1, file) == 1) return value;
    return 0;
}

uint16_t Word16At(std::FILE* file, int64_t position) {
    return static_cast<uint16_t>(ByteAt(file, position) | ByteAt(file, position + 1) << 8);
}

uint32_t Word32At(std::FILE* file, int64_t position) {
    return Word16At(file, position) | static_cast<uint32_t>(Word16At(file, position + 2)) << 16;
}

std::optional<DataChunk> FindDataMarker(std::FILE* file, int64_t lengthBytes) {
    // One read covers every position the search may look at.
    const int64_t lastPosition = std::min(kLastMarkerPosition, lengthBytes - 3);
    if (lastPosition < kFirstMarkerPosition) return std::nullopt;
    std::vector<unsigned char> bytes(static_cast<size_t>(lastPosition - kFirstMarkerPosition + 4));
    if (fseeko(file, kFirstMarkerPosition - 1, SEEK_SET) != 0 ||
        std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        return std::nullopt;
    for (size_t i = 0; i + 4 <= bytes.size(); ++i) {
        if (std::toupper(bytes[i]) == 'D' && std::toupper(bytes[i + 1]) == 'A' &&
            std::toupper(bytes[i + 2]) == 'T' && std::toupper(bytes[i + 3]) == 'A') {
            const int64_t marker = kFirstMarkerPosition + static_cast<int64_t>(i);
            return DataChunk{marker + 8, Word32At(file, marker + 4)};
        }
    }
    return std::nullopt;
}

int32_t BlockBytes(int32_t bits, int32_t channels) { return RoundToInt32(bits / 8.0 * channels); }

}  // namespace composer::wav
