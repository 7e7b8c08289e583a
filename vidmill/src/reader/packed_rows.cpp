#include "reader/packed_rows.h"

#include <cstring>
#include <vector>

namespace vidmill::reader {
namespace {

inline std::uint16_t Load16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

inline void Store(std::uint8_t* pixel, unsigned blue, unsigned green, unsigned red, unsigned alpha) {
    pixel[0] = static_cast<std::uint8_t>(blue);
    pixel[1] = static_cast<std::uint8_t>(green);
    pixel[2] = static_cast<std::uint8_t>(red);
    pixel[3] = static_cast<std::uint8_t>(alpha);
}

// Every 16-bit value's BGRA pixel, built once: a table look-up per pixel is several times faster
// than widening the three fields one by one.
template <bool SixBitGreen>
const std::uint32_t* SixteenBitTable() {
    static const std::vector<std::uint32_t> table = [] {
        std::vector<std::uint32_t> entries(1u << 16);
        for (unsigned value = 0; value < entries.size(); ++value) {
            const unsigned blue = value & 0x1F;
            const unsigned green = SixBitGreen ? (value >> 5) & 0x3F : (value >> 5) & 0x1F;
            const unsigned red = SixBitGreen ? (value >> 11) & 0x1F : (value >> 10) & 0x1F;
            const unsigned wideGreen = SixBitGreen ? (green << 2 | green >> 4) : (green << 3 | green >> 2);
            entries[value] = (blue << 3 | blue >> 2) | wideGreen << 8 | (red << 3 | red >> 2) << 16 | 0xFF000000u;
        }
        return entries;
    }();
    return table.data();
}

template <bool SixBitGreen>
void SixteenBit(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t*) {
    const std::uint32_t* table = SixteenBitTable<SixBitGreen>();
    for (int i = 0; i < pixels; ++i) {
        const std::uint32_t pixel = table[Load16(source + 2 * i)];
        std::memcpy(destination + 4 * i, &pixel, 4);
    }
}

void Bgr24(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t*) {
    for (int i = 0; i < pixels; ++i, source += 3, destination += 4) Store(destination, source[0], source[1], source[2], 0xFF);
}

void Rgb24(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t*) {
    for (int i = 0; i < pixels; ++i, source += 3, destination += 4) Store(destination, source[2], source[1], source[0], 0xFF);
}

void Bgra(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t*) {
    std::memcpy(destination, source, static_cast<std::size_t>(pixels) * 4);
}

void Bgr0(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t*) {
    for (int i = 0; i < pixels; ++i, source += 4, destination += 4) Store(destination, source[0], source[1], source[2], 0xFF);
}

// Palette entries are 0xAARRGGBB numbers, as FFmpeg keeps them.
void Pal8(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::uint32_t* palette) {
    for (int i = 0; i < pixels; ++i, destination += 4) {
        const std::uint32_t entry = palette[source[i]];
        Store(destination, entry & 0xFF, (entry >> 8) & 0xFF, (entry >> 16) & 0xFF, entry >> 24);
    }
}

}  // namespace

PackedFormat FindPackedFormat(AVPixelFormat format) {
    switch (format) {
        case AV_PIX_FMT_RGB555LE: return {&SixteenBit<false>, 2, false};
        case AV_PIX_FMT_RGB565LE: return {&SixteenBit<true>, 2, false};
        case AV_PIX_FMT_BGR24: return {&Bgr24, 3, false};
        case AV_PIX_FMT_RGB24: return {&Rgb24, 3, false};
        case AV_PIX_FMT_BGRA: return {&Bgra, 4, false};
        case AV_PIX_FMT_BGR0: return {&Bgr0, 4, false};
        case AV_PIX_FMT_PAL8: return {&Pal8, 1, true};
        default: return {};
    }
}

}  // namespace vidmill::reader
