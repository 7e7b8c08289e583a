#include "writer/video_rate_header.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace vidmill::writer {
namespace {

// The stream headers lie in the header list at the start of the file.
constexpr std::size_t kHeaderSearchBytes = 64 * 1024;
// From the "strh" tag: size (4), type (4), handler (4), flags (4), priority and language (4),
// initial frames (4), then scale and rate.
constexpr std::size_t kTypeOffset = 8;
constexpr std::size_t kScaleOffset = 28;

void PutLittleEndian(std::uint8_t* to, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) to[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

bool WriteVideoRate(const std::string& path, int scale, int rate) {
    struct FileClose {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "r+b"));
    if (!file) return false;
    std::vector<std::uint8_t> head(kHeaderSearchBytes);
    head.resize(std::fread(head.data(), 1, head.size(), file.get()));
    for (std::size_t at = 12; at + kScaleOffset + 8 <= head.size(); ++at) {
        if (std::memcmp(&head[at], "strh", 4) != 0 || std::memcmp(&head[at + kTypeOffset], "vids", 4) != 0) continue;
        std::uint8_t fields[8];
        PutLittleEndian(fields, static_cast<std::uint32_t>(scale));
        PutLittleEndian(fields + 4, static_cast<std::uint32_t>(rate));
        return std::fseek(file.get(), static_cast<long>(at + kScaleOffset), SEEK_SET) == 0 &&
               std::fwrite(fields, sizeof fields, 1, file.get()) == 1 && std::fflush(file.get()) == 0;
    }
    return false;
}

}  // namespace vidmill::writer
