// How a stored picture is turned to be seen upright. A camera held sideways or upside down stores
// its pictures as its sensor saw them and notes the turn beside them: a video's display matrix (or
// the `rotate` tag of older files), a photo's EXIF orientation. Readers turn the picture upright
// before anything else touches it, so sizes, crops and masks are those of the picture as seen.
#pragma once

#include <cstdint>

#include "cbplatform/bitmap.h"
#include "cbplatform/com_types.h"

struct AVFrame;
struct AVStream;

namespace cb {

// One of the eight ways a rectangle can land on its own axes: rows and columns swapped first (for
// the quarter turns), then mirrored left to right, then upside down.
struct Orientation {
    bool transposed = false;
    bool mirroredX = false;
    bool mirroredY = false;

    bool IsUpright() const { return !transposed && !mirroredX && !mirroredY; }
    friend bool operator==(const Orientation&, const Orientation&) = default;
};

// The orientation a display matrix (3 x 3, 16.16 fixed point in its first two columns, as FFmpeg
// exports it) asks for: the stored point (x, y), y down, is shown at (a x + c y, b x + d y) for
// matrix {a, b, _, c, d, ...}. A turn that is no multiple of a quarter turn is taken at the nearest.
CB_PLATFORM_API Orientation OrientationOfDisplayMatrix(const std::int32_t matrix[9]);

// A turn of `degrees` clockwise to be seen upright, the meaning of a `rotate` tag; a turn that is
// no multiple of 90 degrees is taken at the nearest.
CB_PLATFORM_API Orientation OrientationOfClockwiseTurn(int degrees);

// An EXIF orientation (1 upright .. 8); any other value counts as upright.
CB_PLATFORM_API Orientation OrientationOfExif(int value);

// A video stream's orientation: its display matrix, else its `rotate` tag; upright without either.
CB_PLATFORM_API Orientation OrientationOfStream(const AVStream& stream);

// A decoded picture's own orientation: its display matrix, else its EXIF "Orientation" entry.
CB_PLATFORM_API Orientation OrientationOfFrame(const AVFrame& frame);

// The size of a picture stored `width` x `height` once it is upright.
CB_PLATFORM_API void UprightSize(Orientation orientation, int& width, int& height);

// The stored 32-bit picture turned upright into `upright`, a 32-bit bitmap of the upright size.
CB_PLATFORM_API void TurnUpright(const Bitmap& stored, Orientation orientation, Bitmap& upright);

}  // namespace cb
