#include "watermark/watermark_items.h"

#include <cmath>

namespace vidmill::watermark {

void SetSourceColor(cairo_t* cairo, std::uint32_t argb) {
    cairo_set_source_rgba(cairo, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                          (argb & 0xFF) / 255.0, ((argb >> 24) & 0xFF) / 255.0);
}

void StrokeWith(cairo_t* cairo, const Pen& pen) {
    SetSourceColor(cairo, pen.argb);
    cairo_set_line_width(cairo, pen.width);
    cairo_stroke_preserve(cairo);
}

WatermarkImage::WatermarkImage(SurfacePtr surface, float x, float y, float alphaFactor)
    : surface_(std::move(surface)), x_(x), y_(y), alphaFactor_(alphaFactor) {}

void WatermarkImage::draw(const DrawContext& context) const {
    if (!surface_ || cairo_surface_status(surface_.get()) != CAIRO_STATUS_SUCCESS) return;
    cairo_t* cairo = context.cairo;
    cairo_save(cairo);
    cairo_rectangle(cairo, x_, y_, cairo_image_surface_get_width(surface_.get()),
                    cairo_image_surface_get_height(surface_.get()));
    cairo_clip(cairo);
    cairo_set_source_surface(cairo, surface_.get(), x_, y_);
    cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_BEST);
    cairo_paint_with_alpha(cairo, alphaFactor_);
    cairo_restore(cairo);
}

WatermarkShape::WatermarkShape(Kind kind, float x, float y, float width, float height,
                               std::optional<std::uint32_t> fill, std::optional<Pen> outline)
    : kind_(kind), x_(x), y_(y), width_(width), height_(height), fill_(fill), outline_(outline) {}

void WatermarkShape::draw(const DrawContext& context) const {
    cairo_t* cairo = context.cairo;
    cairo_save(cairo);
    cairo_new_path(cairo);
    if (kind_ == Kind::Rectangle) {
        cairo_rectangle(cairo, x_, y_, width_, height_);
    } else if (width_ != 0 && height_ != 0) {
        // The ellipse as a circle of radius 1 scaled into the box; the pen is not scaled.
        cairo_save(cairo);
        cairo_translate(cairo, x_ + width_ / 2.0, y_ + height_ / 2.0);
        cairo_scale(cairo, width_ / 2.0, height_ / 2.0);
        cairo_arc(cairo, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cairo);
    }
    if (fill_) {
        SetSourceColor(cairo, *fill_);
        cairo_fill_preserve(cairo);
    }
    if (outline_) StrokeWith(cairo, *outline_);
    cairo_new_path(cairo);
    cairo_restore(cairo);
}

WatermarkLine::WatermarkLine(float x1, float y1, float x2, float y2, Pen pen)
    : x1_(x1), y1_(y1), x2_(x2), y2_(y2), pen_(pen) {}

void WatermarkLine::draw(const DrawContext& context) const {
    cairo_t* cairo = context.cairo;
    cairo_new_path(cairo);
    cairo_move_to(cairo, x1_, y1_);
    cairo_line_to(cairo, x2_, y2_);
    StrokeWith(cairo, pen_);
    cairo_new_path(cairo);
}

}  // namespace vidmill::watermark
