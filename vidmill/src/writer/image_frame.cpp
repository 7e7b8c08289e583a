#include "writer/image_frame.h"

#include "watermark/frame_canvas.h"

namespace vidmill::writer {

void ComposeImageFrame(cb::Bitmap& frame, cairo_surface_t* image, ImagePlacement placement) {
    frame.fill(0);
    if (image == nullptr || cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) return;
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    if (width < 1 || height < 1) return;
    watermark::FrameCanvas canvas(frame);
    if (!canvas.valid()) return;
    cairo_t* cairo = canvas.cairo();
    if (placement == ImagePlacement::Stretch)
        cairo_scale(cairo, static_cast<double>(frame.width()) / width,
                    static_cast<double>(frame.height()) / height);
    cairo_set_source_surface(cairo, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_BEST);
    // Stretched images keep their edge pixels up to the frame's border instead of fading out.
    cairo_pattern_set_extend(cairo_get_source(cairo), CAIRO_EXTEND_PAD);
    cairo_rectangle(cairo, 0, 0, width, height);
    cairo_fill(cairo);
    canvas.finish();
}

}  // namespace vidmill::writer
