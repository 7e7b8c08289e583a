#include "watermark/watermark_title.h"

namespace vidmill::watermark {
namespace {

FontDescriptionPtr FontFor(const TitleLook& look) {
    FontDescriptionPtr font(pango_font_description_new());
    pango_font_description_set_family(font.get(), look.fontName.c_str());
    pango_font_description_set_absolute_size(font.get(), static_cast<double>(look.fontSize) * PANGO_SCALE);
    pango_font_description_set_weight(
        font.get(), (look.fontStyle & FontStyleBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(
        font.get(), (look.fontStyle & FontStyleItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return font;
}

AttributeListPtr LinesFor(const TitleLook& look) {
    AttributeListPtr attributes(pango_attr_list_new());
    if (look.fontStyle & FontStyleUnderline)
        pango_attr_list_insert(attributes.get(), pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (look.fontStyle & FontStyleStrikeout)
        pango_attr_list_insert(attributes.get(), pango_attr_strikethrough_new(TRUE));
    return attributes;
}

}  // namespace

WatermarkTitle::WatermarkTitle(std::string text, TimerStyle style, int startFrame, float x, float y,
                               TitleLook look)
    : text_(std::move(text)), style_(style), startFrame_(startFrame), x_(x), y_(y), look_(std::move(look)) {}

std::string WatermarkTitle::textFor(const DrawContext& context) const {
    if (style_ == TimerStyleFixedText) return text_;
    return TimerText(style_, context.frameCounter, startFrame_, context.framesPerSecond, context.now);
}

void WatermarkTitle::draw(const DrawContext& context) const {
    if (!look_.fill && !look_.outline && !look_.glow) return;
    const std::string text = textFor(context);
    if (text.empty()) return;
    cairo_t* cairo = context.cairo;
    LayoutPtr layout(pango_cairo_create_layout(cairo));
    const FontDescriptionPtr font = FontFor(look_);
    pango_layout_set_font_description(layout.get(), font.get());
    const AttributeListPtr attributes = LinesFor(look_);
    pango_layout_set_attributes(layout.get(), attributes.get());
    pango_layout_set_text(layout.get(), text.c_str(), static_cast<int>(text.size()));

    cairo_save(cairo);
    cairo_new_path(cairo);
    cairo_move_to(cairo, x_, y_);
    pango_cairo_layout_path(cairo, layout.get());
    // Glyph outlines may overlap each other: fill by winding so overlaps stay filled.
    cairo_set_fill_rule(cairo, CAIRO_FILL_RULE_WINDING);
    if (look_.glow) StrokeWith(cairo, *look_.glow);
    if (look_.fill) {
        SetSourceColor(cairo, *look_.fill);
        cairo_fill_preserve(cairo);
    }
    if (look_.outline) StrokeWith(cairo, *look_.outline);
    cairo_new_path(cairo);
    cairo_restore(cairo);
}

}  // namespace vidmill::watermark
