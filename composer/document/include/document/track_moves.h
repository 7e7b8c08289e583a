#pragma once
// The mixer's moves of the current clip between and along the tracks. Each works on the current
// clip of the movie it is given and does nothing when the clip does not stand where the move needs
// it, or when the move would carry it past the end of a track. The clip stays current. After a
// change each asks the view seam to redraw the tracks it changed; the two refusals the mixer
// explains are shown through the interaction seam. Each returns whether the tracks changed.
//
// The moves straight up or down use the track x values of the arranged and unused tracks (their
// scroll positions), as the column across is where the user sees the clip go.
#include <cstdint>

#include "document/movie_records.h"

namespace composer {

enum class ShiftDirection { Left, Right };

// Swaps the current arranged entry (with its overlays) with its neighbour.
bool ShiftArrangedClip(MovieDbRec& movie, ShiftDirection direction);

// Swaps the current unused clip with its neighbour on the shelf.
bool ShiftUnusedClip(MovieDbRec& movie, ShiftDirection direction);

// Moves the current overlay one place: within its entry's overlays by a swap, past the first or
// last overlay to the end of the previous entry's overlays or the front of the next entry's.
bool ShiftOverlayClip(MovieDbRec& movie, ShiftDirection direction);

// Drops the current arranged clip, followed by all its overlays in their order, onto the shelf at
// the position straight below its column (past the end: at the end), and removes its entry.
bool DropArrangedClip(MovieDbRec& movie, int32_t arrangedTrackX, int32_t unusedTrackX);

// Drops the current overlay onto the shelf at the position straight below its overlay column.
bool DropOverlayClip(MovieDbRec& movie, int32_t arrangedTrackX, int32_t unusedTrackX);

// Makes the current unused clip a new arranged entry at the position straight above it (past the
// end: at the end). A sound clip is refused with "Audio can not be arranged," CR LF "it can only
// overlay another clip".
bool ArrangeUnusedClip(MovieDbRec& movie, int32_t arrangedTrackX, int32_t unusedTrackX);

// Attaches the current unused clip as the last overlay of the arranged entry straight above it
// (past the end: the last entry). With no arranged entry: "Please arrange a clip first before
// overlay". The clip keeps its overlay delay.
bool OverlayUnusedClip(MovieDbRec& movie, int32_t arrangedTrackX, int32_t unusedTrackX);

}  // namespace composer
