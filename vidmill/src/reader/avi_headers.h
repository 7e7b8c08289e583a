// The header list of an AVI file, read straight from its bytes: the main header and, per stream
// in file order, its stream header and format. The demuxer does not hand out every field the
// reader reports (the stream's handler code and quality, the file's maximum data rate), and
// WAV extraction copies a sound stream's format exactly as it is stored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vidmill::reader {

struct AviStreamHeader {
    std::uint32_t type = 0;     // 'vids', 'auds', ...
    std::uint32_t handler = 0;  // four-character code
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;
    std::uint32_t length = 0;  // in frames (video) or sample units (sound)
    std::uint32_t quality = 0;
    std::uint32_t sampleSize = 0;
    std::vector<std::uint8_t> format;  // the 'strf' chunk as stored
};

struct AviHeaders {
    std::uint32_t microSecondsPerFrame = 0;
    std::uint32_t maxBytesPerSecond = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<AviStreamHeader> streams;
};

enum class AviHeaderProblem { NotAnAviFile, NoMainHeader };

// Reads the header list of the file at path. Sizes in the file never size a read beyond the
// file's own length.
struct AviHeaderResult {
    std::optional<AviHeaders> headers;
    AviHeaderProblem problem = AviHeaderProblem::NotAnAviFile;
};
AviHeaderResult ReadAviHeaders(const std::string& path);

// The index of the first stream of the type, in file order; -1 when there is none.
int FirstStreamOfType(const AviHeaders& headers, std::uint32_t type);

}  // namespace vidmill::reader
