#include "commands/test_play_answers.h"

#include <algorithm>

#include "base/duration.h"
#include "base/text_number.h"

namespace composer {

namespace {

bool WithinLimits(double seconds) { return seconds >= 0 && seconds <= kMaxTestPlaySeconds; }

}  // namespace

std::optional<double> TestPlayStartAnswer(const std::optional<std::string>& answer) {
    if (!answer || answer->empty()) return std::nullopt;
    return std::max(ParseDuration(*answer), 0.0);
}

std::optional<double> TestPlayDurationAnswer(const std::optional<std::string>& answer) {
    if (!answer || answer->empty()) return std::nullopt;
    const double seconds = ParseDuration(*answer);
    if (!WithinLimits(LeadingNumber(*answer)) || !WithinLimits(seconds)) return std::nullopt;
    return std::max(seconds, kMinTestPlaySeconds);
}

}  // namespace composer
