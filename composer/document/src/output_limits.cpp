#include "document/output_limits.h"

#include <cmath>

#include "base/text_number.h"

namespace composer {

namespace {

std::string FrameRateProblem(double fps) {
    // NaN, infinities and rates of 0 or less are the repair's (they become 25).
    if (!std::isfinite(fps) || fps <= 0) return "";
    const std::string value = "Frames Per Second (FPS) " + FormatNumber(fps);
    if (fps <= kLowestOutFps) return value + " is too low: it must be above 0.1";
    if (fps > kHighestOutFps) return value + " is too high: it must be at most 1000";
    return "";
}

std::string SideProblem(const char* name, int32_t side) {
    if (side < 1) return "";  // repaired to the default size
    const std::string value = std::string("Frame ") + name + " " + std::to_string(side);
    if (side < kSmallestOutSide) return value + " is too low: it must be at least 2";
    if (side > kLargestOutSide) return value + " is too high: it must be at most 20000";
    return "";
}

std::string SoundProblem(const MovieDbRec& movie) {
    if (movie.OutChannels != 1 && movie.OutChannels != 2)
        return "Output channels " + std::to_string(movie.OutChannels) +
               ": the sound is mono (1) or stereo (2)";
    if (movie.OutBits != 8 && movie.OutBits != 16)
        return "Output bits " + std::to_string(movie.OutBits) + ": the sound has 8 or 16 bits per sample";
    if (movie.OutRate < kLowestOutRate || movie.OutRate > kHighestOutRate)
        return "Output sampling rate " + std::to_string(movie.OutRate) + " Hz: it must be 8000 to 48000 Hz";
    return "";
}

}  // namespace

std::string OutputSettingsProblem(const MovieDbRec& movie) {
    for (const std::string& problem : {FrameRateProblem(movie.OutFps), SideProblem("Width", movie.OutWidth),
                                       SideProblem("Height", movie.OutHeight)})
        if (!problem.empty()) return problem;
    if (movie.OutWidth > 0 && movie.OutHeight > 0 &&
        static_cast<int64_t>(movie.OutWidth) * movie.OutHeight > kLargestOutPixels)
        return "Frame size " + std::to_string(movie.OutWidth) + " x " + std::to_string(movie.OutHeight) +
               " is too large: at most 8192 x 8192 pixels in all";
    return SoundProblem(movie);
}

}  // namespace composer
