// The hidden work surfaces and the pixel-buffer basics they share with the picture operations.
#include "media/pixels/work_surface.h"

#include <cstring>
#include <limits>

#include "cbplatform/picture.h"

namespace composer {

BitmapInfo32 MakeBitmapInfo32(int32_t width, int32_t height) {
    BitmapInfo32 info;
    info.Width = width;
    info.Height = height;
    info.SizeImage = PixelSizeUsable(width, height) ? width * height * 4 : 0;
    return info;
}

bool PixelSizeUsable(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return false;
    return static_cast<int64_t>(width) * height * 4 <= std::numeric_limits<int32_t>::max();
}

void ResizePixelBuffer(PixelBuffer& buffer, int64_t count) {
    const auto wanted = static_cast<std::size_t>(count < 0 ? 0 : count);
    if (!buffer.empty() && buffer.size() == wanted) return;
    // A fresh zeroed store, not a resize that would keep the old entries.
    PixelBuffer(wanted, 0u).swap(buffer);
}

cb::ComPtr<IPicture> WorkSurface::Image() {
    if (!bitmap_) return nullptr;
    if (!image_) image_ = cb::CreatePicture(bitmap_);
    return image_;
}

void WorkSurface::Clear() {
    if (!bitmap_) return;
    auto* pixels = reinterpret_cast<uint32_t*>(bitmap_->bits());
    const std::size_t count = bitmap_->sizeBytes() / 4;
    if (background_ == 0) {
        std::memset(pixels, 0, count * 4);
    } else {
        std::fill(pixels, pixels + count, background_);
    }
}

void FitWorkSurface(WorkSurface& surface, int32_t width, int32_t height) {
    if (!PixelSizeUsable(width, height)) return;
    if (surface.Width() == width && surface.Height() == height) return;
    // A new bitmap, so that pictures handed out before keep the image they showed.
    surface.bitmap_ = std::make_shared<cb::Bitmap>(width, height, 32);
    surface.image_.reset();
    surface.Clear();
}

ProcessMainForm& ProcessMainFrm() {
    static ProcessMainForm form;
    return form;
}

}  // namespace composer
