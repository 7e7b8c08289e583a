// AddClip: a new clip from a file, placed on a track.
#include "document/add_clip.h"

#include <algorithm>

#include "base/files.h"
#include "base/text_number.h"
#include "base/view.h"
#include "document/clip_file_kinds.h"
#include "track_arrays.h"

namespace composer {

namespace {

// What the probe read about the new clip's source, before anything in the movie is changed.
struct SourceFacts {
    int32_t clipType = 0;
    VideoFacts video;
    PictureFacts picture;
    AudioFacts audio;
};

Outcome<SourceFacts> ReadSource(const std::string& path, SourceProbe& probe) {
    using Read = Outcome<SourceFacts>;
    SourceFacts facts;
    facts.clipType = ClipTypeOfFile(path);
    switch (facts.clipType) {
        case ClipPicture: {
            const auto picture = probe.ProbePicture(path);
            if (!picture) return Read::Refused(picture.Reason());
            facts.picture = *picture;
            break;
        }
        case ClipVideo: {
            const auto video = probe.ProbeVideo(path);
            if (!video) return Read::Refused(video.Reason());
            if (video->frameCount < 1) return Read::Refused("it holds no frames");
            facts.video = *video;
            break;
        }
        case ClipAudio: {
            const auto audio = probe.ProbeAudio(path);
            if (!audio) return Read::Refused(audio.Reason());
            facts.audio = *audio;
            break;
        }
        default:
            return Read::Refused("it is not a video, picture or sound file");
    }
    return facts;
}

void FillAudio(ClipRec& clip, const AudioFacts& audio) {
    clip.AudioFile = audio.audioFile;
    clip.AudioProblem = audio.damage;
    clip.AudioBits = audio.bits;
    clip.AudioChannels = audio.channels;
    clip.AudioRate = audio.rate;
    clip.AudioFrames = audio.frames;
    clip.AudioDuration = audio.duration;
}

// A new clip slot at the end, with no transparent colours; its index.
int32_t AppendClip(MovieDbRec& movie, int32_t clipType, const std::string& path) {
    movie.Clips.resize(static_cast<std::size_t>(movie.ClipCount) + 1);
    movie.Clips.emplace_back();
    const int32_t index = ++movie.ClipCount;
    ClipRec& clip = movie.Clips[index];
    InitClipColors(clip);
    clip.ClipType = clipType;
    clip.FilePath = path;
    return index;
}

std::string NewClipName(const MovieDbRec& movie, const std::string& path, int32_t clipType) {
    const std::string base = LastPathComponent(path);
    const std::string folded = LowerAscii(path);
    for (int32_t i = 1; i < movie.ClipCount; ++i)
        if (LowerAscii(movie.Clips[i].FilePath) == folded)
            return base + "_New_" + std::to_string(movie.ClipCount);
    return clipType == ClipAudio ? "Audio_" + base : base;
}

void FillClip(ClipRec& clip, const SourceFacts& facts) {
    switch (facts.clipType) {
        case ClipVideo:
            clip.SrcFps = facts.video.fps;
            clip.FrameCount = facts.video.frameCount;
            clip.Times = facts.video.times;
            clip.SrcWidth = facts.video.width;
            clip.SrcHeight = facts.video.height;
            clip.UseFirst = 1;
            clip.UseLast = clip.FrameCount;
            clip.CurFrame = 1;
            break;
        case ClipPicture:
            clip.SrcWidth = facts.picture.width;
            clip.SrcHeight = facts.picture.height;
            clip.CurFrame = 1;
            clip.PicDuration = 1.0;
            break;
        default:
            FillAudio(clip, facts.audio);
    }
}

void NewArrangedEntry(MovieDbRec& movie, int32_t at, int32_t clipIndex) {
    ArrangeRec entry;
    entry.ClipIndex = clipIndex;
    InsertAt(movie.Arranged, movie.ArrangedCount, at, entry);
}

// Places clip `index` and writes the place used back into position and overlayPosition.
void PlaceClip(MovieDbRec& movie, int32_t index, TrackKind placement, int32_t& position,
               int32_t& overlayPosition) {
    switch (placement) {
        case TrackKind::Overlay: {
            position = std::clamp(position, 1, movie.ArrangedCount);
            ArrangeRec& entry = movie.Arranged[position];
            overlayPosition = InsertPosition(overlayPosition, entry.OverlayCount);
            InsertAt(entry.Overlays, entry.OverlayCount, overlayPosition, index);
            break;
        }
        case TrackKind::Unused:
            position = InsertPosition(position, movie.UnusedCount);
            InsertAt(movie.Unused, movie.UnusedCount, position, index);
            break;
        case TrackKind::Arranged:
            position = InsertPosition(position, movie.ArrangedCount);
            NewArrangedEntry(movie, position, index);
            break;
        default:
            position = movie.ArrangedCount + 1;
            NewArrangedEntry(movie, position, index);
    }
}

// The sound track of a video, as a clip right beside the video clip's place.
void AddSoundTrackClip(MovieDbRec& movie, int32_t videoIndex, const AudioFacts& sound, TrackKind placement,
                       int32_t position, int32_t overlayPosition, SourceProbe& probe) {
    // A copy: growing the clips may move the video clip's record.
    const std::string videoPath = movie.Clips[videoIndex].FilePath;
    const int32_t index = AppendClip(movie, ClipAudio, videoPath);
    ClipRec& clip = movie.Clips[index];
    clip.ClipName = "Audio of " + movie.Clips[videoIndex].ClipName;
    FillAudio(clip, sound);
    probe.DecodeClipAudio(movie, index);
    if (placement == TrackKind::Overlay) {
        ArrangeRec& entry = movie.Arranged[position];
        InsertAt(entry.Overlays, entry.OverlayCount, overlayPosition + 1, index);
    } else if (placement == TrackKind::Unused) {
        InsertAt(movie.Unused, movie.UnusedCount, position + 1, index);
    } else {
        ArrangeRec& entry = movie.Arranged[position];
        InsertAt(entry.Overlays, entry.OverlayCount, entry.OverlayCount + 1, index);
    }
}

}  // namespace

Outcome<int32_t> AddClip(MovieDbRec& movie, const std::string& requestedPath, TrackKind placement,
                         int32_t& position, int32_t& overlayPosition, SourceProbe& probe) {
    // A copy: the path may be a field of a clip record, which growing the clips can move.
    const std::string path = requestedPath;
    if (!FileExists(path)) return Outcome<int32_t>::Refused(kClipFileMissing);
    // An overlay needs an arranged entry to hang on; checked before anything changes so that no clip
    // is left standing nowhere.
    if (placement == TrackKind::Overlay && movie.ArrangedCount < 1)
        return Outcome<int32_t>::Refused("there is no arranged clip to lay it over");
    const Outcome<SourceFacts> facts = ReadSource(path, probe);
    if (!facts) return Outcome<int32_t>::Refused(facts.Reason());

    const int32_t index = AppendClip(movie, facts->clipType, path);
    movie.Clips[index].ClipName = NewClipName(movie, path, facts->clipType);
    FillClip(movie.Clips[index], *facts);
    PlaceClip(movie, index, placement, position, overlayPosition);
    if (facts->clipType == ClipVideo)
        if (const auto sound = probe.ProbeVideoSound(path))
            AddSoundTrackClip(movie, index, *sound, placement, position, overlayPosition, probe);

    SelectClip(movie, index);
    if (placement == TrackKind::Unused)
        DrawUnusedTrack();
    else
        DrawMovieTracks();
    DrawClipPanel();
    return index;
}

std::string FailedToAddMessage(const std::string& path, const std::string& reason) {
    return path + "\r\nFailed to add this file" + (reason.empty() ? "" : ": " + reason);
}

std::vector<std::string> RefusedClipMessages(const std::string& path, const std::string& reason) {
    std::vector<std::string> messages;
    if (reason == kClipFileMissing) messages.push_back("File not found\r\n" + path);
    messages.push_back(FailedToAddMessage(path, reason));
    return messages;
}

}  // namespace composer
