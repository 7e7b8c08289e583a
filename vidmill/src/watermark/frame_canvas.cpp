#include "watermark/frame_canvas.h"

#include <climits>
#include <cstdint>

namespace vidmill::watermark {
namespace {

// The palette entry nearest to a colour, by squared distance.
std::uint8_t NearestEntry(const std::vector<cb::RgbQuad>& palette, std::uint8_t blue, std::uint8_t green,
                          std::uint8_t red) {
    int best = 0;
    int bestDistance = INT_MAX;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int db = palette[i].blue - blue;
        const int dg = palette[i].green - green;
        const int dr = palette[i].red - red;
        const int distance = db * db + dg * dg + dr * dr;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace

FrameCanvas::FrameCanvas(cb::Bitmap& frame) : frame_(frame) {
    if (frame.empty()) return;
    inPlace_ = frame.bitsPerPixel() == 32;
    if (inPlace_) {
        surface_.reset(cairo_image_surface_create_for_data(frame.bits(), CAIRO_FORMAT_RGB24, frame.width(),
                                                           frame.height(), static_cast<int>(frame.stride())));
    } else {
        surface_.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, frame.width(), frame.height()));
    }
    if (cairo_surface_status(surface_.get()) != CAIRO_STATUS_SUCCESS) return;
    if (!inPlace_) copyIn();
    cairo_.reset(cairo_create(surface_.get()));
    if (inPlace_) {
        // Memory starts with the bottom row: turn picture coordinates upside down onto it.
        cairo_translate(cairo_.get(), 0, frame.height());
        cairo_scale(cairo_.get(), 1, -1);
    }
}

void FrameCanvas::copyIn() {
    cairo_surface_flush(surface_.get());
    std::uint8_t* data = cairo_image_surface_get_data(surface_.get());
    const int stride = cairo_image_surface_get_stride(surface_.get());
    const int bytesPerPixel = frame_.bitsPerPixel() / 8;
    for (int y = 0; y < frame_.height(); ++y) {
        const std::uint8_t* from = frame_.topRow(y);
        std::uint8_t* to = data + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < frame_.width(); ++x, to += 4) {
            if (bytesPerPixel == 1) {
                const cb::RgbQuad& entry = frame_.palette()[from[x]];
                to[0] = entry.blue;
                to[1] = entry.green;
                to[2] = entry.red;
            } else {
                to[0] = from[x * bytesPerPixel];
                to[1] = from[x * bytesPerPixel + 1];
                to[2] = from[x * bytesPerPixel + 2];
            }
            to[3] = 0xFF;
        }
    }
    cairo_surface_mark_dirty(surface_.get());
}

void FrameCanvas::copyOut() {
    cairo_surface_flush(surface_.get());
    const std::uint8_t* data = cairo_image_surface_get_data(surface_.get());
    const int stride = cairo_image_surface_get_stride(surface_.get());
    const int bytesPerPixel = frame_.bitsPerPixel() / 8;
    for (int y = 0; y < frame_.height(); ++y) {
        const std::uint8_t* from = data + static_cast<std::ptrdiff_t>(y) * stride;
        std::uint8_t* to = frame_.topRow(y);
        for (int x = 0; x < frame_.width(); ++x, from += 4) {
            if (bytesPerPixel == 1) {
                const cb::RgbQuad& entry = frame_.palette()[to[x]];
                // Untouched pixels keep their entry; drawn ones take the nearest colour.
                if (entry.blue != from[0] || entry.green != from[1] || entry.red != from[2])
                    to[x] = NearestEntry(frame_.palette(), from[0], from[1], from[2]);
            } else {
                to[x * bytesPerPixel] = from[0];
                to[x * bytesPerPixel + 1] = from[1];
                to[x * bytesPerPixel + 2] = from[2];
            }
        }
    }
}

void FrameCanvas::finish() {
    if (!cairo_) return;
    cairo_.reset();
    if (inPlace_) {
        cairo_surface_flush(surface_.get());
    } else {
        copyOut();
    }
}

}  // namespace vidmill::watermark
