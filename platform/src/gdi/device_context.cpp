// The process-wide table of device contexts. Handles are never reused while the process runs, so
// a stale handle stays invalid instead of naming someone else's surface.
#include <mutex>
#include <unordered_map>

#include "cbplatform/gdi.h"

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
