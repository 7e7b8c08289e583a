#pragma once
// The constant-rate view of a video stream whose frames carry presentation times: the rate the clip
// is given, how many frames it has at that rate and which of the stream's pictures each one shows.
#include <cstdint>
#include <vector>

namespace composer {

struct Ratio {
    int64_t num = 0;
    int64_t den = 0;
};

// The picture presented at `time` (index into `times`, sorted presentation times), or the nearest
// one; the last when `time` is after them all.
int32_t NearestPicture(const std::vector<int64_t>& times, int64_t time);

class FrameSlots {
  public:
    FrameSlots() = default;
    // `times` are the stream's presentation times in ticks of `timeBase` seconds, sorted; `declared`
    // the rate the container states (0/0 when it states none). Frames at one interval (a tick of
    // rounding allowed, as millisecond timestamps have) are kept one for one at that interval's
    // rate, the declared one when it matches. Frames at varying intervals are sampled at the
    // declared (else average) rate: clip frame k shows the last picture presented by
    // (k + 1/2) / rate after the first. No frames when `times` is empty.
    FrameSlots(std::vector<int64_t> times, Ratio timeBase, Ratio declared);

    Ratio Rate() const { return rate_; }
    int32_t Count() const { return count_; }
    // The picture (index in presentation order) that clip frame `slot` (0 .. Count - 1) shows.
    int32_t PictureOf(int32_t slot) const;

  private:
    std::vector<int64_t> times_;
    Ratio rate_;
    int32_t count_ = 0;
    bool oneForOne_ = true;
    double ticksPerFrame_ = 0;
};

}  // namespace composer
