#include "commands/dialog_placement.h"

#include <algorithm>

namespace composer {

namespace {

// A start within [low, high - length], or low when the length does not fit.
int Within(int start, int low, int high, int length) { return std::max(std::min(start, high - length), low); }

}  // namespace

QRect DialogPlaceClearOf(const QRect& area, const QRect& keepClear, const QSize& size, const QSize& minimum) {
    const int areaRight = area.x() + area.width();
    const int areaBottom = area.y() + area.height();
    const int below = std::max(keepClear.y() + keepClear.height(), area.y());
    const int right = keepClear.x() + keepClear.width();
    const int x = Within(keepClear.x(), area.x(), areaRight, size.width());
    if (below + size.height() <= areaBottom) return {QPoint(x, below), size};
    if (right + size.width() <= areaRight)
        return {QPoint(std::max(right, area.x()), Within(keepClear.y(), area.y(), areaBottom, size.height())),
                size};
    if (areaBottom - below >= minimum.height())
        return {QPoint(x, below), QSize(size.width(), areaBottom - below)};
    return {QPoint(x, Within(below, area.y(), areaBottom, size.height())), size};
}

}  // namespace composer
