#include "commands/mixer_hit_test.h"

#include "document/track_geometry.h"

namespace composer {

namespace {

bool InRow(int32_t y, int32_t top, int32_t bottom) { return y >= top && y <= bottom; }

}  // namespace

int32_t ColumnAt(int32_t trackX, int32_t x) {
    const int32_t offset = x - trackX;
    if (offset < 0) return 0;
    const int32_t column = offset / kBoxPitch + 1;
    return offset - (column - 1) * kBoxPitch <= kBoxWidth ? column : 0;
}

int32_t MovieBoxClipAt(const MovieDbRec& movie, int32_t arrangedTrackX, int32_t x, int32_t y) {
    const int32_t column = ColumnAt(arrangedTrackX, x);
    if (column == 0) return 0;
    if (InRow(y, kRowTop, kRowBottom))
        return column <= movie.ArrangedCount ? movie.Arranged[static_cast<std::size_t>(column)].ClipIndex : 0;
    if (InRow(y, kOverlayRowTop, kOverlayRowBottom)) {
        for (const OverlayColumn& placed : OverlayColumns(movie))
            if (placed.column == column) return placed.clip;
    }
    return 0;
}

int32_t UnusedBoxClipAt(const MovieDbRec& movie, int32_t unusedTrackX, int32_t x, int32_t y) {
    const int32_t column = ColumnAt(unusedTrackX, x);
    if (column == 0 || !InRow(y, kRowTop, kRowBottom) || column > movie.UnusedCount) return 0;
    return movie.Unused[static_cast<std::size_t>(column)];
}

}  // namespace composer
