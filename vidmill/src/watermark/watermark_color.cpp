#include "watermark/watermark_color.h"

#include <cmath>

namespace vidmill::watermark {

int TransparencyToAlpha(float transparency) {
    if (transparency < 0) return 255;
    if (transparency > 100) return 0;
    return 255 - static_cast<int>(std::nearbyint(static_cast<double>(transparency) * 2.55));
}

std::uint32_t DrawingColor(std::int32_t color, float transparency) {
    return static_cast<std::uint32_t>(TransparencyToAlpha(transparency)) << 24 |
           (static_cast<std::uint32_t>(color) & 0xFFFFFFu);
}

std::optional<std::uint32_t> OptionalDrawingColor(std::int32_t color, float transparency) {
    if (color == -1) return std::nullopt;
    return DrawingColor(color, transparency);
}

}  // namespace vidmill::watermark
