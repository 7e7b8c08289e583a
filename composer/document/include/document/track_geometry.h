#pragma once
// Where the mixer shows the movie's tracks: the box grid shared by the track drawing, the mouse
// selection and the moves that carry a clip straight up or down to the other track. Units are
// those of the mixer's drawing surface (one unit is one pixel at the normal scale).
#include <cstdint>
#include <vector>

#include "document/movie_records.h"

namespace composer {

inline constexpr int32_t kBoxPitch = 200;  // box n of a track starts at track x + (n - 1) x pitch
inline constexpr int32_t kBoxWidth = 180;  // so boxes lie 20 units apart
inline constexpr int32_t kFirstTrackX = 20;
// The rows' y ranges (inclusive): the arranged and unused rows, and the overlay row below the
// arranged one.
inline constexpr int32_t kRowTop = 40;
inline constexpr int32_t kRowBottom = 175;
inline constexpr int32_t kOverlayRowTop = 215;
inline constexpr int32_t kOverlayRowBottom = 350;

// The track x of a scroll position: 20 - 200 x value.
int32_t TrackXOfScroll(int32_t scrollValue);

// The left edge of column n (1-based) of a track.
int32_t BoxLeft(int32_t trackX, int32_t column);

// The column of the other track that lies straight above or below column n of this one:
// (this track x + (n - 1) x 200 - other track x) / 200 + 1, rounded. May lie outside the other
// track (below 1 or past its end); the caller decides what that means.
int32_t ColumnAcross(int32_t column, int32_t thisTrackX, int32_t otherTrackX);

// One overlay and the column of the overlay row it is drawn in.
struct OverlayColumn {
    int32_t entry = 0;    // arranged entry the overlay belongs to
    int32_t overlay = 0;  // its position in that entry's overlays
    int32_t clip = 0;     // clip index
    int32_t column = 0;   // 1-based column of the overlay row
};

// Every overlay in track order with its column: the overlays of entry i start under column i,
// each at max(previous overlay's column + 1, i + k - 1), so earlier overlays push later ones right.
std::vector<OverlayColumn> OverlayColumns(const MovieDbRec& movie);

// The column of overlay k of arranged entry a; 0 when there is no such overlay.
int32_t OverlayColumnOf(const MovieDbRec& movie, int32_t entry, int32_t overlay);

}  // namespace composer
