// The platform picture object: a raster picture with its size in HIMETRIC units (0.01 mm,
// 26.458333 per pixel at 96 dots per inch) that renders onto a device context.
#pragma once

#include "cbplatform/com_types.h"
#include "cbplatform/handles.h"

using OLE_XSIZE_HIMETRIC = std::int32_t;
using OLE_YSIZE_HIMETRIC = std::int32_t;

struct IPicture : IUnknown {
    static constexpr IID kIid = cb::MakeGuid("{7BF80980-BF32-101A-8BBB-00AA00300CAB}");

    virtual HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) = 0;
    virtual HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) = 0;
    // Draws the source rectangle (HIMETRIC, y counted from the bottom edge; a negative height
    // flips) into the destination rectangle (device pixels) of the device context.
    virtual HRESULT Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XSIZE_HIMETRIC xSrc,
                           OLE_YSIZE_HIMETRIC ySrc, OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc,
                           const void* boundsReserved) = 0;

  protected:
    ~IPicture() = default;
};
