#pragma once
// The output settings a movie can be made with: the ranges the movie properties dialog accepts
// (frame rate above 0.1 up to 1000, frame sides of 2 to 20000 pixels), a frame that the AVI
// library can read back (at most 8192 x 8192 pixels in all), mono or stereo sound of 8 or 16 bits
// at 8000 to 48000 Hz. A project that asks for anything else was damaged or written by hand: it is
// refused at load rather than rendered into a file nobody can play.
#include <string>

#include "document/movie_records.h"

namespace composer {

inline constexpr double kLowestOutFps = 0.1;  // refused itself: the rate must be above it
inline constexpr double kHighestOutFps = 1000.0;
inline constexpr int32_t kSmallestOutSide = 2;
inline constexpr int32_t kLargestOutSide = 20000;
inline constexpr int64_t kLargestOutPixels = int64_t{8192} * 8192;
inline constexpr int32_t kLowestOutRate = 8000;
inline constexpr int32_t kHighestOutRate = 48000;

// "" when the movie's output settings can be rendered; otherwise what is wrong, naming the field
// and its value ("Output channels 3: a movie's sound is mono (1) or stereo (2)"). Values that the
// movie properties repair before use (a frame rate of 0 or less, a side below 1) are left to that
// repair and not reported here.
std::string OutputSettingsProblem(const MovieDbRec& movie);

}  // namespace composer
