#include "imaging/gif_palette.h"

#include <array>
#include <cstdint>
#include <unordered_map>

#include "frame/error.h"
#include "imaging/bitmap_scaling.h"

namespace vidmill::imaging {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

std::uint32_t PixelAt(const AVFrame& rgb, int x, int y) {
    const std::uint8_t* pixel = rgb.data[0] + static_cast<std::ptrdiff_t>(y) * rgb.linesize[0] + x * 3;
    return kOpaque | static_cast<std::uint32_t>(pixel[0]) << 16 | static_cast<std::uint32_t>(pixel[1]) << 8 |
           pixel[2];
}

// Fills the indices and palette with the image's own colours; false when it has more than 256.
bool ExactPalette(const AVFrame& rgb, AVFrame& indexed) {
    std::unordered_map<std::uint32_t, std::uint8_t> indices;
    auto* palette = reinterpret_cast<std::uint32_t*>(indexed.data[1]);
    for (int y = 0; y < rgb.height; ++y) {
        std::uint8_t* row = indexed.data[0] + static_cast<std::ptrdiff_t>(y) * indexed.linesize[0];
        for (int x = 0; x < rgb.width; ++x) {
            const std::uint32_t colour = PixelAt(rgb, x, y);
            auto found = indices.find(colour);
            if (found == indices.end()) {
                if (indices.size() == 256) return false;
                found = indices.emplace(colour, static_cast<std::uint8_t>(indices.size())).first;
                palette[found->second] = colour;
            }
            row[x] = found->second;
        }
    }
    return true;
}

// Levels of the fixed cube: 6 of red, 7 of green (the eye is most sensitive to it), 6 of blue.
constexpr int kRedLevels = 6;
constexpr int kGreenLevels = 7;
constexpr int kBlueLevels = 6;

int Level(std::uint32_t value, int levels) { return (static_cast<int>(value) * (levels - 1) + 127) / 255; }
std::uint32_t LevelValue(int level, int levels) {
    return static_cast<std::uint32_t>(level * 255 / (levels - 1));
}

void CubePalette(const AVFrame& rgb, AVFrame& indexed) {
    auto* palette = reinterpret_cast<std::uint32_t*>(indexed.data[1]);
    for (int r = 0; r < kRedLevels; ++r)
        for (int g = 0; g < kGreenLevels; ++g)
            for (int b = 0; b < kBlueLevels; ++b)
                palette[(r * kGreenLevels + g) * kBlueLevels + b] =
                    kOpaque | LevelValue(r, kRedLevels) << 16 | LevelValue(g, kGreenLevels) << 8 |
                    LevelValue(b, kBlueLevels);
    for (int y = 0; y < rgb.height; ++y) {
        std::uint8_t* row = indexed.data[0] + static_cast<std::ptrdiff_t>(y) * indexed.linesize[0];
        for (int x = 0; x < rgb.width; ++x) {
            const std::uint32_t colour = PixelAt(rgb, x, y);
            const int r = Level(colour >> 16 & 0xFF, kRedLevels);
            const int g = Level(colour >> 8 & 0xFF, kGreenLevels);
            const int b = Level(colour & 0xFF, kBlueLevels);
            row[x] = static_cast<std::uint8_t>((r * kGreenLevels + g) * kBlueLevels + b);
        }
    }
}

}  // namespace

cb::FramePtr PaletteFrame(const cb::Bitmap& image) {
    const cb::FramePtr rgb = ConvertBitmap(image, AV_PIX_FMT_RGB24);
    cb::FramePtr indexed(av_frame_alloc());
    if (!indexed) throw std::bad_alloc();
    indexed->format = AV_PIX_FMT_PAL8;
    indexed->width = rgb->width;
    indexed->height = rgb->height;
    if (av_frame_get_buffer(indexed.get(), 0) < 0) throw std::bad_alloc();
    std::fill_n(reinterpret_cast<std::uint32_t*>(indexed->data[1]), 256, kOpaque);
    if (!ExactPalette(*rgb, *indexed)) CubePalette(*rgb, *indexed);
    return indexed;
}

}  // namespace vidmill::imaging
