#include "containers/stream_pictures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>

namespace composer {
namespace {

constexpr double kMaxRate = 1000.0;
constexpr Ratio kUsualRate{25, 1};

double Value(Ratio ratio) { return ratio.den > 0 ? static_cast<double>(ratio.num) / ratio.den : 0.0; }

bool Plausible(Ratio rate) { return rate.num > 0 && rate.den > 0 && Value(rate) <= kMaxRate; }

Ratio Reduced(Ratio ratio) {
    const int64_t divisor = std::gcd(ratio.num, ratio.den);
    return divisor > 0 ? Ratio{ratio.num / divisor, ratio.den / divisor} : ratio;
}

// The typical interval between pictures, in ticks (the median, so that one gap does not decide).
int64_t MedianInterval(const std::vector<int64_t>& times) {
    std::vector<int64_t> intervals;
    intervals.reserve(times.size());
    for (std::size_t i = 1; i < times.size(); ++i) intervals.push_back(times[i] - times[i - 1]);
    const auto middle = intervals.begin() + static_cast<std::ptrdiff_t>(intervals.size() / 2);
    std::nth_element(intervals.begin(), middle, intervals.end());
    return *middle;
}

bool SteadyIntervals(const std::vector<int64_t>& times, int64_t interval) {
    const int64_t allowed = std::max<int64_t>(1, interval / 100);
    for (std::size_t i = 1; i < times.size(); ++i) {
        if (std::llabs(times[i] - times[i - 1] - interval) > allowed) return false;
    }
    return true;
}

// Whether two rates differ by less than 2 %.
bool Close(double first, double second) { return std::fabs(first - second) < 0.02 * second; }

// `pictures` over `ticks` ticks of `timeBase` seconds, exactly when the reduced ratio fits, else to a
// thousandth of a picture per second.
Ratio AverageRate(int64_t pictures, int64_t ticks, Ratio timeBase) {
    const __int128 num = static_cast<__int128>(pictures) * timeBase.den;
    const __int128 den = static_cast<__int128>(ticks) * timeBase.num;
    __int128 a = num, b = den;
    while (b != 0) a = std::exchange(b, a % b);
    constexpr __int128 kMost = std::numeric_limits<int64_t>::max();
    if (a > 0 && num / a <= kMost && den / a <= kMost)
        return {static_cast<int64_t>(num / a), static_cast<int64_t>(den / a)};
    const double average = static_cast<double>(num) / static_cast<double>(den);
    return {std::max<int64_t>(1, std::llround(std::min(average, kMaxRate) * 1000.0)), 1000};
}

// The times of pictures at uneven intervals, from the first one's start, ending at `end` (one typical
// interval after the last start when the stream does not say where the last one ends).
std::shared_ptr<const PictureTimes> TimesOf(const std::vector<int64_t>& times, Ratio timeBase, int64_t end,
                                            int64_t interval) {
    auto made = std::make_shared<PictureTimes>();
    made->starts.reserve(times.size());
    for (const int64_t time : times) made->starts.push_back(time - times.front());
    made->end = (end > times.back() ? end : times.back() + interval) - times.front();
    made->ticksPerSecond = FrameRateRatio{timeBase.den, timeBase.num};
    return made;
}

}  // namespace

int32_t NearestPicture(const std::vector<int64_t>& times, int64_t time) {
    const auto at = std::lower_bound(times.begin(), times.end(), time);
    if (at == times.end()) return static_cast<int32_t>(times.size()) - 1;
    if (at != times.begin() && time - *(at - 1) < *at - time)
        return static_cast<int32_t>(at - times.begin() - 1);
    return static_cast<int32_t>(at - times.begin());
}

StreamPictures PicturesOfStream(const std::vector<int64_t>& times, Ratio timeBase, Ratio declared,
                                int64_t end) {
    StreamPictures pictures;
    if (times.empty() || timeBase.num <= 0 || timeBase.den <= 0) return pictures;
    pictures.count = static_cast<int32_t>(
        std::min<std::size_t>(times.size(), static_cast<std::size_t>(std::numeric_limits<int32_t>::max())));
    pictures.rate = Plausible(declared) ? Reduced(declared) : kUsualRate;
    if (times.size() == 1) return pictures;
    const int64_t interval = MedianInterval(times);
    if (interval <= 0) return pictures;  // most pictures at one time: nothing to place them by
    if (SteadyIntervals(times, interval)) {
        const Ratio measured = Reduced({timeBase.den, timeBase.num * interval});
        if (!(Plausible(declared) && Close(Value(declared), Value(measured)))) pictures.rate = measured;
        if (Plausible(pictures.rate)) return pictures;
        pictures.rate = Plausible(declared) ? Reduced(declared) : kUsualRate;
        return pictures;
    }
    pictures.times = TimesOf(times, timeBase, end, interval);
    pictures.rate = AverageRate(pictures.count, pictures.times->end, timeBase);
    return pictures;
}

}  // namespace composer
