#pragma once
// PictureOperation: the picture operations the rendering engine rests on. A frame travels as a
// picture object (from the AVI reader wrapper, the image reader or a work surface) or as a pixel
// buffer; these routines turn one into the other, cut a clip's crop margins off while stretching
// what is left to the output size (overlays: overlay_pixels.h).
//
// Sampling: the render scales filtered by default (PixelScaler: area down, bicubic up), the kept
// region onto the whole output. With sharp pixels it keeps the point-sampled rule: stretching takes,
// for each output pixel, the source pixel under its centre (nearest neighbour), as the platform
// picture's Render does, with the over-draw of CropStretchPlacement.
#include <cstdint>
#include <memory>

#include "cbplatform/bitmap.h"
#include "cbplatform/com_types.h"
#include "cbplatform/ipicture.h"
#include "media/pixels/pixel_scaler.h"
#include "media/pixels/work_surface.h"

namespace composer {

// Crop margins in source pixels, each cut off its edge before stretching.
struct CropMargins {
    int32_t Top = 0;
    int32_t Bottom = 0;
    int32_t Left = 0;
    int32_t Right = 0;
};

// How the render changes a picture's size: filtered (the default), or the point-sampled rule kept
// bit for bit ("sharp pixels").
enum class Sampling { Filtered, SharpPixels };

// The arguments of the picture's Render call that draws a picture's kept region onto an output of
// outWidth x outHeight: destination (pixels) x = 0, y = outHeight - 1 + r, width = outWidth,
// height = -(outHeight + 2r); source (HIMETRIC, y from the bottom edge) x = left, y = bottom,
// width and height = the picture's size less the margins; every value rounded half to even.
// The kept region is stretched to outHeight + 2r rows starting r rows above the top, so r rows at
// the top and r at the bottom fall outside the frame.
struct RenderPlacement {
    LONG X = 0, Y = 0, Width = 0, Height = 0;
    OLE_XSIZE_HIMETRIC SourceX = 0;
    OLE_YSIZE_HIMETRIC SourceY = 0;
    OLE_XSIZE_HIMETRIC SourceWidth = 0;
    OLE_YSIZE_HIMETRIC SourceHeight = 0;
};
// r: the height of one source row in output rows, outHeight / sourceHeight in single precision,
// never below 1 (also 1 for a source height that is not positive).
float OverdrawRows(int32_t outHeight, int32_t sourceHeight);
RenderPlacement CropStretchPlacement(OLE_XSIZE_HIMETRIC pictureWidth, OLE_YSIZE_HIMETRIC pictureHeight,
                                     int32_t outWidth, int32_t outHeight, float overdrawRows,
                                     const CropMargins& margins);

// Writes the pixels into ProcessPic2 (fitted to width x height) and returns its image. Null when
// the size is not usable or the buffer holds fewer than width x height pixels.
cb::ComPtr<IPicture> PixelsToPicture(int32_t width, int32_t height, const PixelBuffer& pixels);

// Renders the kept part of the picture over ProcessPic1, fitted to the output size, and returns
// its image. sourceHeight is the clip's frame height in pixels as its reader reports it (it sets r).
// Null for a null picture or an output size that is not usable.
cb::ComPtr<IPicture> CropStretchPicture(int32_t sourceWidth, int32_t sourceHeight, IPicture* picture,
                                        int32_t outWidth, int32_t outHeight, int32_t top, int32_t bottom,
                                        int32_t left, int32_t right);

// Renders the whole picture (r = 1) over ProcessPic3 fitted to width x height and reads it into
// the buffer, resized to width x height with ResizePixelBuffer. False (buffer untouched) for a
// null picture or a size that is not usable.
bool PictureToPixels(IPicture* picture, int32_t width, int32_t height, PixelBuffer& pixels);

// CropStretchPicture on ProcessPic4, read into the buffer (resized to outWidth x outHeight).
bool CropStretchToPixels(IPicture* picture, int32_t sourceWidth, int32_t sourceHeight, int32_t outWidth,
                         int32_t outHeight, PixelBuffer& pixels, int32_t top, int32_t bottom, int32_t left,
                         int32_t right);

// The filtered counterparts. The kept region (the margins cut off the picture's own pixels) is
// scaled onto the whole output by the scaler; nothing is lost to an over-draw, so a picture of the
// output's size without margins comes out unchanged. False / null for a null picture, a size that is
// not usable, margins that keep nothing, or a scaler that cannot scale between the sizes.
bool CropScaleToPixels(IPicture* picture, int32_t outWidth, int32_t outHeight, const CropMargins& margins,
                       PixelScaler& scaler, PixelBuffer& pixels);
// The same drawn on CropStretchPicture's surface (ProcessPic1), whose image it returns.
cb::ComPtr<IPicture> CropScalePicture(IPicture* picture, int32_t outWidth, int32_t outHeight,
                                      const CropMargins& margins, PixelScaler& scaler);

// The kept region of a picture's own pixels, 32 bits each; `bitmap` holds them (the picture's own
// bitmap, or a 32-bit copy of one with fewer bits per pixel).
struct KeptPixels {
    std::shared_ptr<cb::Bitmap> bitmap;
    PixelRegion region;
};
// False for a null picture or margins that leave no pixel.
bool KeptRegion(IPicture* picture, const CropMargins& margins, KeptPixels& kept);

// A pixel buffer (rows bottom-up) as the whole target of a scaler.
PixelTarget BufferTarget(PixelBuffer& pixels, int32_t width, int32_t height);
}  // namespace composer
