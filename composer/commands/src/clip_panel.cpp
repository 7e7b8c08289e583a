#include "commands/clip_panel.h"

#include "base/duration.h"
#include "base/text_number.h"

namespace composer {

namespace {

std::string Number(int32_t value) { return FormatNumber(value); }

// frames + "/" + their duration at the clip's rate.
std::string FramesAndTime(const ClipRec& clip, int32_t frames, int32_t timeFrames) {
    const double seconds = clip.SrcFps > 0 ? timeFrames / clip.SrcFps : 0.0;
    return Number(frames) + "/" + FormatDuration(seconds);
}

}  // namespace

std::string ClipPanelTitle(const MovieDbRec& movie) {
    if (movie.CurClip < 1 || movie.CurClip > movie.ClipCount) return " Current Clip: [None]";
    const ClipRec& clip = movie.Clips[static_cast<std::size_t>(movie.CurClip)];
    return " Current Clip: " + clip.ClipName + " [" + clip.FilePath + "]";
}

std::vector<int32_t> StripFrames(const ClipRec& clip, int32_t scale, int width) {
    std::vector<int32_t> frames;
    const int32_t step = scale < 1 ? 1 : scale;
    int32_t frame = clip.CurFrame < 1 ? 1 : clip.CurFrame;
    for (int x = 0; x + kStripFrameWidth <= width && frame <= clip.FrameCount; x += kStripPitch) {
        frames.push_back(frame);
        frame += step;
    }
    return frames;
}

std::string StripFrameLabel(const ClipRec& clip, int32_t frame) {
    if (frame < clip.UseFirst || frame > clip.UseLast) return "Not used";
    return FramesAndTime(clip, frame - clip.UseFirst + 1, frame - clip.UseFirst);
}

std::vector<std::string> ClipFacts(const ClipRec& clip, bool fileExists) {
    if (!fileExists) return {" File not found"};
    switch (clip.ClipType) {
        case ClipVideo: {
            const int32_t used = clip.UseLast - clip.UseFirst + 1;
            return {"First used frame: " + FramesAndTime(clip, clip.UseFirst, clip.UseFirst - 1),
                    "Used duration: " + FramesAndTime(clip, used, used),
                    "Total duration: " + FramesAndTime(clip, clip.FrameCount, clip.FrameCount),
                    "Frame Size: w" + Number(clip.SrcWidth) + " x h" + Number(clip.SrcHeight),
                    "Frame Speed: " + FormatNumber(clip.SrcFps) + " FPS",
                    "File: " + clip.FilePath};
        }
        case ClipPicture:
            return {"Duration: " + FormatDuration(clip.PicDuration), "File: " + clip.FilePath,
                    "Picture Size: w" + Number(clip.SrcWidth) + " x h" + Number(clip.SrcHeight)};
        case ClipAudio:
            return {" Audio",
                    " Duration: " + FormatDuration(clip.AudioDuration),
                    " Delay: " + FormatDuration(clip.OverlayDelay),
                    "File: " + clip.FilePath,
                    clip.AudioChannels == 2 ? "Stereo" : "Mono",
                    "Format: " + Number(clip.AudioRate) + "Hz, " + Number(clip.AudioBits) + "Bits"};
        default:
            return {};
    }
}

}  // namespace composer
