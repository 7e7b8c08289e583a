#include "document/clip_limits.h"

#include <cmath>

#include "base/text_number.h"
#include "document/output_limits.h"

namespace composer {

namespace {

std::string TypeProblem(int32_t clipType) {
    if (clipType == ClipVideo || clipType == ClipAudio || clipType == ClipPicture) return "";
    return "Clip type " + std::to_string(clipType) + ": a clip is a video (1), a sound (2) or a picture (3)";
}

std::string CropProblem(const ClipRec& clip) {
    const struct {
        const char* name;
        int32_t value;
    } edges[] = {{"Top", clip.CropTop},
                 {"Bottom", clip.CropBottom},
                 {"Left", clip.CropLeft},
                 {"Right", clip.CropRight}};
    for (const auto& edge : edges)
        if (edge.value < 0)
            return std::string("Crop ") + edge.name + " " + std::to_string(edge.value) +
                   ": a crop is 0 or more pixels";
    return "";
}

// Seconds and rates: 0 is what a clip of another kind holds, so only NaN, infinities and
// negative values are impossible.
std::string AmountProblem(const char* name, double value, const char* unit) {
    if (std::isfinite(value) && value >= 0) return "";
    const std::string shown = std::isnan(value) ? "NaN" : FormatNumber(value);
    return std::string(name) + " " + shown + ": it must be a finite number of " + unit + ", 0 or more";
}

// Only videos and pictures have a size; sounds hold 0.
std::string SizeProblem(const ClipRec& clip) {
    if (clip.ClipType != ClipVideo && clip.ClipType != ClipPicture) return "";
    if (clip.SrcWidth >= 1 && clip.SrcHeight >= 1) return "";
    return "Source size " + std::to_string(clip.SrcWidth) + " x " + std::to_string(clip.SrcHeight) +
           ": a video or picture is at least 1 x 1 pixels";
}

}  // namespace

std::string ClipValuesProblem(const ClipRec& clip) {
    for (const std::string& problem :
         {TypeProblem(clip.ClipType), CropProblem(clip),
          AmountProblem("Overlay delay", clip.OverlayDelay, "seconds"),
          AmountProblem("Picture duration", clip.PicDuration, "seconds"),
          AmountProblem("Source FPS", clip.SrcFps, "frames per second"), SizeProblem(clip)})
        if (!problem.empty()) return problem;
    return "";
}

std::string MovieValuesProblem(const MovieDbRec& movie) {
    const std::string output = OutputSettingsProblem(movie);
    if (!output.empty()) return output;
    for (int32_t i = 1; i <= movie.ClipCount && i < static_cast<int32_t>(movie.Clips.size()); ++i) {
        const ClipRec& clip = movie.Clips[static_cast<std::size_t>(i)];
        const std::string problem = ClipValuesProblem(clip);
        if (!problem.empty()) return "Clip " + std::to_string(i) + " (" + clip.ClipName + "): " + problem;
    }
    return "";
}

}  // namespace composer
