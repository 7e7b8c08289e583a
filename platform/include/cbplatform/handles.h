// Handles that cross interfaces as 32-bit values, as they do on the original platform.
// A device-context handle names a drawing surface in the platform's handle table, so a value
// that is not a device context (a window handle, a bitmap handle, any number) is detectable.
#pragma once

#include <cstdint>

using HDC = std::int32_t;
using HWND = std::int32_t;
using HBITMAP = std::int32_t;
using HPALETTE = std::int32_t;
