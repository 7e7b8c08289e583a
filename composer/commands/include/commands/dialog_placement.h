#pragma once
// Where a dialog opened from a child window goes: inside the main window's work area, clear of the
// window it was opened from where there is room, so that the window's own controls stay in sight.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace composer {

// The place of a dialog of `size` within `area`: below `keepClear` when it fits there, else to its
// right; else below it made shorter, when the room there still holds `minimum`; else as low as the
// area allows (covering the least of keepClear's lower part, where its commands are). Never outside
// the area where the dialog fits into it. All in one coordinate system.
QRect DialogPlaceClearOf(const QRect& area, const QRect& keepClear, const QSize& size, const QSize& minimum);

}  // namespace composer
