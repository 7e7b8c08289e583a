#include "reader/movi_scan.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "frame/tag_code.h"
#include "reader/avi_headers.h"

namespace vidmill::reader {
namespace {

// Nested lists deeper than this are damage ('movi' holds 'rec ' lists, nothing deeper).
constexpr int kMaxDepth = 4;

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::uint32_t Le32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool Digit(unsigned char c) { return c >= '0' && c <= '9'; }

class Scanner {
  public:
    Scanner(std::FILE* file, MoviChunks& found) : file_(file), found_(found) {}

    // Chunks from `offset` up to `end`; inside a 'movi' list data chunks are recorded.
    void walk(std::uint64_t offset, std::uint64_t end, bool inMovi, int depth) {
        while (offset + 8 <= end) {
            unsigned char header[12];
            const bool list = readAt(offset, header, 12) == 12;
            if (!list && readAt(offset, header, 8) != 8) return;
            const std::uint32_t id = Le32(header);
            const std::uint64_t size = Le32(header + 4);
            const std::uint64_t bodyEnd = std::min(offset + 8 + size, end);
            if ((id == TagCode("LIST") || id == TagCode("RIFF")) && list && depth < kMaxDepth) {
                const bool movi = Le32(header + 8) == TagCode("movi");
                walk(offset + 12, bodyEnd, inMovi || movi, depth + 1);
            } else if (id == TagCode("idx1") || id == TagCode("indx")) {
                found_.indexChunks.push_back(offset);
            } else if (inMovi && Digit(header[0]) && Digit(header[1]) &&
                       offset + 8 + size <= found_.fileSize) {
                // Only whole chunks count: a chunk cut off by the end of the file is not data.
                const int stream = (header[0] - '0') * 10 + (header[1] - '0');
                found_.streams[stream].push_back(offset);
                found_.chunkEnds[stream].push_back(offset + 8 + size);
                if (size == 0) ++found_.emptyChunks[stream];
            }
            offset += 8 + size + (size & 1);
        }
    }

    // The header list holds the OpenDML super indexes; the walk above finds them inside 'strl'.
  private:
    std::size_t readAt(std::uint64_t offset, unsigned char* bytes, std::size_t count) {
        if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return 0;
        return std::fread(bytes, 1, count, file_);
    }

    std::FILE* file_;
    MoviChunks& found_;
};

}  // namespace

MoviChunks ScanMovi(const std::string& path) {
    MoviChunks found;
    const std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return found;
    const long size = std::ftell(file.get());
    if (size <= 0) return found;
    found.fileSize = static_cast<std::uint64_t>(size);
    Scanner(file.get(), found).walk(0, found.fileSize, false, 0);
    return found;
}

bool InsideChunkOf(const MoviChunks& chunks, int stream, std::uint64_t position) {
    const auto offsets = chunks.streams.find(stream);
    if (offsets == chunks.streams.end()) return false;
    const std::vector<std::uint64_t>& starts = offsets->second;
    // The last chunk that starts at or before the position; chunks lie in file order.
    const auto after = std::upper_bound(starts.begin(), starts.end(), position);
    if (after == starts.begin()) return false;
    const auto chunk = static_cast<std::size_t>(after - starts.begin() - 1);
    return position < chunks.chunkEnds.at(stream)[chunk];
}

}  // namespace vidmill::reader
