// Turning pictures into pixel buffers and back, with the crop-and-stretch geometry of the render.
#include "media/pixels/picture_operation.h"

#include <algorithm>
#include <cstring>

#include "base/rounding.h"
#include "cbplatform/gdi.h"
#include "cbplatform/picture.h"

namespace composer {
namespace {

// The surface's rows, bottom-up, are laid out exactly as a pixel buffer described by the header,
// so a transfer of all rows is one copy.
bool HeaderDescribes(const BitmapInfo32& info, const cb::Bitmap& surface) {
    return info.BitCount == 32 && info.Compression == 0 && info.Width == surface.width() &&
           info.Height == surface.height() && surface.bitsPerPixel() == 32 &&
           static_cast<std::size_t>(info.SizeImage) == surface.sizeBytes();
}

// Writes all rows of the buffer into the surface.
bool SetSurfaceBits(cb::Bitmap& surface, const BitmapInfo32& info, const PixelBuffer& pixels) {
    if (!HeaderDescribes(info, surface) || pixels.size() * 4 < surface.sizeBytes()) return false;
    std::memcpy(surface.bits(), pixels.data(), surface.sizeBytes());
    return true;
}

// Reads all rows of the surface into the buffer.
bool GetSurfaceBits(const cb::Bitmap& surface, const BitmapInfo32& info, PixelBuffer& pixels) {
    if (!HeaderDescribes(info, surface) || pixels.size() * 4 < surface.sizeBytes()) return false;
    std::memcpy(pixels.data(), surface.bits(), surface.sizeBytes());
    return true;
}

// A length in pixels as HIMETRIC at the screen's 96 dots per inch, unrounded. Multiplying before
// dividing keeps the exact halves (12 pixels are 317.5) exact, so that rounding sees them.
double PixelsToHimetricLength(int32_t pixels) { return pixels * 2540.0 / 96.0; }

struct HimetricSize {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
};

bool PictureSize(IPicture* picture, HimetricSize& size) {
    return picture && SUCCEEDED(picture->get_Width(&size.width)) &&
           SUCCEEDED(picture->get_Height(&size.height));
}

// Fits the surface to the output size and renders the picture's kept region over it.
bool RenderOnto(WorkSurface& surface, IPicture* picture, int32_t outWidth, int32_t outHeight, float overdraw,
                const CropMargins& margins) {
    HimetricSize size;
    if (!PixelSizeUsable(outWidth, outHeight) || !PictureSize(picture, size)) return false;
    FitWorkSurface(surface, outWidth, outHeight);
    const RenderPlacement at =
        CropStretchPlacement(size.width, size.height, outWidth, outHeight, overdraw, margins);
    cb::DeviceContext dc(*surface.Bits());
    return SUCCEEDED(picture->Render(dc.handle(), at.X, at.Y, at.Width, at.Height, at.SourceX, at.SourceY,
                                     at.SourceWidth, at.SourceHeight, nullptr));
}

// A picture's pixels at 32 bits: its own bitmap, or one it is drawn into unchanged (the render call
// with the destination upright and the source whole maps every pixel onto itself).
std::shared_ptr<cb::Bitmap> Pixels32(IPicture* picture) {
    std::shared_ptr<cb::Bitmap> own = cb::PictureBitmap(picture);
    if (!own || own->empty() || own->bitsPerPixel() == 32) return own;
    HimetricSize size;
    if (!PictureSize(picture, size)) return nullptr;
    auto converted = std::make_shared<cb::Bitmap>(own->width(), own->height(), 32);
    cb::DeviceContext dc(*converted);
    if (FAILED(picture->Render(dc.handle(), 0, own->height() - 1, own->width(), -own->height(), 0, 0,
                               size.width, size.height, nullptr)))
        return nullptr;
    return converted;
}

PixelTarget SurfaceTarget(cb::Bitmap& surface) {
    return {reinterpret_cast<uint32_t*>(surface.topRow(0)),
            -static_cast<std::ptrdiff_t>(surface.stride() / 4), surface.width(), surface.height()};
}

bool ReadSurface(WorkSurface& surface, int32_t width, int32_t height, PixelBuffer& pixels) {
    ResizePixelBuffer(pixels, static_cast<int64_t>(width) * height);
    return GetSurfaceBits(*surface.Bits(), MakeBitmapInfo32(width, height), pixels);
}

}  // namespace

float OverdrawRows(int32_t outHeight, int32_t sourceHeight) {
    // A source without rows would make r infinite and every coordinate meaningless.
    if (sourceHeight <= 0) return 1.0f;
    const float r = static_cast<float>(outHeight) / static_cast<float>(sourceHeight);
    return r < 1.0f ? 1.0f : r;
}

RenderPlacement CropStretchPlacement(OLE_XSIZE_HIMETRIC pictureWidth, OLE_YSIZE_HIMETRIC pictureHeight,
                                     int32_t outWidth, int32_t outHeight, float overdrawRows,
                                     const CropMargins& margins) {
    const double top = PixelsToHimetricLength(margins.Top);
    const double bottom = PixelsToHimetricLength(margins.Bottom);
    const double left = PixelsToHimetricLength(margins.Left);
    const double right = PixelsToHimetricLength(margins.Right);
    const double r = overdrawRows;
    RenderPlacement at;
    at.X = 0;
    at.Y = RoundToInt32(outHeight - 1 + r);
    at.Width = outWidth;
    at.Height = RoundToInt32(-(outHeight + 2 * r));
    at.SourceX = RoundToInt32(left);
    at.SourceY = RoundToInt32(bottom);
    at.SourceWidth = RoundToInt32(pictureWidth - left - right);
    at.SourceHeight = RoundToInt32(pictureHeight - top - bottom);
    return at;
}

cb::ComPtr<IPicture> PixelsToPicture(int32_t width, int32_t height, const PixelBuffer& pixels) {
    if (!PixelSizeUsable(width, height)) return nullptr;
    if (pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) return nullptr;
    WorkSurface& surface = ProcessMainFrm().ProcessPic2;
    FitWorkSurface(surface, width, height);
    if (!SetSurfaceBits(*surface.Bits(), MakeBitmapInfo32(width, height), pixels)) return nullptr;
    return surface.Image();
}

cb::ComPtr<IPicture> CropStretchPicture(int32_t /*sourceWidth*/, int32_t sourceHeight, IPicture* picture,
                                        int32_t outWidth, int32_t outHeight, int32_t top, int32_t bottom,
                                        int32_t left, int32_t right) {
    WorkSurface& surface = ProcessMainFrm().ProcessPic1;
    if (!RenderOnto(surface, picture, outWidth, outHeight, OverdrawRows(outHeight, sourceHeight),
                    CropMargins{top, bottom, left, right}))
        return nullptr;
    return surface.Image();
}

bool PictureToPixels(IPicture* picture, int32_t width, int32_t height, PixelBuffer& pixels) {
    WorkSurface& surface = ProcessMainFrm().ProcessPic3;
    if (!RenderOnto(surface, picture, width, height, 1.0f, CropMargins{})) return false;
    return ReadSurface(surface, width, height, pixels);
}

bool CropStretchToPixels(IPicture* picture, int32_t /*sourceWidth*/, int32_t sourceHeight, int32_t outWidth,
                         int32_t outHeight, PixelBuffer& pixels, int32_t top, int32_t bottom, int32_t left,
                         int32_t right) {
    WorkSurface& surface = ProcessMainFrm().ProcessPic4;
    if (!RenderOnto(surface, picture, outWidth, outHeight, OverdrawRows(outHeight, sourceHeight),
                    CropMargins{top, bottom, left, right}))
        return false;
    return ReadSurface(surface, outWidth, outHeight, pixels);
}

bool KeptRegion(IPicture* picture, const CropMargins& margins, KeptPixels& kept) {
    kept.bitmap = Pixels32(picture);
    if (!kept.bitmap || kept.bitmap->empty()) return false;
    const cb::Bitmap& bitmap = *kept.bitmap;
    // Stored margins may be anything: summed in 64 bits, each at least 0.
    const auto keptExtent = [](int32_t extent, int32_t first, int32_t second) {
        return static_cast<int64_t>(extent) - std::max(first, 0) - std::max(second, 0);
    };
    const int64_t width = keptExtent(bitmap.width(), margins.Left, margins.Right);
    const int64_t height = keptExtent(bitmap.height(), margins.Top, margins.Bottom);
    if (width < 1 || height < 1) return false;
    const auto* top = reinterpret_cast<const uint32_t*>(bitmap.topRow(std::max(margins.Top, 0)));
    kept.region = {top + std::max(margins.Left, 0), -static_cast<std::ptrdiff_t>(bitmap.stride() / 4),
                   static_cast<int32_t>(width), static_cast<int32_t>(height)};
    return true;
}

PixelTarget BufferTarget(PixelBuffer& pixels, int32_t width, int32_t height) {
    return {pixels.data() + static_cast<std::size_t>(height - 1) * static_cast<std::size_t>(width),
            -static_cast<std::ptrdiff_t>(width), width, height};
}

bool CropScaleToPixels(IPicture* picture, int32_t outWidth, int32_t outHeight, const CropMargins& margins,
                       PixelScaler& scaler, PixelBuffer& pixels) {
    KeptPixels kept;
    if (!PixelSizeUsable(outWidth, outHeight) || !KeptRegion(picture, margins, kept)) return false;
    ResizePixelBuffer(pixels, static_cast<int64_t>(outWidth) * outHeight);
    return scaler.Scale(kept.region, BufferTarget(pixels, outWidth, outHeight));
}

cb::ComPtr<IPicture> CropScalePicture(IPicture* picture, int32_t outWidth, int32_t outHeight,
                                      const CropMargins& margins, PixelScaler& scaler) {
    KeptPixels kept;
    if (!PixelSizeUsable(outWidth, outHeight) || !KeptRegion(picture, margins, kept)) return nullptr;
    WorkSurface& surface = ProcessMainFrm().ProcessPic1;
    FitWorkSurface(surface, outWidth, outHeight);
    if (!scaler.Scale(kept.region, SurfaceTarget(*surface.Bits()))) return nullptr;
    return surface.Image();
}

}  // namespace composer
