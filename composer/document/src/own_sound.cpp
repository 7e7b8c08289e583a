#include "document/own_sound.h"

#include <algorithm>

#include "base/text_number.h"
#include "document/clip_file_kinds.h"
#include "document/movie_db.h"
#include "document/movie_plan.h"

namespace composer {

namespace {

int32_t OverlayCountOf(const ArrangeRec& entry) {
    return static_cast<int32_t>(
        std::min<int64_t>(entry.OverlayCount, static_cast<int64_t>(entry.Overlays.size()) - 1));
}

// Whether clip `index` is a video of the file `foldedPath` (already in lower case).
bool IsVideoOfFile(const MovieDbRec& movie, int32_t index, const std::string& foldedPath) {
    const ClipRec* clip = ClipAt(movie, index);
    return clip && clip->ClipType == ClipVideo && LowerAscii(clip->FilePath) == foldedPath;
}

// The video overlay of the file nearest to `position`, first looking back, then ahead; 0 for none.
int32_t NearestVideoOverlay(const MovieDbRec& movie, const ArrangeRec& entry, int32_t position,
                            const std::string& foldedPath) {
    for (int32_t j = position - 1; j >= 1; --j)
        if (IsVideoOfFile(movie, entry.Overlays[static_cast<std::size_t>(j)], foldedPath))
            return entry.Overlays[static_cast<std::size_t>(j)];
    const int32_t count = OverlayCountOf(entry);
    for (int32_t j = position + 1; j <= count; ++j)
        if (IsVideoOfFile(movie, entry.Overlays[static_cast<std::size_t>(j)], foldedPath))
            return entry.Overlays[static_cast<std::size_t>(j)];
    return 0;
}

}  // namespace

int32_t OwnSoundVideo(const MovieDbRec& movie, const ArrangeRec& entry, int32_t overlayPosition) {
    if (overlayPosition < 1 || overlayPosition > OverlayCountOf(entry)) return 0;
    const ClipRec* sound = ClipAt(movie, entry.Overlays[static_cast<std::size_t>(overlayPosition)]);
    if (!sound || sound->ClipType != ClipAudio || ClipTypeOfFile(sound->FilePath) != ClipVideo) return 0;
    const std::string foldedPath = LowerAscii(sound->FilePath);
    if (IsVideoOfFile(movie, entry.ClipIndex, foldedPath)) return entry.ClipIndex;
    return NearestVideoOverlay(movie, entry, overlayPosition, foldedPath);
}

SoundSpan UsedSoundSpan(const ClipRec& video, const ClipRec& sound) {
    // The sound heard with the first used picture is the sound of that picture's time.
    SoundSpan span;
    span.startSeconds = UsedStartSeconds(video);
    const double soundLength = ClipDuration(sound, false) - span.startSeconds;
    span.lengthSeconds = std::max(std::min(ClipDuration(video, true), soundLength), 0.0);
    return span;
}

std::optional<SoundSpan> OwnSoundSpanOf(const MovieDbRec& movie, int32_t soundIndex) {
    const int32_t arrangedCount = static_cast<int32_t>(
        std::min<int64_t>(movie.ArrangedCount, static_cast<int64_t>(movie.Arranged.size()) - 1));
    for (int32_t i = 1; i <= arrangedCount; ++i) {
        const ArrangeRec& entry = movie.Arranged[static_cast<std::size_t>(i)];
        for (int32_t j = 1; j <= OverlayCountOf(entry); ++j) {
            if (entry.Overlays[static_cast<std::size_t>(j)] != soundIndex) continue;
            if (const int32_t video = OwnSoundVideo(movie, entry, j))
                return UsedSoundSpan(movie.Clips[static_cast<std::size_t>(video)],
                                     movie.Clips[static_cast<std::size_t>(soundIndex)]);
        }
    }
    return std::nullopt;
}

}  // namespace composer
