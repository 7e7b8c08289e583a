#pragma once
// A video's own sound: the sound clip that adding a video makes of the video file's sound track
// ("Audio of ..."). It must play with the pictures the video clip uses, not the whole track from the
// file's first sample, or a trimmed clip is heard late and its sound runs past its pictures.
//
// The project file holds no link between the two clips, and it keeps its layout; the link is read
// from what the records do hold. A sound clip whose file is a video file is the sound track of that
// video (sound clips are made of video files by nothing else). It is the own sound of a video clip
// of the same file (paths compared as the clip names compare them, letter case aside) placed on the
// same arranged entry: the arranged clip itself, else the nearest such video overlay before the sound
// in overlay order (where adding puts the sound), else the nearest after it. Names are not compared:
// renaming either clip must not part them. A sound clip that overlays no video of its file, and
// every other sound, plays whole from its placement as before.
#include <cstdint>
#include <optional>

#include "document/movie_records.h"

namespace composer {

// The part of a sound that is heard: from startSeconds into the sound, lengthSeconds long.
struct SoundSpan {
    double startSeconds = 0.0;
    double lengthSeconds = 0.0;
    friend bool operator==(const SoundSpan&, const SoundSpan&) = default;
};

// The video clip whose own sound is overlay `overlayPosition` (1-based) of `entry`; 0 when that overlay
// is no video's own sound. Indices that name no clip are skipped.
int32_t OwnSoundVideo(const MovieDbRec& movie, const ArrangeRec& entry, int32_t overlayPosition);

// The span of `sound` that goes with the used range of `video`: from the time of its first used frame
// (UsedStartSeconds), for the used frames' duration, cut at the end of the sound (never below 0).
SoundSpan UsedSoundSpan(const ClipRec& video, const ClipRec& sound);

// The span of sound clip `soundIndex` heard in the movie, wherever it overlays a video of its file
// (the first such overlay in track order); nothing when it is no video's own sound and plays whole.
std::optional<SoundSpan> OwnSoundSpanOf(const MovieDbRec& movie, int32_t soundIndex);

}  // namespace composer
