#include "writer/default_palette.h"

#include <algorithm>
#include <array>

namespace vidmill::writer {
namespace {

// red, green, blue
constexpr std::array<std::array<std::uint8_t, 3>, 20> kDefaultColours{{
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
}};

}  // namespace

void SetDefaultPalette(cb::Bitmap& bitmap) {
    auto& palette = bitmap.palette();
    std::fill(palette.begin(), palette.end(), cb::RgbQuad{});
    for (std::size_t i = 0; i < kDefaultColours.size() && i < palette.size(); ++i) {
        palette[i] = cb::RgbQuad{kDefaultColours[i][2], kDefaultColours[i][1], kDefaultColours[i][0], 0};
    }
}

}  // namespace vidmill::writer
