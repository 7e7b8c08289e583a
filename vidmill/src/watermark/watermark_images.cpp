#include "watermark/watermark_images.h"

#include <cstdint>
#include <vector>

#include "cbplatform/picture.h"

namespace vidmill::watermark {
namespace {

std::uint8_t Premultiply(std::uint8_t value, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((value * alpha + 127) / 255);
}

// Copies straight-alpha BGRA rows into a new premultiplied surface.
SurfacePtr SurfaceFromRows(int width, int height, const std::uint8_t* const* rows, int bytesPerPixel) {
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    std::uint8_t* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = rows[y];
        std::uint8_t* to = data + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x, from += bytesPerPixel, to += 4) {
            const std::uint8_t alpha = bytesPerPixel == 4 ? from[3] : 0xFF;
            to[0] = Premultiply(from[0], alpha);
            to[1] = Premultiply(from[1], alpha);
            to[2] = Premultiply(from[2], alpha);
            to[3] = alpha;
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

}  // namespace

SurfacePtr SurfaceFromBitmap(const cb::Bitmap& bitmap) {
    if (bitmap.empty() || bitmap.bitsPerPixel() < 24) return nullptr;
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(bitmap.height()));
    for (int y = 0; y < bitmap.height(); ++y) rows[static_cast<std::size_t>(y)] = bitmap.topRow(y);
    return SurfaceFromRows(bitmap.width(), bitmap.height(), rows.data(), bitmap.bitsPerPixel() / 8);
}

SurfacePtr LoadImageSurface(const std::string& path) { return SurfaceFromBitmap(cb::DecodeImageFile(path)); }

SurfacePtr LoadImageSurface(const std::vector<std::uint8_t>& bytes) {
    return SurfaceFromBitmap(cb::DecodeImageBytes(bytes));
}

}  // namespace vidmill::watermark
