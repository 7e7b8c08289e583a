#include "ui/dialog_placement.h"

#include <algorithm>

namespace composer {

namespace {

// A start within [low, high - length], or low when the length does not fit.
int Within(int start, int low, int high, int length) { return std::max(std::min(start, high - length), low); }

}  // namespace

QPoint DialogPlaceClearOf(const QRect& area, const QRect& keepClear, const QSize& size) {
    const int areaRight = area.x() + area.width();
    const int areaBottom = area.y() + area.height();
    const int below = keepClear.y() + keepClear.height();
    const int right = keepClear.x() + keepClear.width();
    const int x = Within(keepClear.x(), area.x(), areaRight, size.width());
    if (below + size.height() <= areaBottom) return {x, std::max(below, area.y())};
    if (right + size.width() <= areaRight)
        return {std::max(right, area.x()), Within(keepClear.y(), area.y(), areaBottom, size.height())};
    return {x, Within(below, area.y(), areaBottom, size.height())};
}

}  // namespace composer
