#include "document/survey_sources.h"

#include <algorithm>

#include "base/text_number.h"
#include "document/output_repair.h"

namespace composer {

namespace {

std::string FoundLabel(bool first, bool second, const char* firstText, const char* secondText) {
    if (first && second) return "Both - found in source file";
    if (first) return std::string(firstText) + " - found in source file";
    if (second) return std::string(secondText) + " - found in source file";
    return {};
}

}  // namespace

SourceSurvey SurveySources(MovieDbRec& movie) {
    // The repair comes first for every movie, also one without clips: the dialog must never show
    // settings that cannot be rendered.
    RepairOutputSettings(movie);
    SourceSurvey survey;
    if (movie.ClipCount < 1) return survey;
    double largestFps = 0;
    int32_t largestWidth = 0, largestHeight = 0, largestRate = 0, smallestRate = 100000;
    bool sixteen = false, eight = false, stereo = false, mono = false, sound = false;
    for (int32_t i = 1; i <= movie.ClipCount; ++i) {
        const ClipRec& clip = movie.Clips[i];
        if (clip.ClipType == ClipVideo) largestFps = std::max(largestFps, clip.SrcFps);
        if (clip.ClipType == ClipVideo || clip.ClipType == ClipPicture) {
            largestWidth = std::max(largestWidth, clip.SrcWidth);
            largestHeight = std::max(largestHeight, clip.SrcHeight);
        }
        if (clip.ClipType == ClipAudio) {
            sound = true;
            sixteen |= clip.AudioBits == 16;
            eight |= clip.AudioBits == 8;
            stereo |= clip.AudioChannels == 2;
            mono |= clip.AudioChannels == 1;
            largestRate = std::max(largestRate, clip.AudioRate);
            smallestRate = std::min(smallestRate, clip.AudioRate);
        }
    }
    survey.FpsLabel = "Largest FPS found in your source clip is: " + FormatNumber(largestFps);
    survey.WidthLabel = "Largest Width found in your source clip is:" + std::to_string(largestWidth);
    survey.HeightLabel = "Largest Height found in your source clip is:" + std::to_string(largestHeight);
    survey.ChannelsLabel = FoundLabel(stereo, mono, "Stereo", "Mono");
    survey.BitsLabel = FoundLabel(sixteen, eight, "16 bits", "8 bits");
    if (sound) {
        survey.MaxRateLabel = "Maximum " + std::to_string(largestRate) + " found in source file";
        survey.MinRateLabel = "Minimum " + std::to_string(smallestRate) + " found in source file";
    }
    return survey;
}

}  // namespace composer
