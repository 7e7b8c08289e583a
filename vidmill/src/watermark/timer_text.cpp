#include "watermark/timer_text.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

namespace vidmill::watermark {
namespace {

constexpr long long kMillisecondsPerDay = 24LL * 60 * 60 * 1000;

// The user's locale for the clock styles, or the classic one when the environment names none
// that exists.
std::locale UserLocale() {
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        return std::locale::classic();
    }
}

std::string FormatClock(const char* format, std::chrono::system_clock::time_point now) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    std::ostringstream text;
    text.imbue(UserLocale());
    text << std::put_time(&local, format);
    return text.str();
}

}  // namespace

std::string VideoTimeText(TimerStyle style, long long frame, double framesPerSecond) {
    const double seconds = framesPerSecond > 0 ? static_cast<double>(frame) / framesPerSecond : 0.0;
    long long milliseconds = static_cast<long long>(std::nearbyint(seconds * 1000.0)) % kMillisecondsPerDay;
    if (milliseconds < 0) milliseconds += kMillisecondsPerDay;
    const long long totalSeconds = milliseconds / 1000;
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", totalSeconds / 3600, totalSeconds / 60 % 60,
                  totalSeconds % 60);
    std::string result = text;
    if (style == TimerStyleVideoFrame) {
        const double whole =
            framesPerSecond > 0 ? std::trunc(static_cast<double>(frame) / framesPerSecond) : 0.0;
        const double within = static_cast<double>(frame) - whole * framesPerSecond;
        std::snprintf(text, sizeof text, ".%.2lld", static_cast<long long>(std::nearbyint(within)));
        result += text;
    }
    return result;
}

std::string TimerText(TimerStyle style, int frameCounter, int startFrame, double framesPerSecond,
                      std::chrono::system_clock::time_point now) {
    switch (style) {
        case TimerStyleVideoTime:
        case TimerStyleVideoFrame:
            return VideoTimeText(style, static_cast<long long>(frameCounter) + startFrame, framesPerSecond);
        case TimerStyleTime:
            return FormatClock("%X", now);
        case TimerStyleDate:
            return FormatClock("%x", now);
        case TimerStyleDateTime:
            return FormatClock("%x", now) + " " + FormatClock("%X", now);
        default:
            return {};
    }
}

}  // namespace vidmill::watermark
