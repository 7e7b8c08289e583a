#pragma once
// The timeline plan: what every output frame shows and which sounds play when. The render driver
// draws frame after frame from it and the sound mix mixes its events. It is rebuilt from the movie
// before every render and never edited.
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "document/audio_event.h"
#include "document/movie_records.h"

namespace composer {

// One overlay layer of an output frame.
struct LayerRef {
    int32_t Clip = 0;   // clip index
    int32_t Frame = 0;  // 1-based source frame; 1 for a picture
};

// One output frame.
struct FrameRow {
    int32_t MainClip = 0;   // the arranged clip shown; 0 = none covers this frame
    int32_t MainFrame = 0;  // its 1-based source frame (1 for a picture)
    std::vector<LayerRef> Layers = std::vector<LayerRef>(1);  // 1 .. LayerCount, in drawing order
    int32_t LayerCount = 0;
};

struct MoviePlan {
    double MovieDuration = 0.0;  // seconds
    int32_t TotalFrames = 0;
    std::vector<FrameRow> FrameRows = std::vector<FrameRow>(1);  // 0 .. TotalFrames; row 0 is not rendered
    std::vector<AudioEvent> AudioEvents = std::vector<AudioEvent>(1);  // 1 .. AudioEventCount
    int32_t AudioEventCount = 0;
};

// The most output frames a plan holds: a day and more at 30 frames a second, some hundred megabytes
// of rows. A damaged or hand-written picture duration or overlay delay can ask for far more; such
// a movie is refused before anything is sized by it.
inline constexpr int64_t kMaxPlanFrames = 3'000'000;

// Thrown by BuildMoviePlan for a movie longer than kMaxPlanFrames output frames; the text says how
// long it would be, for the user.
class MoviePlanTooLong : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Seconds a clip takes on the timeline: a video its used range at its own rate (from the start of
// its first used picture to the end of its last when its pictures come at uneven intervals), a
// picture its PicDuration, a sound AudioDuration as an overlay and no time at all on the arranged track.
double ClipDuration(const ClipRec& clip, bool onArrangedTrack);

// Seconds from the start of a video's first picture to the start of its first used one:
// (UseFirst - 1) / SrcFps, or the pictures' own times when they come at uneven intervals.
double UsedStartSeconds(const ClipRec& clip);

// The plan of a movie. The arranged clips play one after another from 0; overlays start at their
// arranged clip's start plus their OverlayDelay; sounds become events and never lengthen the movie.
// Output frame f shows the time (f - 1) / fps. Frame numbers are rounded halves to even: an arranged
// clip covers round(fps x start + 1) .. round(fps x duration + first), lowered to TotalFrames, and
// where two arranged clips meet, the later one takes the shared frame; an overlay covers
// round(fps x start + 1) .. round(fps x end + 1) - 1, the frames whose times fall from its start to
// its end, so that its first picture shows at its delay.
// A source frame is UseFirst + floor((frame - first) / fps x SrcFps), at most UseLast, computed
// exactly from the ratios of the two rates (see FrameRateRatioOf); a video whose pictures come at
// uneven intervals (ClipRec::Times) shows the last used picture whose time after the first used one
// is at or before (frame - first) / fps. A video's own sound (own_sound.h) plays from the time of its
// video's first used frame for the used frames' duration.
// Output settings that cannot be rendered are taken as repaired (RepairOutputSettings). Throws
// MoviePlanTooLong when the movie would have more than kMaxPlanFrames frames.
MoviePlan BuildMoviePlan(const MovieDbRec& movie);

}  // namespace composer
