#include "document/movie_db.h"

#include <algorithm>

namespace composer {

namespace {

// The last valid index of a 1-based array: its count, but never past the entries it really has.
template <typename T>
int32_t LastIndex(int32_t count, const std::vector<T>& entries) {
    return std::min<int64_t>(count, static_cast<int64_t>(entries.size()) - 1);
}

}  // namespace

TrackPlace FindCurClip(const MovieDbRec& movie) {
    const int32_t current = movie.CurClip;
    if (current < 1) return {};
    for (int32_t p = 1; p <= LastIndex(movie.ArrangedCount, movie.Arranged); ++p) {
        const ArrangeRec& entry = movie.Arranged[p];
        if (entry.ClipIndex == current) return {TrackKind::Arranged, p, 0};
        for (int32_t q = 1; q <= LastIndex(entry.OverlayCount, entry.Overlays); ++q)
            if (entry.Overlays[q] == current) return {TrackKind::Overlay, p, q};
    }
    for (int32_t p = 1; p <= LastIndex(movie.UnusedCount, movie.Unused); ++p)
        if (movie.Unused[p] == current) return {TrackKind::Unused, p, 0};
    return {};
}

void SelectClip(MovieDbRec& movie, int32_t index) {
    movie.CurClip = movie.ClipCount < 1 ? 0 : std::clamp(index, 1, movie.ClipCount);
}

void InitClipColors(ClipRec& clip) {
    clip.TransColorCount = 0;
    clip.TransColors.assign(1, TransColorRec{});
}

const ClipRec* ClipAt(const MovieDbRec& movie, int32_t index) {
    if (index < 1 || index > movie.ClipCount || index >= static_cast<int32_t>(movie.Clips.size()))
        return nullptr;
    return &movie.Clips[static_cast<std::size_t>(index)];
}

void ClearMovie(MovieDbRec& movie) {
    movie.CurClip = 0;
    movie.ClipCount = 0;
    movie.ArrangedCount = 0;
    movie.UnusedCount = 0;
    movie.Clips.assign(1, ClipRec{});
    movie.Arranged.assign(1, ArrangeRec{});
    movie.Unused.assign(1, 0);
    movie.ProjectPath.clear();
    movie.OutputPath.clear();
    movie.MovieName = "New Movie";
}

}  // namespace composer
