#pragma once
// Durations as the windows show and accept them.
#include <string>
#include <string_view>

namespace composer {

// "h:mm:ss.ff" with the leading parts left out while they are zero and ".00" left out:
// 5 -> "05", 65.5 -> "01:05.50", 3723 -> "1:02:03", 59.999 -> "01:00" (rounded to 2 decimals
// first, halves to even). A negative duration gets a leading "-". "Error" when the value is not a
// finite number or too large to show.
std::string FormatDuration(double seconds);

// "hh:mm:ss", "mm:ss" or "ss", each part read from its leading number (no number counts 0); parts
// after the third are ignored: "1:30" -> 90, "" -> 0, "2:0:0:9" -> 7200.
double ParseDuration(std::string_view text);

}  // namespace composer
