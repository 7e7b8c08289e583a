// The commands on the current clip: clone, delete, rename.
#include "document/clip_commands.h"

#include <algorithm>
#include <optional>

#include "base/interaction.h"
#include "base/view.h"
#include "track_arrays.h"

namespace composer {

namespace {

// The current clip's place, or nothing to do.
std::optional<TrackPlace> CurrentPlace(const MovieDbRec& movie) {
    if (movie.CurClip < 1 || movie.CurClip > movie.ClipCount) return std::nullopt;
    const TrackPlace place = FindCurClip(movie);
    if (place.kind == TrackKind::None) return std::nullopt;
    return place;
}

void RedrawTrack(TrackKind kind) {
    if (kind == TrackKind::Unused)
        DrawUnusedTrack();
    else
        DrawMovieTracks();
}

void SelectAndShow(MovieDbRec& movie, int32_t index) {
    SelectClip(movie, index);
    DrawClipPanel();
}

// Every clip index stored on the tracks above `deleted` moves one down.
void RenumberAfterDelete(MovieDbRec& movie, int32_t deleted) {
    auto lower = [deleted](int32_t& index) {
        if (index >= deleted) --index;
    };
    for (int32_t p = 1; p <= movie.ArrangedCount; ++p) {
        ArrangeRec& entry = movie.Arranged[p];
        lower(entry.ClipIndex);
        for (int32_t q = 1; q <= entry.OverlayCount; ++q) lower(entry.Overlays[q]);
    }
    for (int32_t p = 1; p <= movie.UnusedCount; ++p) lower(movie.Unused[p]);
}

// Takes the clip's reference off its track.
void RemoveFromTrack(MovieDbRec& movie, const TrackPlace& place) {
    switch (place.kind) {
        case TrackKind::Arranged:
            RemoveAt(movie.Arranged, movie.ArrangedCount, place.position);
            return;
        case TrackKind::Overlay: {
            ArrangeRec& entry = movie.Arranged[place.position];
            RemoveAt(entry.Overlays, entry.OverlayCount, place.overlayPosition);
            return;
        }
        default:
            RemoveAt(movie.Unused, movie.UnusedCount, place.position);
    }
}

// The clip at the deleted clip's old place after the delete: the entry now there, else the last of
// that track; for an overlay the entry's own clip when it has no overlays left.
int32_t ClipAtOldPlace(const MovieDbRec& movie, const TrackPlace& place) {
    switch (place.kind) {
        case TrackKind::Arranged:
            return movie.ArrangedCount < 1
                       ? 0
                       : movie.Arranged[std::min(place.position, movie.ArrangedCount)].ClipIndex;
        case TrackKind::Overlay: {
            const ArrangeRec& entry = movie.Arranged[place.position];
            if (entry.OverlayCount < 1) return entry.ClipIndex;
            return entry.Overlays[std::min(place.overlayPosition, entry.OverlayCount)];
        }
        default:
            return movie.UnusedCount < 1 ? 0 : movie.Unused[std::min(place.position, movie.UnusedCount)];
    }
}

}  // namespace

void CloneClip(MovieDbRec& movie) {
    const std::optional<TrackPlace> place = CurrentPlace(movie);
    if (!place) return;
    ClipRec copy = movie.Clips[movie.CurClip];
    if (copy.ClipType == ClipAudio) {
        copy.CacheLeftFile.clear();
        copy.CacheRightFile.clear();
        copy.CacheBits = copy.CacheChannels = copy.CacheRate = copy.CacheFrames = 0;
    }
    copy.ClipName += "_Clone";
    movie.Clips.resize(static_cast<std::size_t>(movie.ClipCount) + 1);
    movie.Clips.push_back(copy);
    const int32_t index = ++movie.ClipCount;
    switch (place->kind) {
        case TrackKind::Arranged: {
            ArrangeRec entry;
            entry.ClipIndex = index;
            InsertAt(movie.Arranged, movie.ArrangedCount, place->position + 1, entry);
            break;
        }
        case TrackKind::Overlay: {
            ArrangeRec& entry = movie.Arranged[place->position];
            InsertAt(entry.Overlays, entry.OverlayCount, place->overlayPosition + 1, index);
            break;
        }
        default:
            InsertAt(movie.Unused, movie.UnusedCount, place->position + 1, index);
    }
    SelectAndShow(movie, index);
    RedrawTrack(place->kind);
}

void DeleteClip(MovieDbRec& movie) {
    const std::optional<TrackPlace> place = CurrentPlace(movie);
    if (!place) return;
    if (place->kind == TrackKind::Arranged) {
        const int32_t overlays = movie.Arranged[place->position].OverlayCount;
        if (overlays > 0) {
            MsgBox("There are " + std::to_string(overlays) +
                       " overlay (dependent) clips.\r\n"
                       "Drop them or delete them before deleting this clip.",
                   MsgButtons::OK, "Delete Failed");
            return;
        }
    }
    if (!AskYesNo("Are you sure to delete this clip?", "Delete clip")) return;
    const int32_t deleted = movie.CurClip;
    RemoveFromTrack(movie, *place);
    RemoveAt(movie.Clips, movie.ClipCount, deleted);
    RenumberAfterDelete(movie, deleted);
    SelectAndShow(movie, ClipAtOldPlace(movie, *place));
    DrawMovieTracks();
    DrawUnusedTrack();
}

void RenameClip(MovieDbRec& movie) {
    const std::optional<TrackPlace> place = CurrentPlace(movie);
    if (!place) return;
    ClipRec& clip = movie.Clips[movie.CurClip];
    const std::optional<std::string> name = InputBox("Enter new name for clip", "Rename Clip", clip.ClipName);
    if (!name || name->empty()) return;
    clip.ClipName = *name;
    RedrawTrack(place->kind);
}

}  // namespace composer
