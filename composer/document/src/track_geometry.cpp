#include "document/track_geometry.h"

#include <algorithm>
#include <cmath>

#include "base/rounding.h"

namespace composer {

int32_t TrackXOfScroll(int32_t scrollValue) { return kFirstTrackX - kBoxPitch * scrollValue; }

int32_t BoxLeft(int32_t trackX, int32_t column) { return trackX + (column - 1) * kBoxPitch; }

int32_t ColumnAcross(int32_t column, int32_t thisTrackX, int32_t otherTrackX) {
    const double x = BoxLeft(thisTrackX, column);
    return RoundToInt32((x - otherTrackX) / kBoxPitch + 1.0);
}

std::vector<OverlayColumn> OverlayColumns(const MovieDbRec& movie) {
    std::vector<OverlayColumn> columns;
    int32_t previous = 0;
    for (int32_t i = 1; i <= movie.ArrangedCount; ++i) {
        const ArrangeRec& entry = movie.Arranged[static_cast<std::size_t>(i)];
        for (int32_t k = 1; k <= entry.OverlayCount; ++k) {
            previous = std::max(previous + 1, i + k - 1);
            columns.push_back({i, k, entry.Overlays[static_cast<std::size_t>(k)], previous});
        }
    }
    return columns;
}

int32_t OverlayColumnOf(const MovieDbRec& movie, int32_t entry, int32_t overlay) {
    for (const OverlayColumn& placed : OverlayColumns(movie))
        if (placed.entry == entry && placed.overlay == overlay) return placed.column;
    return 0;
}

}  // namespace composer
