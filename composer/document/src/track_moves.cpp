#include "document/track_moves.h"

#include <utility>

#include "base/interaction.h"
#include "base/view.h"
#include "document/movie_db.h"
#include "document/track_geometry.h"
#include "track_arrays.h"

namespace composer {

namespace {

// The current clip's place when it is of the given kind; kind None otherwise.
TrackPlace PlaceOfKind(const MovieDbRec& movie, TrackKind kind) {
    if (movie.CurClip < 1 || movie.CurClip > movie.ClipCount) return {};
    const TrackPlace place = FindCurClip(movie);
    return place.kind == kind ? place : TrackPlace{};
}

// The neighbour of position p in 1 .. count in a direction; 0 when there is none.
int32_t Neighbour(int32_t p, int32_t count, ShiftDirection direction) {
    const int32_t q = direction == ShiftDirection::Left ? p - 1 : p + 1;
    return (q >= 1 && q <= count) ? q : 0;
}

// A position across, clamped to 1 .. count + 1; 0 when it lies before the track.
int32_t InsertPositionAcross(int32_t across, int32_t count) {
    if (across < 1) return 0;
    return across > count ? count + 1 : across;
}

void RedrawBothTracks() {
    DrawMovieTracks();
    DrawUnusedTrack();
}

}  // namespace

bool ShiftArrangedClip(MovieDbRec& movie, ShiftDirection direction) {
    const TrackPlace place = PlaceOfKind(movie, TrackKind::Arranged);
    if (place.kind == TrackKind::None) return false;
    const int32_t other = Neighbour(place.position, movie.ArrangedCount, direction);
    if (other == 0) return false;
    std::swap(movie.Arranged[place.position], movie.Arranged[other]);
    DrawMovieTracks();
    return true;
}

bool ShiftUnusedClip(MovieDbRec& movie, ShiftDirection direction) {
    const TrackPlace place = PlaceOfKind(movie, TrackKind::Unused);
    if (place.kind == TrackKind::None) return false;
    const int32_t other = Neighbour(place.position, movie.UnusedCount, direction);
    if (other == 0) return false;
    std::swap(movie.Unused[place.position], movie.Unused[other]);
    DrawUnusedTrack();
    return true;
}

bool ShiftOverlayClip(MovieDbRec& movie, ShiftDirection direction) {
    const TrackPlace place = PlaceOfKind(movie, TrackKind::Overlay);
    if (place.kind == TrackKind::None) return false;
    const int32_t a = place.position;
    const int32_t k = place.overlayPosition;
    ArrangeRec& entry = movie.Arranged[a];
    const int32_t clip = entry.Overlays[k];
    if (const int32_t other = Neighbour(k, entry.OverlayCount, direction); other != 0) {
        std::swap(entry.Overlays[k], entry.Overlays[other]);
    } else {
        const int32_t target = Neighbour(a, movie.ArrangedCount, direction);
        if (target == 0) return false;
        RemoveAt(entry.Overlays, entry.OverlayCount, k);
        ArrangeRec& into = movie.Arranged[target];
        const int32_t at = direction == ShiftDirection::Left ? into.OverlayCount + 1 : 1;
        InsertAt(into.Overlays, into.OverlayCount, at, clip);
    }
    DrawMovieTracks();
    return true;
}

bool DropArrangedClip(MovieDbRec& movie, int32_t arrangedTrackX, int32_t unusedTrackX) {
    const TrackPlace place = PlaceOfKind(movie, TrackKind::Arranged);
    if (place.kind == TrackKind::None) return false;
    int32_t at =
        InsertPositionAcross(ColumnAcross(place.position, arrangedTrackX, unusedTrackX), movie.UnusedCount);
    if (at == 0) return false;
    const ArrangeRec entry = movie.Arranged[place.position];
    InsertAt(movie.Unused, movie.UnusedCount, at++, entry.ClipIndex);
    for (int32_t k = 1; k <= entry.OverlayCount; ++k)
        InsertAt(movie.Unused, movie.UnusedCount, at++, entry.Overlays[k]);
    RemoveAt(movie.Arranged, movie.ArrangedCount, place.position);
    RedrawBothTracks();
    return true;
}

bool DropOverlayClip(MovieDbRec& movie, int32_t arrangedTrackX, int32_t unusedTrackX) {
    const TrackPlace place = PlaceOfKind(movie, TrackKind::Overlay);
    if (place.kind == TrackKind::None) return false;
    const int32_t column = OverlayColumnOf(movie, place.position, place.overlayPosition);
    const int32_t at =
        InsertPositionAcross(ColumnAcross(column, arrangedTrackX, unusedTrackX), movie.UnusedCount);
    if (at == 0) return false;
    ArrangeRec& entry = movie.Arranged[place.position];
    InsertAt(movie.Unused, movie.UnusedCount, at, entry.Overlays[place.overlayPosition]);
    RemoveAt(entry.Overlays, entry.OverlayCount, place.overlayPosition);
    RedrawBothTracks();
    return true;
}

bool ArrangeUnusedClip(MovieDbRec& movie, int32_t arrangedTrackX, int32_t unusedTrackX) {
    if (movie.CurClip >= 1 && movie.CurClip <= movie.ClipCount &&
        movie.Clips[movie.CurClip].ClipType == ClipAudio) {
        MsgBox("Audio can not be arranged,\r\nit can only overlay another clip");
        return false;
    }
    const TrackPlace place = PlaceOfKind(movie, TrackKind::Unused);
    if (place.kind == TrackKind::None) return false;
    const int32_t at =
        InsertPositionAcross(ColumnAcross(place.position, unusedTrackX, arrangedTrackX), movie.ArrangedCount);
    if (at == 0) return false;
    ArrangeRec entry;
    entry.ClipIndex = movie.Unused[place.position];
    InsertAt(movie.Arranged, movie.ArrangedCount, at, entry);
    RemoveAt(movie.Unused, movie.UnusedCount, place.position);
    RedrawBothTracks();
    return true;
}

bool OverlayUnusedClip(MovieDbRec& movie, int32_t arrangedTrackX, int32_t unusedTrackX) {
    if (movie.ArrangedCount == 0) {
        MsgBox("Please arrange a clip first before overlay");
        return false;
    }
    const TrackPlace place = PlaceOfKind(movie, TrackKind::Unused);
    if (place.kind == TrackKind::None) return false;
    int32_t a = ColumnAcross(place.position, unusedTrackX, arrangedTrackX);
    if (a < 1) return false;
    if (a > movie.ArrangedCount) a = movie.ArrangedCount;
    ArrangeRec& entry = movie.Arranged[a];
    InsertAt(entry.Overlays, entry.OverlayCount, entry.OverlayCount + 1, movie.Unused[place.position]);
    RemoveAt(movie.Unused, movie.UnusedCount, place.position);
    RedrawBothTracks();
    return true;
}

}  // namespace composer
