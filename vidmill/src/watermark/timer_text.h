// The text of a timer title.
#pragma once

#include <chrono>
#include <string>

#include "vidmill/vidmill.h"

namespace vidmill::watermark {

// Titles carry a timer style (TimerStyleConstants) or this one for a fixed text.
using TimerStyle = int;
constexpr TimerStyle TimerStyleFixedText = -1;

// "hh:nn:ss" (24-hour clock, wrapping at a day) of frame k at framesPerSecond, and for
// TimerStyleVideoFrame "." and the frame within the second, at least two digits.
// TimerStyleTime, TimerStyleDate: the current time / date in the locale's format;
// TimerStyleDateTime: date, a blank, time.
std::string VideoTimeText(TimerStyle style, long long frame, double framesPerSecond);

// The text of a timer of any style: k = frameCounter + startFrame; `now` for the clock styles.
std::string TimerText(TimerStyle style, int frameCounter, int startFrame, double framesPerSecond,
                      std::chrono::system_clock::time_point now);

}  // namespace vidmill::watermark
