#pragma once
// The answers to the mixer's two part-test-play questions. Nothing means "change nothing".
#include <optional>
#include <string>

namespace composer {

inline constexpr double kMaxTestPlaySeconds = 20.0;
inline constexpr double kMinTestPlaySeconds = 0.1;

// The start position: Cancel or an empty answer change nothing; otherwise the duration it reads
// as, a negative one as 0.
std::optional<double> TestPlayStartAnswer(const std::optional<std::string>& answer);

// The length: Cancel or an empty answer change nothing, and so does an answer whose leading
// number or whose duration lies outside 0 .. 20 seconds ("25", "0:30"); below 0.1 it is 0.1.
std::optional<double> TestPlayDurationAnswer(const std::optional<std::string>& answer);

}  // namespace composer
