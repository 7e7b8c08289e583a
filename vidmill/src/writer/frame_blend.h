// Intermediate frames between two added frames.
#pragma once

#include "cbplatform/bitmap.h"

namespace vidmill::writer {

// Frame `step` (1..steps) of `steps` intermediate frames from `previous` to `current`: each
// colour byte becomes (previous * (steps + 1 - step) + current * step) div (steps + 1). The fourth
// byte of a 32-bit pixel is left as `between` holds it. All three bitmaps have one size and depth.
// Palette frames cannot be mixed byte by byte: they switch from the previous to the current
// frame half way.
void BlendFrames(const cb::Bitmap& previous, const cb::Bitmap& current, int step, int steps,
                 cb::Bitmap& between);

}  // namespace vidmill::writer
