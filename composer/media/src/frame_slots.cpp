#include "frame_slots.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

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

// The typical interval between frames, in ticks (the median, so that one gap does not decide).
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

// The average rate: frames over the time they cover, to a thousandth of a frame per second.
Ratio AverageRate(const std::vector<int64_t>& times, Ratio timeBase) {
    const double seconds = static_cast<double>(times.back() - times.front()) * timeBase.num / timeBase.den;
    const double average = seconds > 0 ? static_cast<double>(times.size() - 1) / seconds : Value(kUsualRate);
    return {std::max<int64_t>(1, std::llround(std::min(average, kMaxRate) * 1000.0)), 1000};
}

int32_t ClampedCount(double count) {
    return static_cast<int32_t>(
        std::clamp(count, 1.0, static_cast<double>(std::numeric_limits<int32_t>::max())));
}

}  // namespace

int32_t NearestPicture(const std::vector<int64_t>& times, int64_t time) {
    const auto at = std::lower_bound(times.begin(), times.end(), time);
    if (at == times.end()) return static_cast<int32_t>(times.size()) - 1;
    if (at != times.begin() && time - *(at - 1) < *at - time)
        return static_cast<int32_t>(at - times.begin() - 1);
    return static_cast<int32_t>(at - times.begin());
}

FrameSlots::FrameSlots(std::vector<int64_t> times, Ratio timeBase, Ratio declared)
    : times_(std::move(times)) {
    if (times_.empty() || timeBase.num <= 0 || timeBase.den <= 0) return;
    rate_ = Plausible(declared) ? Reduced(declared) : kUsualRate;
    count_ = ClampedCount(static_cast<double>(times_.size()));
    if (times_.size() == 1) return;
    const int64_t interval = MedianInterval(times_);
    if (interval > 0 && SteadyIntervals(times_, interval)) {
        const Ratio measured = Reduced({timeBase.den, timeBase.num * interval});
        if (!(Plausible(declared) && Close(Value(declared), Value(measured)))) rate_ = measured;
        if (Plausible(rate_)) return;
    }
    rate_ = Plausible(declared) ? Reduced(declared) : Reduced(AverageRate(times_, timeBase));
    oneForOne_ = false;
    ticksPerFrame_ = static_cast<double>(timeBase.den) * static_cast<double>(rate_.den) /
                     (static_cast<double>(timeBase.num) * static_cast<double>(rate_.num));
    count_ =
        ClampedCount(std::round(static_cast<double>(times_.back() - times_.front()) / ticksPerFrame_) + 1);
}

int32_t FrameSlots::PictureOf(int32_t slot) const {
    if (oneForOne_) return slot;
    const double limit =
        static_cast<double>(times_.front()) + (static_cast<double>(slot) + 0.5) * ticksPerFrame_;
    const auto after = std::upper_bound(times_.begin(), times_.end(), limit, [](double value, int64_t time) {
        return value < static_cast<double>(time);
    });
    return static_cast<int32_t>(std::max<std::ptrdiff_t>(after - times_.begin() - 1, 0));
}

}  // namespace composer
