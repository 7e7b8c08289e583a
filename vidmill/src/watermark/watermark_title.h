// Text drawn over a frame: a fixed title or a running timer, in its font, colours and pens.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "watermark/timer_text.h"
#include "watermark/watermark_items.h"

namespace vidmill::watermark {

struct TitleLook {
    std::string fontName = "Arial";
    int fontStyle = FontStyleRegular;  // FontStyleConstants flags
    float fontSize = 8;                // em size in pixels
    std::optional<std::uint32_t> fill;
    std::optional<Pen> outline;
    std::optional<Pen> glow;  // its width is already doubled
};

// Text (fixed or a timer) turned into a path: glow pen, then fill, then outline pen.
class WatermarkTitle final : public WatermarkItem {
  public:
    WatermarkTitle(std::string text, TimerStyle style, int startFrame, float x, float y, TitleLook look);
    void draw(const DrawContext& context) const override;
    // The text this title shows in the given context.
    std::string textFor(const DrawContext& context) const;

  private:
    std::string text_;
    TimerStyle style_;
    int startFrame_;
    float x_;
    float y_;
    TitleLook look_;
};

}  // namespace vidmill::watermark
