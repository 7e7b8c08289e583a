#include "cbplatform/gdi.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "stretch_core.h"

// The process-wide table of device contexts. Handles are never reused while the process runs, so
// a stale handle stays invalid instead of naming someone else's surface.
namespace cb {
namespace {

struct DeviceEntry {
    Bitmap* surface = nullptr;
    int stretchMode = HALFTONE;
};

class DeviceTable {
  public:
    HDC add(Bitmap& surface) {
        std::lock_guard lock(mutex_);
        const HDC handle = next_;
        next_ += kStep;
        entries_[handle] = DeviceEntry{&surface};
        return handle;
    }
    void remove(HDC handle) {
        std::lock_guard lock(mutex_);
        entries_.erase(handle);
    }
    template <typename Use>
    auto with(HDC handle, Use use) {
        std::lock_guard lock(mutex_);
        const auto found = entries_.find(handle);
        return use(found == entries_.end() ? nullptr : &found->second);
    }

  private:
    // Device contexts get their own range of values, well away from small numbers and from the
    // other handle kinds, stepping by an odd amount.
    static constexpr HDC kFirst = 0x0D010001;
    static constexpr HDC kStep = 0x11;
    std::mutex mutex_;
    std::unordered_map<HDC, DeviceEntry> entries_;
    HDC next_ = kFirst;
};

DeviceTable& Table() {
    static DeviceTable table;
    return table;
}

bool KnownStretchMode(int mode) { return mode == BLACKONWHITE || mode == COLORONCOLOR || mode == HALFTONE; }

}  // namespace

DeviceContext::DeviceContext(Bitmap& surface) : handle_(Table().add(surface)) {}

DeviceContext::~DeviceContext() { Table().remove(handle_); }

Bitmap* BitmapOfDC(HDC dc) {
    return Table().with(dc, [](DeviceEntry* entry) { return entry ? entry->surface : nullptr; });
}

int GetStretchBltMode(HDC dc) {
    return Table().with(dc, [](DeviceEntry* entry) { return entry ? entry->stretchMode : 0; });
}

int SetStretchBltMode(HDC dc, int mode) {
    return Table().with(dc, [mode](DeviceEntry* entry) {
        if (!entry || !KnownStretchMode(mode)) return 0;
        const int previous = entry->stretchMode;
        entry->stretchMode = mode;
        return previous;
    });
}

}  // namespace cb

// Stretching one bitmap's rectangle onto another's, nearest source pixel, with conversion between
// 8 (paletted), 24 and 32 bits per pixel.
//
// A rectangle starts at its origin pixel and covers |extent| pixels in the direction of the
// extent's sign, so (y = 9, height = -10) covers rows 9 down to 0. Each destination pixel takes
// the source pixel under its centre.
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

// Source pixel of an integer rectangle for the fraction f (0 < f < 1) of its extent.
auto PixelAxis(int start, int extent, int limit) {
    return [=](double f) {
        const int offset = static_cast<int>(f * std::abs(extent));
        const int index = extent > 0 ? start + offset : start - offset;
        return index >= 0 && index < limit ? index : -1;
    };
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

void StretchBitmap(Bitmap& destination, const Extent& to, const Bitmap& source, const Extent& from) {
    const AxisMap columns =
        MapAxis(to.x, to.width, destination.width(), PixelAxis(from.x, from.width, source.width()));
    const AxisMap rows =
        MapAxis(to.y, to.height, destination.height(), PixelAxis(from.y, from.height, source.height()));
    CopyThroughMaps(destination, columns, rows, source);
}

bool StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int xSrc, int ySrc,
                int widthSrc, int heightSrc, std::uint32_t rop) {
    Bitmap* to = BitmapOfDC(destination);
    const Bitmap* from = BitmapOfDC(source);
    if (!to || !from || rop != SRCCOPY) return false;
    if (to == from) {
        const Bitmap copy = *from;
        StretchBitmap(*to, {x, y, width, height}, copy, {xSrc, ySrc, widthSrc, heightSrc});
    } else {
        StretchBitmap(*to, {x, y, width, height}, *from, {xSrc, ySrc, widthSrc, heightSrc});
    }
    return true;
}

int StretchDIBits(HDC destination, int x, int y, int width, int height, int xSrc, int ySrc, int widthSrc,
                  int heightSrc, const Bitmap& bits, std::uint32_t rop) {
    Bitmap* to = BitmapOfDC(destination);
    if (!to || rop != SRCCOPY || bits.empty()) return 0;
    StretchBitmap(*to, {x, y, width, height}, bits, {xSrc, ySrc, widthSrc, heightSrc});
    return std::abs(heightSrc);
}

}  // namespace cb
