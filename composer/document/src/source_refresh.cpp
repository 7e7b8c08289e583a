#include "document/source_refresh.h"

#include <cctype>

#include "base/files.h"
#include "base/text_number.h"
#include "document/clip_file_kinds.h"

namespace composer {

namespace {

constexpr const char* kLineEnd = "\r\n";

std::string Size(int32_t width, int32_t height) {
    return "w" + std::to_string(width) + " x h" + std::to_string(height);
}

void RefreshSize(ClipRec& clip, int32_t width, int32_t height, std::string& warnings) {
    if (width == clip.SrcWidth && height == clip.SrcHeight) return;
    warnings += std::string("Current picture size is different from original picture size") + kLineEnd +
                "Original Size = " + Size(clip.SrcWidth, clip.SrcHeight) + kLineEnd +
                "Current Size = " + Size(width, height) + kLineEnd;
    clip.SrcWidth = width;
    clip.SrcHeight = height;
}

void RefreshVideo(ClipRec& clip, const VideoFacts& video, std::string& warnings) {
    RefreshSize(clip, video.width, video.height, warnings);
    if (video.fps != clip.SrcFps) {
        warnings += std::string("Current movie speed is different from the original") + kLineEnd +
                    "Original FPS = " + FormatNumber(clip.SrcFps) + kLineEnd +
                    "Current FPS = " + FormatNumber(video.fps) + kLineEnd;
        clip.SrcFps = video.fps;
    }
    if (video.frameCount != clip.FrameCount) {
        warnings += std::string("Number of frames does not match") + kLineEnd;
        clip.FrameCount = video.frameCount;
    }
    clip.Times = video.times;
}

void CheckUsedRange(ClipRec& clip, std::string& warnings) {
    const bool inside = clip.UseFirst >= 1 && clip.UseFirst <= clip.FrameCount && clip.UseLast >= 1 &&
                        clip.UseLast <= clip.FrameCount && clip.UseFirst <= clip.UseLast;
    if (inside) return;
    warnings += std::string("Range to use - is reset to full clip length") + kLineEnd;
    clip.UseFirst = 1;
    clip.UseLast = clip.FrameCount;
}

void CheckCrop(ClipRec& clip, std::string& warnings) {
    // Sums in 64 bits: stored margins may be anything.
    if (static_cast<int64_t>(clip.CropTop) + clip.CropBottom > static_cast<int64_t>(clip.SrcHeight) - 2) {
        clip.CropTop = clip.CropBottom = 0;
        warnings += std::string("Crop top + bottom exceeded the height and were reset to zero") + kLineEnd;
    }
    if (static_cast<int64_t>(clip.CropLeft) + clip.CropRight > static_cast<int64_t>(clip.SrcWidth) - 2) {
        clip.CropLeft = clip.CropRight = 0;
        warnings += std::string("Crop left + right exceeded the width and were reset to zero") + kLineEnd;
    }
}

// A source that is there but cannot be read is named with the reason, so that the user knows why
// the movie will be blank or silent where it plays.
void NoteUnreadable(const std::string& reason, std::string& warnings) {
    if (!reason.empty()) warnings += "Cannot read this file: " + reason + kLineEnd;
}

void RefreshAudio(ClipRec& clip, SourceProbe& probe, std::string& warnings) {
    // A sound file, or the sound track of a video.
    const int32_t kind = ClipTypeOfFile(clip.FilePath);
    if (kind != ClipAudio && kind != ClipVideo) return;
    const Outcome<AudioFacts> sound =
        kind == ClipAudio ? probe.ProbeAudio(clip.FilePath) : probe.ProbeVideoSound(clip.FilePath);
    if (!sound) {
        NoteUnreadable(sound.Reason(), warnings);
        clip.AudioProblem = sound.Reason();
        return;
    }
    // A damaged sound still plays what it holds; the user is told what is wrong with it.
    clip.AudioProblem = sound->damage;
    if (!sound->damage.empty()) warnings += "This file is damaged: " + sound->damage + kLineEnd;
    clip.AudioFile = sound->audioFile;
    clip.AudioBits = sound->bits;
    clip.AudioChannels = sound->channels;
    clip.AudioRate = sound->rate;
    clip.AudioFrames = sound->frames;
    clip.AudioDuration = sound->duration;
}

// A relative clip path ("../clips/a.avi", "a.avi") was written relative to the project, which
// may have been moved together with its clips: it names the file beside the project first. An
// absolute path (or one with a drive letter or a backslash, written on another system) is
// never joined.
bool RelativeToProject(const std::string& path) {
    const bool driveLetter =
        path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    return !path.empty() && path.front() != '/' && path.find('\\') == std::string::npos && !driveLetter;
}

}  // namespace

std::vector<std::string> RelocateSources(MovieDbRec& movie, const std::string& projectPath) {
    const std::size_t separator = projectPath.find_last_of('/');
    const std::string folder = separator == std::string::npos ? "." : projectPath.substr(0, separator);
    std::vector<std::string> missing;
    for (int32_t i = 1; i <= movie.ClipCount; ++i) {
        ClipRec& clip = movie.Clips[i];
        if (RelativeToProject(clip.FilePath) && FileExists(folder + "/" + clip.FilePath)) {
            clip.FilePath = folder + "/" + clip.FilePath;
            continue;
        }
        if (FileExists(clip.FilePath)) continue;
        const std::string candidate = folder + "/" + LastPathComponent(clip.FilePath);
        if (FileExists(candidate))
            clip.FilePath = candidate;
        else
            missing.push_back(clip.FilePath);
    }
    return missing;
}

std::string RefreshClip(ClipRec& clip, SourceProbe& probe) {
    std::string warnings;
    switch (clip.ClipType) {
        case ClipAudio:
            RefreshAudio(clip, probe, warnings);
            return warnings;
        case ClipVideo:
            if (const auto video = probe.ProbeVideo(clip.FilePath))
                RefreshVideo(clip, *video, warnings);
            else
                NoteUnreadable(video.Reason(), warnings);
            CheckUsedRange(clip, warnings);
            break;
        case ClipPicture:
            if (const auto picture = probe.ProbePicture(clip.FilePath))
                RefreshSize(clip, picture->width, picture->height, warnings);
            else
                NoteUnreadable(picture.Reason(), warnings);
            break;
        default:
            return warnings;
    }
    CheckCrop(clip, warnings);
    return warnings;
}

}  // namespace composer
