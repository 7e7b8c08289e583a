#pragma once
// SurveySources: what the clips' sources hold, as the movie properties dialog shows it next to the
// output settings ("found in source" labels), and the repair of unusable output settings.
#include <string>

#include "document/movie_records.h"

namespace composer {

// The dialog's "found in source" labels; all empty for a movie without clips.
struct SourceSurvey {
    std::string FpsLabel;  // "Largest FPS found in your source clip is: " + largest SrcFps of the videos
    std::string
        WidthLabel;  // "Largest Width found in your source clip is:" + largest width (videos, pictures)
    std::string HeightLabel;    // "Largest Height found in your source clip is:" + largest height
    std::string ChannelsLabel;  // "Both - ", "Stereo - " or "Mono - found in source file"; "" without sounds
    std::string BitsLabel;  // "Both - ", "16 bits - " or "8 bits - found in source file"; "" without sounds
    std::string MaxRateLabel;  // "Maximum " + rate + " found in source file"; "" without sounds
    std::string MinRateLabel;  // "Minimum " + rate + " found in source file"; "" without sounds
};

// Surveys the clips and repairs the movie's output settings (RepairOutputSettings), which the dialog
// shows next.
SourceSurvey SurveySources(MovieDbRec& movie);

}  // namespace composer
