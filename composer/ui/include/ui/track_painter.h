#pragma once
// Draws the mixer's rows: the arranged row with its "At start [duration]" captions and the overlay
// row under it (in the upper box), and the unused shelf with names and durations (in the lower
// box). Each box shows its clip's frame or picture scaled into it, a sound's text lines, or
// " File not found"; the current clip is marked by a rectangle 12 units around its box in the
// colour 0x808000 (as 0x00BBGGRR). Only boxes at least partly inside the visible width are drawn.
#include <QColor>
#include <QRect>
#include <cstdint>

#include "document/movie_records.h"

class QPainter;

namespace composer {

class ThumbnailCache;

// The current-clip mark's colour.
QColor CurrentClipMarkColor();

struct TrackPaint {
    QPainter& painter;
    const MovieDbRec& movie;
    ThumbnailCache& thumbnails;
    int32_t trackX = 20;
    int visibleWidth = 0;
    qreal pixelRatio = 1.0;
};

// The arranged and overlay rows; returns how many boxes were drawn.
int PaintMovieTracks(const TrackPaint& paint);

// The unused shelf; returns how many boxes were drawn.
int PaintUnusedTrack(const TrackPaint& paint);

// The rectangle of box `column` of a row whose top is `rowTop`.
QRect BoxRect(int32_t trackX, int32_t column, int32_t rowTop);

}  // namespace composer
