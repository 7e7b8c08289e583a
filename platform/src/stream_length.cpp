#include "cbplatform/stream_length.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

extern "C" {
#include <libavformat/avformat.h>
}

namespace cb {

namespace {

constexpr double kShortfallSeconds = 0.5;
constexpr double kShortfallShare = 0.05;

std::string Seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string shown(text);
    while (shown.back() == '0') shown.pop_back();
    if (shown.back() == '.') shown.pop_back();
    return shown;
}

}  // namespace

double StatedStreamSeconds(const AVFormatContext& input, const AVStream& stream) {
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0)
        return static_cast<double>(stream.duration) * av_q2d(stream.time_base);
    if (input.nb_streams == 1 && input.duration != AV_NOPTS_VALUE && input.duration > 0)
        return static_cast<double>(input.duration) / AV_TIME_BASE;
    return 0;
}

std::string ShortfallText(const std::string& what, double foundSeconds, double statedSeconds) {
    if (!(statedSeconds > 0) ||
        statedSeconds - foundSeconds < std::max(kShortfallSeconds, kShortfallShare * statedSeconds))
        return "";
    return what + " ends after " + Seconds(foundSeconds) + " s of its stated " + Seconds(statedSeconds) +
           " s: it was cut short";
}

}  // namespace cb
