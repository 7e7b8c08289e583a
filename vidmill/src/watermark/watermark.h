// A watermark: an ordered list of items drawn over every frame just before it is written,
// shifted as a whole by two offsets. Items are semi-transparent by a percentage.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "cbplatform/bitmap.h"
#include "watermark/timer_text.h"
#include "watermark/watermark_items.h"

namespace vidmill::watermark {

// How a title looks, as the callers give it: colours 0xRRGGBB or -1 for none.
struct TitleStyle {
    std::string fontName = "Arial";
    int fontStyle = FontStyleRegular;
    float fontSize = 8;
    std::int32_t color = -1;
    std::int32_t outlineColor = -1;
    float outlineWidth = 1;
    std::int32_t glowColor = -1;
    float glowWidth = 1;
    float transparency = 25;
};

class Watermark {
  public:
    float horizontalOffset() const { return horizontalOffset_; }
    float verticalOffset() const { return verticalOffset_; }
    void setHorizontalOffset(float offset) { horizontalOffset_ = offset; }
    void setVerticalOffset(float offset) { verticalOffset_ = offset; }

    // Empties the list; the offsets keep their values.
    void reset() { items_.clear(); }
    bool empty() const { return items_.empty(); }
    std::size_t size() const { return items_.size(); }

    // An image file at (x, y); one that cannot be read gives an item that draws nothing.
    void addImageFile(const std::string& fileName, float x, float y, float transparency);
    // An image file held in memory (read from a stream), likewise.
    void addImageBytes(const std::vector<std::uint8_t>& bytes, float x, float y, float transparency);
    // A 32-bit bitmap with straight alpha (a picture or device-context copy) at (x, y).
    void addBitmap(const cb::Bitmap& bitmap, float x, float y, float transparency);
    void addTitle(const std::string& text, float x, float y, const TitleStyle& style);
    void addTimer(float x, float y, TimerStyle timerStyle, int startFrame, const TitleStyle& style);
    void addRectangle(float x, float y, float width, float height, std::int32_t solidColor,
                      std::int32_t outlineColor, float outlineWidth, float transparency);
    void addEllipse(float centerX, float centerY, float radiusX, float radiusY, std::int32_t solidColor,
                    std::int32_t outlineColor, float outlineWidth, float transparency);
    // Color -1 is not "none" here: it is drawn as 0xFFFFFF. (Callers that omit it pass 0, black.)
    void addLine(float x1, float y1, float x2, float y2, float width, std::int32_t color, float transparency);

    // Draws every item over the frame, with the writer's frame counter and rate for timers.
    void draw(cb::Bitmap& frame, int frameCounter, double framesPerSecond,
              std::chrono::system_clock::time_point now = std::chrono::system_clock::now()) const;

  private:
    void addTitleItem(std::string text, TimerStyle timerStyle, int startFrame, float x, float y,
                      const TitleStyle& style);

    float horizontalOffset_ = 0;
    float verticalOffset_ = 0;
    std::vector<std::unique_ptr<WatermarkItem>> items_;
};

// The alpha factor of an image: 1 - transparency / 100, within 0..1.
float ImageAlphaFactor(float transparency);

}  // namespace vidmill::watermark
