#include "base/picture_times.h"

#include <algorithm>
#include <limits>

namespace composer {

namespace {

// `picture` brought into 0 .. count, where count stands for the end of the last picture.
std::size_t Boundary(const PictureTimes& times, int32_t picture) {
    return static_cast<std::size_t>(
        std::clamp<int64_t>(picture, 0, static_cast<int64_t>(times.starts.size())));
}

int64_t TickOf(const PictureTimes& times, int32_t picture) {
    const std::size_t at = Boundary(times, picture);
    return at < times.starts.size() ? times.starts[at] : times.end;
}

}  // namespace

double SecondsBetween(const PictureTimes& times, int32_t from, int32_t to) {
    const FrameRateRatio clock = times.ticksPerSecond;
    if (clock.num <= 0 || clock.den <= 0) return 0.0;
    const auto ticks = static_cast<double>(TickOf(times, to) - TickOf(times, from));
    return ticks * static_cast<double>(clock.den) / static_cast<double>(clock.num);
}

int32_t PictureShownAfter(const PictureTimes& times, int32_t first, int32_t last, int64_t frames,
                          FrameRateRatio rate) {
    if (times.starts.empty()) return first;
    const auto from = std::min(Boundary(times, first), times.starts.size() - 1);
    const auto to = std::clamp(Boundary(times, last), from, times.starts.size() - 1);
    // The ticks of the file's clock that have begun by that time: a picture stamped at one of them
    // has started.
    const int64_t begun = FramesBegunBy(frames, rate, times.ticksPerSecond);
    const int64_t base = times.starts[from];
    const int64_t reached = begun > std::numeric_limits<int64_t>::max() - base
                                ? std::numeric_limits<int64_t>::max()
                                : base + begun;
    const auto begin = times.starts.begin() + static_cast<std::ptrdiff_t>(from);
    const auto after =
        std::upper_bound(begin, times.starts.begin() + static_cast<std::ptrdiff_t>(to) + 1, reached);
    return static_cast<int32_t>((after == begin ? begin : after - 1) - times.starts.begin());
}

}  // namespace composer
