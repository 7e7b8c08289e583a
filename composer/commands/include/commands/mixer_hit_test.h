#pragma once
// Which clip a mouse press in one of the mixer's boxes hits. Boxes are 180 units wide on a pitch of
// 200, so a press in the 20-unit gap between two boxes, or outside the rows, hits nothing.
#include <cstdint>

#include "document/movie_records.h"

namespace composer {

// The box n of a row whose x range [trackX + (n - 1) x 200, that + 180] holds x; 0 for a gap.
int32_t ColumnAt(int32_t trackX, int32_t x);

// The upper box: an arranged clip for y in 40 .. 175, an overlay (by its overlay column) for y in
// 215 .. 350. The clip index, or 0.
int32_t MovieBoxClipAt(const MovieDbRec& movie, int32_t arrangedTrackX, int32_t x, int32_t y);

// The lower box: an unused clip for y in 40 .. 175. The clip index, or 0.
int32_t UnusedBoxClipAt(const MovieDbRec& movie, int32_t unusedTrackX, int32_t x, int32_t y);

}  // namespace composer
