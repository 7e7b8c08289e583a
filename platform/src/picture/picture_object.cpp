// The picture object: a bitmap shared with whoever made it, its size in HIMETRIC, and Render.
#include <cmath>
#include <cstdlib>
#include <utility>

#include "cbplatform/com_object.h"
#include "cbplatform/gdi.h"
#include "cbplatform/picture.h"
#include "gdi/stretch_core.h"

namespace cb {
namespace {

// How this layer finds the bitmap behind a picture it made.
struct IPlatformPicture : IUnknown {
    static constexpr IID kIid = MakeGuid("{5C0F3B52-8E4A-4C1B-9D6E-2B7A1F94C3D8}");
    virtual std::shared_ptr<Bitmap> bitmap() = 0;

  protected:
    ~IPlatformPicture() = default;
};

// Source row (counted from the top) of a HIMETRIC run that starts at y (from the bottom edge).
auto HimetricRows(double y, double extent, int height) {
    return [=](double f) {
        const double up = (y + f * extent) / kHimetricPerPixel;
        const int fromBottom = static_cast<int>(std::floor(up));
        const int row = height - 1 - fromBottom;
        return fromBottom >= 0 && row >= 0 ? row : -1;
    };
}

auto HimetricColumns(double x, double extent, int width) {
    return [=](double f) {
        const int column = static_cast<int>(std::floor((x + f * extent) / kHimetricPerPixel));
        return column >= 0 && column < width ? column : -1;
    };
}

class PictureObject final : public RefCountedObject<PictureObject, IPicture, IPlatformPicture> {
  public:
    explicit PictureObject(std::shared_ptr<Bitmap> bitmap) : bitmap_(std::move(bitmap)) {}

    HRESULT get_Width(OLE_XSIZE_HIMETRIC* width) override {
        if (!width) return E_POINTER;
        *width = PixelsToHimetric(bitmap_->width());
        return S_OK;
    }
    HRESULT get_Height(OLE_YSIZE_HIMETRIC* height) override {
        if (!height) return E_POINTER;
        *height = PixelsToHimetric(bitmap_->height());
        return S_OK;
    }
    HRESULT Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XSIZE_HIMETRIC xSrc, OLE_YSIZE_HIMETRIC ySrc,
                   OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc, const void*) override {
        Bitmap* surface = BitmapOfDC(dc);
        if (!surface) return E_INVALIDARG;
        const Bitmap& source = *bitmap_;
        const AxisMap columns =
            MapAxis(x, cx, surface->width(), HimetricColumns(xSrc, cxSrc, source.width()));
        const AxisMap rows = MapAxis(y, cy, surface->height(), HimetricRows(ySrc, cySrc, source.height()));
        if (surface == &source) {
            const Bitmap copy = source;
            CopyThroughMaps(*surface, columns, rows, copy);
        } else {
            CopyThroughMaps(*surface, columns, rows, source);
        }
        return S_OK;
    }
    std::shared_ptr<Bitmap> bitmap() override { return bitmap_; }

  private:
    std::shared_ptr<Bitmap> bitmap_;
};

}  // namespace

std::int32_t PixelsToHimetric(int pixels) {
    return static_cast<std::int32_t>(std::lround(pixels * kHimetricPerPixel));
}

int HimetricToPixels(std::int32_t himetric) {
    return static_cast<int>(std::lround(himetric / kHimetricPerPixel));
}

ComPtr<IPicture> CreatePicture(std::shared_ptr<Bitmap> bitmap) {
    if (!bitmap || bitmap->empty()) return nullptr;
    return ComPtr<IPicture>::Adopt(new PictureObject(std::move(bitmap)));
}

std::shared_ptr<Bitmap> PictureBitmap(IPicture* picture) {
    if (!picture) return nullptr;
    ComPtr<IPlatformPicture> own;
    if (FAILED(picture->QueryInterface(IPlatformPicture::kIid, reinterpret_cast<void**>(own.put()))))
        return nullptr;
    return own->bitmap();
}

ComPtr<IPicture> LoadPicture(const std::string& path) {
    Bitmap decoded = DecodeImageFile(path);
    if (decoded.empty()) return nullptr;
    return CreatePicture(std::make_shared<Bitmap>(std::move(decoded)));
}

}  // namespace cb
