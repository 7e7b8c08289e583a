// Device contexts and the stretch calls of the platform's drawing layer.
//
// A device context names a bitmap surface. Handles live in a process-wide table, so a value that
// is not a live device context (a window or bitmap handle, a stale handle, any number) is
// recognised as such. Coordinates count pixels from the top-left corner of the surface, whatever
// the row order of the bitmap behind it; a negative width or height mirrors the rectangle.
#pragma once

#include <cstdint>

#include "cbplatform/bitmap.h"
#include "cbplatform/com_types.h"
#include "cbplatform/handles.h"

namespace cb {

// Stretch modes. Both sample the nearest source pixel; HALFTONE is accepted so that callers can
// save and restore a mode as they do on other platforms.
constexpr int BLACKONWHITE = 1;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
// The one raster operation the stretch calls support: copy the source.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;

// A device context over a bitmap for as long as this object lives. The bitmap must outlive it.
class CB_PLATFORM_API DeviceContext {
  public:
    explicit DeviceContext(Bitmap& surface);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    HDC handle() const { return handle_; }

  private:
    HDC handle_;
};

// The bitmap a device context draws on, or null when the value is not a live device context.
CB_PLATFORM_API Bitmap* BitmapOfDC(HDC dc);
inline bool IsDeviceContext(HDC dc) { return BitmapOfDC(dc) != nullptr; }

// The stretch mode of a device context (HALFTONE for a new one); setting returns the previous
// mode, or 0 when dc is not a device context or the mode is unknown.
CB_PLATFORM_API int GetStretchBltMode(HDC dc);
CB_PLATFORM_API int SetStretchBltMode(HDC dc, int mode);

// A rectangle as the stretch calls take it: origin and signed extent.
struct Extent {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Stretches the source rectangle of one bitmap onto the destination rectangle of another,
// converting between 8 (through its palette), 24 and 32 bits per pixel; parts of the destination
// outside its bitmap are clipped, source pixels outside the source bitmap are not drawn.
// A 32-bit destination receives the source's fourth byte (opaque 0xFF from 8 and 24 bits).
CB_PLATFORM_API void StretchBitmap(Bitmap& destination, const Extent& to, const Bitmap& source,
                                   const Extent& from);

// The same between device contexts; false when either handle is not a device context or the
// raster operation is not SRCCOPY.
CB_PLATFORM_API bool StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int xSrc,
                                int ySrc, int widthSrc, int heightSrc, std::uint32_t rop);

// Stretches device-independent bits (a bitmap held by the caller) onto a device context. The
// source rectangle counts rows from the top of the picture. Returns the number of rows drawn,
// 0 on failure.
CB_PLATFORM_API int StretchDIBits(HDC destination, int x, int y, int width, int height, int xSrc, int ySrc,
                                  int widthSrc, int heightSrc, const Bitmap& bits, std::uint32_t rop);

}  // namespace cb
