#include "base/duration.h"

#include <cmath>
#include <cstdio>

#include "base/rounding.h"
#include "base/text_number.h"

namespace composer {

namespace {

// Durations beyond this many hundredths of a second (about 2.9 million years) are refused.
constexpr double kMaxHundredths = 9.0e16;

std::string TwoDigits(int64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%02lld", static_cast<long long>(value));
    return buffer;
}

}  // namespace

std::string FormatDuration(double seconds) {
    // Rounding to 2 decimals happens before the split, so 59.999 shows as a whole minute. Working in
    // whole hundredths keeps the split exact.
    const double hundredthsValue = RoundHalfEven(seconds * 100.0);
    if (!std::isfinite(hundredthsValue) || std::fabs(hundredthsValue) > kMaxHundredths) return "Error";
    if (hundredthsValue < 0) return "-" + FormatDuration(-seconds);
    const auto hundredths = static_cast<int64_t>(hundredthsValue);
    const int64_t hours = hundredths / 360000;
    const int64_t minutes = hundredths % 360000 / 6000;
    const int64_t rest = hundredths % 6000;

    std::string text;
    if (hours >= 1) text += std::to_string(hours) + ":";
    if (hours != 0 || minutes != 0) text += TwoDigits(minutes) + ":";
    text += TwoDigits(rest / 100);
    if (rest % 100 != 0) text += "." + TwoDigits(rest % 100);
    return text;
}

double ParseDuration(std::string_view text) {
    double parts[3] = {0, 0, 0};
    std::size_t count = 0;
    std::size_t start = 0;
    while (count < 3) {
        const std::size_t colon = text.find(':', start);
        parts[count++] =
            LeadingNumber(text.substr(start, colon == std::string_view::npos ? colon : colon - start));
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    if (count >= 3) return parts[0] * 3600.0 + parts[1] * 60.0 + parts[2];
    if (count == 2) return parts[0] * 60.0 + parts[1];
    return parts[0];
}

}  // namespace composer
