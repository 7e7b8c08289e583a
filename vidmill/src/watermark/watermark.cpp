#include "watermark/watermark.h"

#include <algorithm>

#include "watermark/frame_canvas.h"
#include "watermark/watermark_color.h"
#include "watermark/watermark_images.h"
#include "watermark/watermark_title.h"

namespace vidmill::watermark {
namespace {

// A pen exists when its colour is given and its width is positive.
std::optional<Pen> OptionalPen(std::int32_t color, float width, float transparency) {
    if (color == -1 || !(width > 0)) return std::nullopt;
    return Pen{DrawingColor(color, transparency), width};
}

}  // namespace

float ImageAlphaFactor(float transparency) { return std::clamp(1.0f - transparency / 100.0f, 0.0f, 1.0f); }

void Watermark::addImageFile(const std::string& fileName, float x, float y, float transparency) {
    items_.push_back(
        std::make_unique<WatermarkImage>(LoadImageSurface(fileName), x, y, ImageAlphaFactor(transparency)));
}

void Watermark::addImageBytes(const std::vector<std::uint8_t>& bytes, float x, float y, float transparency) {
    items_.push_back(
        std::make_unique<WatermarkImage>(LoadImageSurface(bytes), x, y, ImageAlphaFactor(transparency)));
}

void Watermark::addBitmap(const cb::Bitmap& bitmap, float x, float y, float transparency) {
    items_.push_back(
        std::make_unique<WatermarkImage>(SurfaceFromBitmap(bitmap), x, y, ImageAlphaFactor(transparency)));
}

void Watermark::addTitleItem(std::string text, TimerStyle timerStyle, int startFrame, float x, float y,
                             const TitleStyle& style) {
    TitleLook look;
    look.fontName = style.fontName;
    look.fontStyle = style.fontStyle;
    look.fontSize = style.fontSize;
    look.fill = OptionalDrawingColor(style.color, style.transparency);
    look.outline = OptionalPen(style.outlineColor, style.outlineWidth, style.transparency);
    look.glow = OptionalPen(style.glowColor, style.glowWidth * 2, style.transparency);
    items_.push_back(
        std::make_unique<WatermarkTitle>(std::move(text), timerStyle, startFrame, x, y, std::move(look)));
}

void Watermark::addTitle(const std::string& text, float x, float y, const TitleStyle& style) {
    addTitleItem(text, TimerStyleFixedText, 0, x, y, style);
}

void Watermark::addTimer(float x, float y, TimerStyle timerStyle, int startFrame, const TitleStyle& style) {
    addTitleItem({}, timerStyle, startFrame, x, y, style);
}

void Watermark::addRectangle(float x, float y, float width, float height, std::int32_t solidColor,
                             std::int32_t outlineColor, float outlineWidth, float transparency) {
    items_.push_back(std::make_unique<WatermarkShape>(WatermarkShape::Kind::Rectangle, x, y, width, height,
                                                      OptionalDrawingColor(solidColor, transparency),
                                                      OptionalPen(outlineColor, outlineWidth, transparency)));
}

void Watermark::addEllipse(float centerX, float centerY, float radiusX, float radiusY,
                           std::int32_t solidColor, std::int32_t outlineColor, float outlineWidth,
                           float transparency) {
    items_.push_back(std::make_unique<WatermarkShape>(WatermarkShape::Kind::Ellipse, centerX - radiusX,
                                                      centerY - radiusY, 2 * radiusX, 2 * radiusY,
                                                      OptionalDrawingColor(solidColor, transparency),
                                                      OptionalPen(outlineColor, outlineWidth, transparency)));
}

void Watermark::addLine(float x1, float y1, float x2, float y2, float width, std::int32_t color,
                        float transparency) {
    items_.push_back(
        std::make_unique<WatermarkLine>(x1, y1, x2, y2, Pen{DrawingColor(color, transparency), width}));
}

void Watermark::draw(cb::Bitmap& frame, int frameCounter, double framesPerSecond,
                     std::chrono::system_clock::time_point now) const {
    if (items_.empty()) return;
    FrameCanvas canvas(frame);
    if (!canvas.valid()) return;
    cairo_t* cairo = canvas.cairo();
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_GOOD);
    cairo_translate(cairo, horizontalOffset_, verticalOffset_);
    const DrawContext context{cairo, frameCounter, framesPerSecond, now};
    for (const auto& item : items_) item->draw(context);
    cairo_translate(cairo, -horizontalOffset_, -verticalOffset_);
    canvas.finish();
}

}  // namespace vidmill::watermark
