#include "frame/lzw.h"

#include <atomic>
#include <ctime>
#include <tuple>

namespace vidmill {
namespace {

CalendarDate LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

// Written only from false to true, so relaxed ordering is enough for every reader.
std::atomic<bool>& Switch() {
    static std::atomic<bool> enabled{LzwEnabledOn(LocalToday())};
    return enabled;
}

// Decides the switch when the library is loaded, not at the first GIF or TIFF request.
[[maybe_unused]] const bool kDecidedAtLoad = Switch().load(std::memory_order_relaxed);

}  // namespace

bool LzwEnabledOn(CalendarDate today) {
    return std::tie(today.year, today.month, today.day) > std::make_tuple(2003, 6, 20);
}

bool LzwEnabled() { return Switch().load(std::memory_order_relaxed); }

void EnableLZW() { Switch().store(true, std::memory_order_relaxed); }

void SetLzwEnabledForTesting(bool enabled) { Switch().store(enabled, std::memory_order_relaxed); }

}  // namespace vidmill
