#pragma once
// When the pictures of a video whose pictures come at uneven intervals are shown, as its file stamps
// them: a phone lowering its rate in dim light, a recording with pictures left out. Such a clip's
// frame n is still its n-th picture (trims and frame counts count pictures); where a frame falls in
// time, and how long a stretch of frames lasts, comes from these times instead of from one rate.
#include <cstdint>
#include <vector>

#include "base/frame_rate_ratio.h"

namespace composer {

struct PictureTimes {
    // When each picture starts, in ticks after the first one, in order: starts[0] is 0, the others
    // ascending.
    std::vector<int64_t> starts;
    int64_t end = 0;                      // ticks after the first picture at which the last one ends
    FrameRateRatio ticksPerSecond{1, 1};  // the file's clock: num ticks every den seconds
};

// Seconds from the start of picture `from` to the start of picture `to` (both 0-based; `to` equal
// to the number of pictures stands for the end of the last one). Indices outside are brought inside.
double SecondsBetween(const PictureTimes& times, int32_t from, int32_t to);

// The picture (0-based, `first` .. `last`) shown `frames` frames of rate `rate` after picture
// `first` starts: the last one whose start is at or before that time, compared exactly in the
// file's ticks; `first` for times before it.
int32_t PictureShownAfter(const PictureTimes& times, int32_t first, int32_t last, int64_t frames,
                          FrameRateRatio rate);

}  // namespace composer
