// The byte layouts of the AVI headers and indexes, pinned once for the writer that writes them, the
// reader that reads them and the tests that check them. Every field is little-endian, as the files
// store it; the structs are packed so that a struct's bytes are the field's bytes in the file.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace vidmill::avi {

static_assert(std::endian::native == std::endian::little, "the layouts are copied as they are in memory");

#pragma pack(push, 1)

// 'avih': the file's main header.
struct MainHeader {
    std::uint32_t microSecondsPerFrame = 0;
    std::uint32_t maxBytesPerSecond = 0;
    std::uint32_t paddingGranularity = 0;
    std::uint32_t flags = 0;
    std::uint32_t totalFrames = 0;  // frames of the first part only
    std::uint32_t initialFrames = 0;
    std::uint32_t streams = 0;
    std::uint32_t suggestedBufferSize = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t reserved[4] = {};
};

// 'strh': one stream's header.
struct StreamHeader {
    std::uint32_t type = 0;     // 'vids', 'auds'
    std::uint32_t handler = 0;  // four-character code of the compressor
    std::uint32_t flags = 0;
    std::uint16_t priority = 0;
    std::uint16_t language = 0;
    std::uint32_t initialFrames = 0;
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;  // rate / scale: units per second
    std::uint32_t start = 0;
    std::uint32_t length = 0;  // in frames (video) or sample units (sound)
    std::uint32_t suggestedBufferSize = 0;
    std::uint32_t quality = 0;
    std::uint32_t sampleSize = 0;
    std::int16_t frameLeft = 0;
    std::int16_t frameTop = 0;
    std::int16_t frameRight = 0;
    std::int16_t frameBottom = 0;
};

// 'dmlh': the extended header of a file with extension parts.
struct ExtendedHeader {
    std::uint32_t totalFrames = 0;  // frames of all parts
    std::uint32_t reserved[61] = {};
};

// 'idx1': one entry of the legacy index; offset counts from the 'movi' tag of the first part.
struct LegacyIndexEntry {
    std::uint32_t chunkId = 0;
    std::uint32_t flags = 0;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

// 'indx': a stream's extended index (an index of indexes), followed by its entries.
struct SuperIndexHeader {
    std::uint16_t longsPerEntry = 4;
    std::uint8_t indexSubType = 0;
    std::uint8_t indexType = 0;  // 0: an index of indexes
    std::uint32_t entriesInUse = 0;
    std::uint32_t chunkId = 0;
    std::uint32_t reserved[3] = {};
};
struct SuperIndexEntry {
    std::uint64_t offset = 0;  // of the standard index chunk, from the file's start
    std::uint32_t size = 0;
    std::uint32_t duration = 0;  // in the stream's units
};

// 'ix##': the standard index of one part of a stream, followed by its entries.
struct StandardIndexHeader {
    std::uint16_t longsPerEntry = 2;
    std::uint8_t indexSubType = 0;
    std::uint8_t indexType = 1;  // 1: an index of chunks
    std::uint32_t entriesInUse = 0;
    std::uint32_t chunkId = 0;
    std::uint64_t baseOffset = 0;  // entries count from here
    std::uint32_t reserved = 0;
};
struct StandardIndexEntry {
    std::uint32_t offset = 0;  // of the chunk's data, from baseOffset
    std::uint32_t size = 0;    // kDeltaFrameBit set for a frame that is not a key frame
};

#pragma pack(pop)

static_assert(sizeof(MainHeader) == 56);
static_assert(offsetof(MainHeader, maxBytesPerSecond) == 4 && offsetof(MainHeader, flags) == 12 &&
              offsetof(MainHeader, totalFrames) == 16 && offsetof(MainHeader, streams) == 24 &&
              offsetof(MainHeader, width) == 32 && offsetof(MainHeader, height) == 36);
static_assert(sizeof(StreamHeader) == 56);
static_assert(offsetof(StreamHeader, handler) == 4 && offsetof(StreamHeader, scale) == 20 &&
              offsetof(StreamHeader, rate) == 24 && offsetof(StreamHeader, length) == 32 &&
              offsetof(StreamHeader, suggestedBufferSize) == 36 && offsetof(StreamHeader, quality) == 40 &&
              offsetof(StreamHeader, sampleSize) == 44 && offsetof(StreamHeader, frameLeft) == 48);
static_assert(sizeof(ExtendedHeader) == 248);
static_assert(sizeof(LegacyIndexEntry) == 16 && offsetof(LegacyIndexEntry, offset) == 8);
static_assert(sizeof(SuperIndexHeader) == 24 && offsetof(SuperIndexHeader, chunkId) == 8);
static_assert(sizeof(SuperIndexEntry) == 16 && offsetof(SuperIndexEntry, duration) == 12);
static_assert(sizeof(StandardIndexHeader) == 24 && offsetof(StandardIndexHeader, baseOffset) == 12);
static_assert(sizeof(StandardIndexEntry) == 8);

// Main header flags.
constexpr std::uint32_t kHasIndex = 0x10;
constexpr std::uint32_t kTrustChunkType = 0x800;
// Legacy index flag of a key frame; size bit of a delta frame in a standard index.
constexpr std::uint32_t kKeyFrameFlag = 0x10;
constexpr std::uint32_t kDeltaFrameBit = 0x80000000u;

// The file's bytes of a layout.
template <typename Layout>
std::vector<std::uint8_t> BytesOf(const Layout& layout) {
    static_assert(std::is_trivially_copyable_v<Layout>);
    std::vector<std::uint8_t> bytes(sizeof(Layout));
    std::memcpy(bytes.data(), &layout, sizeof(Layout));
    return bytes;
}

// A layout from the stored bytes; fields past the stored ones stay zero.
template <typename Layout>
Layout LayoutFrom(const std::uint8_t* bytes, std::size_t size) {
    static_assert(std::is_trivially_copyable_v<Layout>);
    Layout layout{};
    std::memcpy(&layout, bytes, size < sizeof(Layout) ? size : sizeof(Layout));
    return layout;
}

}  // namespace vidmill::avi
