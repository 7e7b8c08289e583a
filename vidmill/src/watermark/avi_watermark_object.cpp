#include "watermark/avi_watermark_object.h"

#include <algorithm>

#include "cbplatform/errorinfo.h"
#include "cbplatform/gdi.h"
#include "cbplatform/stream.h"
#include "frame/lzw.h"
#include "imaging/encoder_parameters.h"
#include "writer/source_rectangles.h"

namespace vidmill {
namespace {

watermark::TitleStyle StyleOf(BSTR fontName, LONG fontStyle, float fontSize, LONG color, LONG outlineColor,
                              float outlineWidth, LONG glowColor, float glowWidth, float transparency) {
    watermark::TitleStyle style;
    style.fontName = cb::BstrToUtf8(fontName);
    style.fontStyle = fontStyle;
    style.fontSize = fontSize;
    style.color = color;
    style.outlineColor = outlineColor;
    style.outlineWidth = outlineWidth;
    style.glowColor = glowColor;
    style.glowWidth = glowWidth;
    style.transparency = transparency;
    return style;
}

// Watermark bitmaps larger than this are no watermarks: such a size comes from a damaged or
// foreign picture, and the item then draws nothing instead of asking for gigabytes.
constexpr long long kMaxItemPixels = 1LL << 26;

bool UsableSize(long long width, long long height) {
    return width > 0 && height > 0 && width * height <= kMaxItemPixels;
}

// Passes on the failure of a call into another component object, with its message.
void Require(HRESULT result) {
    if (FAILED(result)) throw Error(cb::TakeErrorDescription(), result);
}

// The picture at its own size in pixels, with its alpha; transparent where it draws nothing.
cb::Bitmap PictureBitmapOf(IPicture& picture) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    Require(picture.get_Width(&width));
    Require(picture.get_Height(&height));
    const int pixelWidth = writer::HimetricToPixels(width);
    const int pixelHeight = writer::HimetricToPixels(height);
    if (!UsableSize(pixelWidth, pixelHeight)) return {};
    cb::Bitmap bitmap(pixelWidth, pixelHeight, 32);
    const cb::DeviceContext dc(bitmap);
    Require(picture.Render(dc.handle(), 0, 0, pixelWidth, pixelHeight, 0, height, width, -height, nullptr));
    return bitmap;
}

// A block copy of a device context's rectangle. Only the part inside the surface is copied (the
// rest would stay transparent anyway), so the item moves by the part cut off on the left and top.
// A value that is no device context gives an item that draws nothing, as an unreadable image does.
struct DeviceCopy {
    cb::Bitmap bitmap;
    float shiftX = 0;
    float shiftY = 0;
};
DeviceCopy CopyOfDC(HDC dc, LONG x, LONG y, LONG width, LONG height) {
    const cb::Bitmap* surface = cb::BitmapOfDC(dc);
    if (surface == nullptr) return {};
    const long long left = std::max<long long>(x, 0);
    const long long top = std::max<long long>(y, 0);
    const long long right = std::min<long long>(static_cast<long long>(x) + width, surface->width());
    const long long bottom = std::min<long long>(static_cast<long long>(y) + height, surface->height());
    if (!UsableSize(right - left, bottom - top)) return {};
    const int copyWidth = static_cast<int>(right - left);
    const int copyHeight = static_cast<int>(bottom - top);
    DeviceCopy copy{cb::Bitmap(copyWidth, copyHeight, 32), static_cast<float>(left - x),
                    static_cast<float>(top - y)};
    cb::StretchBitmap(copy.bitmap, {0, 0, copyWidth, copyHeight}, *surface,
                      {static_cast<int>(left), static_cast<int>(top), copyWidth, copyHeight});
    return copy;
}

}  // namespace

HRESULT TAviWatermark::Reset() {
    return Guarded([&] { watermark_.reset(); });
}

HRESULT TAviWatermark::get_VerticalOffset(float* value) { return Read(watermark_.verticalOffset(), value); }

HRESULT TAviWatermark::put_VerticalOffset(float value) {
    watermark_.setVerticalOffset(value);
    return S_OK;
}

HRESULT TAviWatermark::get_HorizontalOffset(float* value) {
    return Read(watermark_.horizontalOffset(), value);
}

HRESULT TAviWatermark::put_HorizontalOffset(float value) {
    watermark_.setHorizontalOffset(value);
    return S_OK;
}

HRESULT TAviWatermark::AddImage(BSTR FileName, float OffsetX, float OffsetY, float Transparency) {
    return Guarded([&] {
        const std::string path = cb::BstrToUtf8(FileName);
        imaging::CheckLzwByExtension(path, 0);
        watermark_.addImageFile(path, OffsetX, OffsetY, Transparency);
    });
}

HRESULT TAviWatermark::AddPicture(IPicture* Picture, float OffsetX, float OffsetY, float Transparency) {
    return Guarded([&] {
        // No picture gives an item that draws nothing, as an image that cannot be read does.
        const cb::Bitmap bitmap = Picture != nullptr ? PictureBitmapOf(*Picture) : cb::Bitmap();
        watermark_.addBitmap(bitmap, OffsetX, OffsetY, Transparency);
    });
}

HRESULT TAviWatermark::AddStream(IUnknown* Stream, float OffsetX, float OffsetY, float Transparency) {
    return Guarded([&] {
        // A missing stream, or one that cannot be read, gives an image item that draws nothing.
        std::vector<std::uint8_t> bytes;
        cb::ComPtr<IStream> stream;
        if (Stream != nullptr && SUCCEEDED(Stream->QueryInterface(IStream::kIid, stream.putVoid())))
            cb::ReadWholeStream(stream.get(), bytes);
        watermark_.addImageBytes(bytes, OffsetX, OffsetY, Transparency);
    });
}

HRESULT TAviWatermark::AddDC(HDC DC, LONG SourceX, LONG SourceY, LONG SourceWidth, LONG SourceHeight,
                             float OffsetX, float OffsetY, float Transparency) {
    return Guarded([&] {
        const DeviceCopy copy = CopyOfDC(DC, SourceX, SourceY, SourceWidth, SourceHeight);
        watermark_.addBitmap(copy.bitmap, OffsetX + copy.shiftX, OffsetY + copy.shiftY, Transparency);
    });
}

HRESULT TAviWatermark::AddTitle(BSTR Text, float OffsetX, float OffsetY, BSTR FontName, LONG FontStyle,
                                float FontSize, LONG Color, LONG OutlineColor, float OutlineWidth,
                                LONG GlowColor, float GlowWidth, float Transparency) {
    return Guarded([&] {
        watermark_.addTitle(cb::BstrToUtf8(Text), OffsetX, OffsetY,
                            StyleOf(FontName, FontStyle, FontSize, Color, OutlineColor, OutlineWidth,
                                    GlowColor, GlowWidth, Transparency));
    });
}

HRESULT TAviWatermark::AddTimer(float OffsetX, float OffsetY, LONG TimerStyle, LONG StartFrame, BSTR FontName,
                                LONG FontStyle, float FontSize, LONG Color, LONG OutlineColor,
                                float OutlineWidth, LONG GlowColor, float GlowWidth, float Transparency) {
    return Guarded([&] {
        watermark_.addTimer(OffsetX, OffsetY, TimerStyle, StartFrame,
                            StyleOf(FontName, FontStyle, FontSize, Color, OutlineColor, OutlineWidth,
                                    GlowColor, GlowWidth, Transparency));
    });
}

HRESULT TAviWatermark::AddRectangle(float OffsetX, float OffsetY, float Width, float Height, LONG SolidColor,
                                    LONG OutlineColor, float OutlineWidth, float Transparency) {
    return Guarded([&] {
        watermark_.addRectangle(OffsetX, OffsetY, Width, Height, SolidColor, OutlineColor, OutlineWidth,
                                Transparency);
    });
}

HRESULT TAviWatermark::AddLine(float X1, float Y1, float X2, float Y2, float Width, LONG Color,
                               float Transparency) {
    return Guarded([&] { watermark_.addLine(X1, Y1, X2, Y2, Width, Color, Transparency); });
}

HRESULT TAviWatermark::AddEllipse(float CenterX, float CenterY, float RadiusX, float RadiusY, LONG SolidColor,
                                  LONG OutlineColor, float OutlineWidth, float Transparency) {
    return Guarded([&] {
        watermark_.addEllipse(CenterX, CenterY, RadiusX, RadiusY, SolidColor, OutlineColor, OutlineWidth,
                              Transparency);
    });
}

HRESULT TAviWatermark::EnableLZW() {
    vidmill::EnableLZW();
    return S_OK;
}

}  // namespace vidmill
