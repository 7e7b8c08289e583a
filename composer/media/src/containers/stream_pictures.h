#pragma once
// The pictures of a video stream whose pictures carry presentation times, seen as a clip: frame n is
// always its n-th picture in presentation order; what the times decide is the rate the clip is given
// and, for pictures at uneven intervals, when each frame is shown.
#include <cstdint>
#include <memory>
#include <vector>

#include "base/picture_times.h"

namespace composer {

struct Ratio {
    int64_t num = 0;
    int64_t den = 0;
};

// The picture presented at `time` (index into `times`, sorted presentation times), or the nearest
// one; the last when `time` is after them all.
int32_t NearestPicture(const std::vector<int64_t>& times, int64_t time);

struct StreamPictures {
    Ratio rate;         // frames per second as a ratio; 0/0 without pictures
    int32_t count = 0;  // the clip's frames: one a picture
    // When the pictures come at uneven intervals, their times (which place them in a movie); null
    // when they come at one rate.
    std::shared_ptr<const PictureTimes> times;
};

// The clip of a stream's pictures. `times` are their presentation times in ticks of `timeBase`
// seconds, sorted; `end` the tick at which the last one ends (the last time or earlier when the
// stream does not say); `declared` the rate the container states (0/0 when it states none).
// Pictures at one interval (a tick of rounding allowed, as millisecond timestamps have) are given
// that interval's rate, the declared one when it matches. Pictures at varying intervals are given
// their average rate, pictures over the time from the first one's start to the last one's end, so
// that the frame count at that rate lasts as long as they do, and their times.
StreamPictures PicturesOfStream(const std::vector<int64_t>& times, Ratio timeBase, Ratio declared,
                                int64_t end);

}  // namespace composer
