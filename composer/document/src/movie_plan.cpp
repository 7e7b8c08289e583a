#include "document/movie_plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/duration.h"
#include "base/frame_rate_ratio.h"
#include "base/rounding.h"
#include "base/text_number.h"
#include "document/movie_db.h"
#include "document/output_repair.h"
#include "document/own_sound.h"

namespace composer {

namespace {

// A clip placed on the movie's time line, as the walk of the arranged track finds it: an arranged
// entry or one of its overlays.
struct PlacedClip {
    int32_t clip = 0;
    double start = 0.0;
    double duration = 0.0;
};

// A video's picture times when they cover its frames and its used range; null otherwise (pictures at
// one constant rate, a file not read, a record whose counts no longer match its file).
const PictureTimes* UsableTimes(const ClipRec& clip) {
    if (!clip.Times) return nullptr;
    const auto pictures = static_cast<int64_t>(clip.Times->starts.size());
    const bool inside = pictures == clip.FrameCount && clip.UseFirst >= 1 && clip.UseFirst <= clip.UseLast &&
                        clip.UseLast <= pictures;
    return inside ? clip.Times.get() : nullptr;
}

// The source frame shown at output frame f of a video that starts at output frame first: the last
// picture whose time is at or before the output frame's, counted in whole numbers so that at the
// clip's own rate every picture is shown once, in order. Pictures at uneven intervals are placed by
// their own times, from the first used one.
int32_t SourceFrame(const ClipRec& clip, int32_t f, int32_t first, FrameRateRatio outRate) {
    const int64_t elapsed = static_cast<int64_t>(f) - first;
    if (const PictureTimes* times = UsableTimes(clip))
        return PictureShownAfter(*times, clip.UseFirst - 1, clip.UseLast - 1, elapsed, outRate) + 1;
    const int64_t frame = clip.UseFirst + FramesBegunBy(elapsed, outRate, FrameRateRatioOf(clip.SrcFps));
    if (frame > clip.UseLast) return clip.UseLast;
    return static_cast<int32_t>(std::max<int64_t>(frame, std::numeric_limits<int32_t>::min()));
}

// Frames first .. last of the plan that exist (row 0 included; rows below 0 do not exist).
template <typename Visit>
void ForEachFrame(const MoviePlan& plan, int32_t first, int64_t last, Visit visit) {
    const auto end = static_cast<int32_t>(std::min<int64_t>(last, plan.TotalFrames));
    for (int32_t f = std::max(first, 0); f <= end; ++f) visit(f);
}

void FillMainClip(MoviePlan& plan, const MovieDbRec& movie, const PlacedClip& entry, double outFps,
                  FrameRateRatio outRate) {
    const ClipRec& clip = movie.Clips[entry.clip];
    if (clip.ClipType != ClipVideo && clip.ClipType != ClipPicture) return;
    const int32_t first = RoundToInt32(outFps * entry.start + 1);
    const int32_t last = RoundToInt32(outFps * entry.duration + first);
    ForEachFrame(plan, first, last, [&](int32_t f) {
        FrameRow& row = plan.FrameRows[f];
        row.MainClip = entry.clip;
        row.MainFrame = clip.ClipType == ClipVideo ? SourceFrame(clip, f, first, outRate) : 1;
    });
}

// An overlay is shown on the frames whose times fall from its start to its end, counted as the
// arranged clips are (output frame f shows the time (f - 1) / fps), so that its first picture
// appears at its delay, with its sound, and its last leaves when its time is up.
void FillLayers(MoviePlan& plan, const MovieDbRec& movie, const PlacedClip& overlay, double outFps,
                FrameRateRatio outRate) {
    const ClipRec& clip = movie.Clips[overlay.clip];
    if (clip.ClipType != ClipVideo && clip.ClipType != ClipPicture) return;
    const int32_t first = RoundToInt32(outFps * overlay.start + 1);
    const int32_t after = RoundToInt32(outFps * (overlay.start + overlay.duration) + 1);
    ForEachFrame(plan, first, int64_t{after} - 1, [&](int32_t f) {
        FrameRow& row = plan.FrameRows[f];
        const int32_t frame = clip.ClipType == ClipVideo ? SourceFrame(clip, f, first, outRate) : 1;
        row.Layers.push_back(LayerRef{overlay.clip, frame});
        ++row.LayerCount;
    });
}

}  // namespace

namespace {

double StoredDuration(const ClipRec& clip, bool onArrangedTrack) {
    switch (clip.ClipType) {
        case ClipVideo:
            if (const PictureTimes* times = UsableTimes(clip))
                return SecondsBetween(*times, clip.UseFirst - 1, clip.UseLast);
            return static_cast<double>(static_cast<int64_t>(clip.UseLast) - clip.UseFirst + 1) / clip.SrcFps;
        case ClipPicture:
            return clip.PicDuration;
        case ClipAudio:
            return onArrangedTrack ? 0.0 : clip.AudioDuration;
        default:
            return 0.0;
    }
}

// A movie whose rows would not fit is refused before any row is made.
void CheckPlanLength(double outFps, double movieEnd) {
    const double frames = outFps * movieEnd;
    if (frames <= static_cast<double>(kMaxPlanFrames)) return;
    const std::string length = std::isfinite(frames) ? FormatDuration(movieEnd) + " long, " +
                                                           FormatNumber(std::round(frames)) + " frames"
                                                     : "endless";
    throw MoviePlanTooLong("The movie would be " + length + " at " + FormatNumber(outFps) +
                           " frames per second; at most " + std::to_string(kMaxPlanFrames) +
                           " frames can be made. Check the picture durations and overlay delays.");
}

// The event of sound overlay `position` of `entry`, placed as `record` says. A video's own sound
// keeps its place and plays the stretch of the file's sound that goes with the video's used pictures.
AudioEvent SoundEvent(const MovieDbRec& movie, const ArrangeRec& entry, int32_t position,
                      const PlacedClip& record) {
    AudioEvent event{record.clip, record.start, record.start + record.duration};
    if (const int32_t video = OwnSoundVideo(movie, entry, position)) {
        const SoundSpan span = UsedSoundSpan(movie.Clips[static_cast<std::size_t>(video)],
                                             movie.Clips[static_cast<std::size_t>(record.clip)]);
        event.SourceStart = span.startSeconds;
        event.HeardLength = span.lengthSeconds;
        event.EndTime = event.StartTime + span.lengthSeconds;
    }
    return event;
}

}  // namespace

double ClipDuration(const ClipRec& clip, bool onArrangedTrack) {
    // A damaged record (a video rate of 0, a stored duration that is no number) takes no time rather
    // than an endless one, which would ask for a row for every frame up to the largest count.
    const double duration = StoredDuration(clip, onArrangedTrack);
    return std::isfinite(duration) ? duration : 0.0;
}

double UsedStartSeconds(const ClipRec& clip) {
    if (const PictureTimes* times = UsableTimes(clip)) return SecondsBetween(*times, 0, clip.UseFirst - 1);
    const double start = clip.SrcFps > 0 ? static_cast<double>(clip.UseFirst - 1) / clip.SrcFps : 0.0;
    return std::isfinite(start) ? std::max(start, 0.0) : 0.0;
}

MoviePlan BuildMoviePlan(const MovieDbRec& movie) {
    const double outFps = RepairedOutFps(movie.OutFps);
    MoviePlan plan;
    std::vector<PlacedClip> arranged;
    std::vector<PlacedClip> overlays;
    double start = 0.0;
    double movieEnd = 0.0;
    const int32_t arrangedCount =
        std::min<int64_t>(movie.ArrangedCount, static_cast<int64_t>(movie.Arranged.size()) - 1);
    for (int32_t i = 1; i <= arrangedCount; ++i) {
        const ArrangeRec& entry = movie.Arranged[i];
        const ClipRec* clip = ClipAt(movie, entry.ClipIndex);
        const double duration = clip ? ClipDuration(*clip, true) : 0.0;
        if (clip) arranged.push_back({entry.ClipIndex, start, duration});
        movieEnd = std::max(movieEnd, start + duration);
        const int32_t overlayCount =
            std::min<int64_t>(entry.OverlayCount, static_cast<int64_t>(entry.Overlays.size()) - 1);
        for (int32_t j = 1; j <= overlayCount; ++j) {
            const ClipRec* overlay = ClipAt(movie, entry.Overlays[j]);
            if (!overlay) continue;
            const PlacedClip record{entry.Overlays[j], start + overlay->OverlayDelay,
                                    ClipDuration(*overlay, false)};
            overlays.push_back(record);
            if (overlay->ClipType == ClipAudio) {
                // Sound never lengthens the movie: what runs past the last picture is cut off.
                plan.AudioEvents.push_back(SoundEvent(movie, entry, j, record));
                ++plan.AudioEventCount;
            } else {
                movieEnd = std::max(movieEnd, record.start + record.duration);
            }
        }
        start += duration;
    }
    plan.MovieDuration = movieEnd;
    CheckPlanLength(outFps, movieEnd);
    plan.TotalFrames = std::max(RoundToInt32(outFps * movieEnd), 0);
    plan.FrameRows.assign(static_cast<std::size_t>(plan.TotalFrames) + 1, FrameRow{});
    const FrameRateRatio outRate = FrameRateRatioOf(outFps);
    for (const PlacedClip& entry : arranged) FillMainClip(plan, movie, entry, outFps, outRate);
    for (const PlacedClip& overlay : overlays) FillLayers(plan, movie, overlay, outFps, outRate);
    return plan;
}

}  // namespace composer
