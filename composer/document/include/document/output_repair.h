#pragma once
// The repair of output settings that cannot be rendered, applied before the movie properties dialog
// shows them and before a plan is built.
#include "document/movie_records.h"

namespace composer {

inline constexpr double kRepairedOutFps = 25.0;
inline constexpr int32_t kRepairedOutWidth = 400;
inline constexpr int32_t kRepairedOutHeight = 300;

// OutFps <= 0 (or not a finite number) becomes 25, OutWidth < 1 becomes 400, OutHeight < 1 becomes
// 300. Returns whether anything changed.
bool RepairOutputSettings(MovieDbRec& movie);

// The frame rate a plan uses: OutFps, or 25 when it would be repaired.
double RepairedOutFps(double outFps);

}  // namespace composer
