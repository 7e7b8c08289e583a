#include "cbplatform/gdi.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

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

// Source pixel of an integer rectangle for the fraction f (0 < f < 1) of its extent.
auto PixelAxis(int start, int extent, int limit) {
    return [=](double f) {
        const int offset = static_cast<int>(f * std::abs(extent));
        const int index = extent > 0 ? start + offset : start - offset;
        return index >= 0 && index < limit ? index : -1;
    };
}

}  // namespace

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
