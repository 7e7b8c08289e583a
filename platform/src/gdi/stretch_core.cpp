// The sampling core's copy: mapped source pixels into the destination, nearest source pixel, with
// conversion between 8 (paletted), 24 and 32 bits per pixel.
#include "stretch_core.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace cb {
namespace {

std::uint32_t PackQuad(const RgbQuad& quad) {
    return quad.blue | (quad.green << 8) | (quad.red << 16) | 0xFF000000u;
}

// Reads pixels of one source depth as 0xAARRGGBB values.
template <int Bits>
struct PixelReader {
    explicit PixelReader(const Bitmap& source) {
        if constexpr (Bits == 8) {
            for (std::size_t i = 0; i < palette.size() && i < source.palette().size(); ++i)
                palette[i] = PackQuad(source.palette()[i]);
        }
    }
    std::uint32_t operator()(const std::uint8_t* row, int x) const {
        if constexpr (Bits == 32) {
            std::uint32_t value;
            std::memcpy(&value, row + 4 * x, 4);
            return value;
        } else if constexpr (Bits == 24) {
            const std::uint8_t* p = row + 3 * x;
            return p[0] | (p[1] << 8) | (p[2] << 16) | 0xFF000000u;
        } else {
            return palette[row[x]];
        }
    }
    std::array<std::uint32_t, 256> palette{};
};

// Writes 0xAARRGGBB values at one destination depth; an 8-bit destination takes the nearest
// palette entry, remembered per 15-bit colour for the length of one call.
template <int Bits>
struct PixelWriter {
    explicit PixelWriter(const Bitmap& destination) {
        if constexpr (Bits == 8) {
            palette = &destination.palette();
            nearest.assign(1u << 15, -1);
        }
    }
    void operator()(std::uint8_t* row, int x, std::uint32_t value) {
        if constexpr (Bits == 32) {
            std::memcpy(row + 4 * x, &value, 4);
        } else if constexpr (Bits == 24) {
            std::uint8_t* p = row + 3 * x;
            p[0] = static_cast<std::uint8_t>(value);
            p[1] = static_cast<std::uint8_t>(value >> 8);
            p[2] = static_cast<std::uint8_t>(value >> 16);
        } else {
            row[x] = NearestEntry(value);
        }
    }
    std::uint8_t NearestEntry(std::uint32_t value) {
        const std::uint32_t key = ((value >> 9) & 0x7C00) | ((value >> 6) & 0x03E0) | ((value >> 3) & 0x001F);
        if (nearest[key] < 0) {
            const int red = (value >> 16) & 0xFF, green = (value >> 8) & 0xFF, blue = value & 0xFF;
            int best = 0;
            int bestDistance = 1 << 30;
            for (std::size_t i = 0; i < palette->size(); ++i) {
                const RgbQuad& entry = (*palette)[i];
                const int dr = entry.red - red, dg = entry.green - green, db = entry.blue - blue;
                const int distance = dr * dr + dg * dg + db * db;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = static_cast<int>(i);
                }
            }
            nearest[key] = static_cast<std::int16_t>(best);
        }
        return static_cast<std::uint8_t>(nearest[key]);
    }
    const std::vector<RgbQuad>* palette = nullptr;
    std::vector<std::int16_t> nearest;
};

template <int SourceBits, int DestinationBits>
void CopyMapped(Bitmap& destination, const AxisMap& columns, const AxisMap& rows, const Bitmap& source) {
    const PixelReader<SourceBits> read(source);
    PixelWriter<DestinationBits> write(destination);
    for (std::size_t r = 0; r < rows.source.size(); ++r) {
        const int sourceRow = rows.source[r];
        if (sourceRow < 0) continue;
        const std::uint8_t* from = source.topRow(sourceRow);
        std::uint8_t* to = destination.topRow(rows.first + static_cast<int>(r));
        for (std::size_t c = 0; c < columns.source.size(); ++c) {
            const int sourceColumn = columns.source[c];
            if (sourceColumn >= 0) write(to, columns.first + static_cast<int>(c), read(from, sourceColumn));
        }
    }
}

template <int SourceBits>
void CopyFrom(Bitmap& destination, const AxisMap& columns, const AxisMap& rows, const Bitmap& source) {
    switch (destination.bitsPerPixel()) {
        case 32:
            return CopyMapped<SourceBits, 32>(destination, columns, rows, source);
        case 24:
            return CopyMapped<SourceBits, 24>(destination, columns, rows, source);
        case 8:
            return CopyMapped<SourceBits, 8>(destination, columns, rows, source);
        default:
            return;  // 16-bit surfaces are not drawn on
    }
}

}  // namespace

void CopyThroughMaps(Bitmap& destination, const AxisMap& columns, const AxisMap& rows, const Bitmap& source) {
    if (columns.source.empty() || rows.source.empty() || source.empty()) return;
    switch (source.bitsPerPixel()) {
        case 32:
            return CopyFrom<32>(destination, columns, rows, source);
        case 24:
            return CopyFrom<24>(destination, columns, rows, source);
        case 8:
            return CopyFrom<8>(destination, columns, rows, source);
        default:
            return;
    }
}

}  // namespace cb
