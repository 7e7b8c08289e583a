#include "reader/avi_headers.h"

#include <algorithm>
#include <fstream>

#include "avi/avi_layout.h"
#include "frame/tag_code.h"

namespace vidmill::reader {
namespace {

// No header list of a real file comes near these; larger values mean a damaged file.
constexpr std::uint64_t kMaxHeaderListBytes = 16u << 20;
constexpr std::size_t kMaxFormatBytes = 1u << 20;
constexpr int kMaxTopLevelChunks = 64;
// The shortest headers that still hold every field read from them: through the sample size of a
// stream header and the height of the main header (files cut short after those exist).
constexpr std::size_t kStreamHeaderNeeded = offsetof(avi::StreamHeader, sampleSize) + sizeof(std::uint32_t);
constexpr std::size_t kMainHeaderNeeded = offsetof(avi::MainHeader, height) + sizeof(std::uint32_t);
static_assert(kStreamHeaderNeeded == 48 && kMainHeaderNeeded == 40);

std::uint32_t Le32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// A view of bytes walked chunk by chunk: id, size, data, padding to an even length.
class ChunkWalker {
  public:
    ChunkWalker(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool next() {
        if (offset_ + 8 > size_) return false;
        id_ = Le32(data_ + offset_);
        const std::uint64_t declared = Le32(data_ + offset_ + 4);
        bodyOffset_ = offset_ + 8;
        bodySize_ = static_cast<std::size_t>(std::min<std::uint64_t>(declared, size_ - bodyOffset_));
        offset_ = bodyOffset_ + static_cast<std::size_t>(
                                    std::min<std::uint64_t>(declared + (declared & 1), size_ - bodyOffset_));
        return true;
    }
    std::uint32_t id() const { return id_; }
    const std::uint8_t* body() const { return data_ + bodyOffset_; }
    std::size_t bodySize() const { return bodySize_; }
    // For a LIST chunk: its list type, and a walker over its children.
    std::uint32_t listType() const { return bodySize_ >= 4 ? Le32(body()) : 0; }
    ChunkWalker children() const {
        return bodySize_ >= 4 ? ChunkWalker(body() + 4, bodySize_ - 4) : ChunkWalker(body(), 0);
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    std::uint32_t id_ = 0;
    std::size_t bodyOffset_ = 0;
    std::size_t bodySize_ = 0;
};

void ReadStreamList(ChunkWalker chunks, AviHeaders& headers) {
    while (chunks.next()) {
        const std::uint8_t* body = chunks.body();
        if (chunks.id() == TagCode("strh") && chunks.bodySize() >= kStreamHeaderNeeded) {
            const auto stored = avi::LayoutFrom<avi::StreamHeader>(body, chunks.bodySize());
            AviStreamHeader stream;
            stream.type = stored.type;
            stream.handler = stored.handler;
            stream.scale = stored.scale;
            stream.rate = stored.rate;
            stream.length = stored.length;
            stream.quality = stored.quality;
            stream.sampleSize = stored.sampleSize;
            headers.streams.push_back(std::move(stream));
        } else if (chunks.id() == TagCode("strf") && !headers.streams.empty() &&
                   chunks.bodySize() <= kMaxFormatBytes) {
            headers.streams.back().format.assign(body, body + chunks.bodySize());
        }
    }
}

std::optional<AviHeaders> ReadHeaderList(ChunkWalker chunks) {
    AviHeaders headers;
    bool mainHeader = false;
    while (chunks.next()) {
        const std::uint8_t* body = chunks.body();
        if (chunks.id() == TagCode("avih") && chunks.bodySize() >= kMainHeaderNeeded) {
            const auto stored = avi::LayoutFrom<avi::MainHeader>(body, chunks.bodySize());
            headers.microSecondsPerFrame = stored.microSecondsPerFrame;
            headers.maxBytesPerSecond = stored.maxBytesPerSecond;
            headers.width = stored.width;
            headers.height = stored.height;
            mainHeader = true;
        } else if (chunks.id() == TagCode("LIST") && chunks.listType() == TagCode("strl")) {
            ReadStreamList(chunks.children(), headers);
        }
    }
    if (!mainHeader) return std::nullopt;
    return headers;
}

bool ReadAt(std::ifstream& file, std::uint64_t offset, std::uint8_t* bytes, std::size_t count) {
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(file.gcount()) == count;
}

}  // namespace

AviHeaderResult ReadAviHeaders(const std::string& path) {
    AviHeaderResult result;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return result;
    const auto fileSize = static_cast<std::uint64_t>(file.tellg());
    std::uint8_t head[12];
    if (!ReadAt(file, 0, head, sizeof head) || Le32(head) != TagCode("RIFF") ||
        Le32(head + 8) != TagCode("AVI "))
        return result;
    result.problem = AviHeaderProblem::NoMainHeader;
    std::uint64_t offset = 12;
    for (int i = 0; i < kMaxTopLevelChunks && offset + 12 <= fileSize; ++i) {
        std::uint8_t chunk[12];
        if (!ReadAt(file, offset, chunk, sizeof chunk)) break;
        const std::uint64_t size = Le32(chunk + 4);
        if (Le32(chunk) == TagCode("LIST") && Le32(chunk + 8) == TagCode("hdrl")) {
            const std::uint64_t available = fileSize - offset - 12;
            const std::uint64_t listBytes =
                std::min({size >= 4 ? size - 4 : 0, available, kMaxHeaderListBytes});
            std::vector<std::uint8_t> list(static_cast<std::size_t>(listBytes));
            if (!ReadAt(file, offset + 12, list.data(), list.size())) break;
            result.headers = ReadHeaderList(ChunkWalker(list.data(), list.size()));
            break;
        }
        if (Le32(chunk) == TagCode("LIST") && Le32(chunk + 8) == TagCode("movi")) break;
        offset += 8 + size + (size & 1);
    }
    return result;
}

int FirstStreamOfType(const AviHeaders& headers, std::uint32_t type) {
    for (std::size_t i = 0; i < headers.streams.size(); ++i)
        if (headers.streams[i].type == type) return static_cast<int>(i);
    return -1;
}

}  // namespace vidmill::reader
