// The items of a watermark, each one drawing operation over the frame.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "watermark/cairo_owners.h"

namespace vidmill::watermark {

// What an item may need besides the drawing context: the writer's frame counter and rate, and
// the clock for the date and time titles.
struct DrawContext {
    cairo_t* cairo = nullptr;
    int frameCounter = 0;
    double framesPerSecond = 0;
    std::chrono::system_clock::time_point now;
};

// A pen or brush colour as an ARGB number, and a pen's width.
struct Pen {
    std::uint32_t argb = 0;
    float width = 1;
};

class WatermarkItem {
  public:
    virtual ~WatermarkItem() = default;
    virtual void draw(const DrawContext& context) const = 0;
};

// An image drawn at its own size with its alpha scaled by a factor of 0..1.
class WatermarkImage final : public WatermarkItem {
  public:
    // surface: premultiplied ARGB, or null for an image that could not be loaded (draws nothing).
    WatermarkImage(SurfacePtr surface, float x, float y, float alphaFactor);
    void draw(const DrawContext& context) const override;

  private:
    SurfacePtr surface_;
    float x_;
    float y_;
    float alphaFactor_;
};

// Fill, then outline, of a rectangle or of the ellipse inscribed in it.
class WatermarkShape final : public WatermarkItem {
  public:
    enum class Kind { Rectangle, Ellipse };
    WatermarkShape(Kind kind, float x, float y, float width, float height, std::optional<std::uint32_t> fill,
                   std::optional<Pen> outline);
    void draw(const DrawContext& context) const override;

  private:
    Kind kind_;
    float x_;
    float y_;
    float width_;
    float height_;
    std::optional<std::uint32_t> fill_;
    std::optional<Pen> outline_;
};

class WatermarkLine final : public WatermarkItem {
  public:
    WatermarkLine(float x1, float y1, float x2, float y2, Pen pen);
    void draw(const DrawContext& context) const override;

  private:
    float x1_;
    float y1_;
    float x2_;
    float y2_;
    Pen pen_;
};

// Sets an ARGB colour as the source of the drawing context.
void SetSourceColor(cairo_t* cairo, std::uint32_t argb);
// Strokes the current path with the pen, keeping the path.
void StrokeWith(cairo_t* cairo, const Pen& pen);

}  // namespace vidmill::watermark
