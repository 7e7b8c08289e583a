// Laying an overlay's pixels over a frame, leaving out its transparent colours, and mixing the rest
// in by their alpha where the overlay has one.
//
// Instead of testing every colour range for every pixel, each channel value gets a bit per range
// that holds it; a pixel is transparent when one bit survives the AND of its three channels. The
// result is that of testing the ranges in order and stopping at the first that holds the pixel,
// at a cost that does not grow with the number of ranges (up to 64).
#include "media/pixels/overlay_pixels.h"

#include <algorithm>
#include <cstring>

namespace composer {
namespace {

constexpr std::size_t kEntriesPerWord = 64;

// The pixels an overlay step works on: the first pixelCount, limited to the shorter buffer.
std::size_t OverlayCount(const PixelBuffer& base, const PixelBuffer& overlay, int64_t pixelCount) {
    if (pixelCount <= 0) return 0;
    return std::min({static_cast<std::size_t>(pixelCount), base.size(), overlay.size()});
}

}  // namespace

OverlayRanges::OverlayRanges(const std::vector<TransColorRec>& transColors, int32_t transColorCount) {
    const std::size_t available = transColors.empty() ? 0 : transColors.size() - 1;
    const std::size_t count = std::min<std::size_t>(transColorCount > 0 ? transColorCount : 0, available);
    Allocate(count);
    for (std::size_t entry = 0; entry < count; ++entry) {
        const TransColorRec& color = transColors[entry + 1];
        Add(ColorToleranceRange(color.Red, color.Green, color.Blue, color.Tolerance), entry);
    }
}

OverlayRanges::OverlayRanges(const std::vector<ToleranceRange>& ranges) {
    Allocate(ranges.size());
    for (std::size_t entry = 0; entry < ranges.size(); ++entry) Add(ranges[entry], entry);
}

void OverlayRanges::Allocate(std::size_t entries) {
    words_ = (entries + kEntriesPerWord - 1) / kEntriesPerWord;
    red_.assign(256 * words_, 0);
    green_.assign(256 * words_, 0);
    blue_.assign(256 * words_, 0);
}

void OverlayRanges::Add(const ToleranceRange& range, std::size_t entry) {
    const std::size_t word = entry / kEntriesPerWord;
    const uint64_t bit = uint64_t{1} << (entry % kEntriesPerWord);
    const auto mark = [&](std::vector<uint64_t>& table, int low, int high) {
        for (int value = low; value <= high; ++value)
            table[static_cast<std::size_t>(value) * words_ + word] |= bit;
    };
    mark(red_, range.redLow, range.redHigh);
    mark(green_, range.greenLow, range.greenHigh);
    mark(blue_, range.blueLow, range.blueHigh);
}

bool OverlayRanges::Transparent(uint32_t pixel) const {
    const std::size_t red = ((pixel >> 16) & 0xFF) * words_;
    const std::size_t green = ((pixel >> 8) & 0xFF) * words_;
    const std::size_t blue = (pixel & 0xFF) * words_;
    for (std::size_t word = 0; word < words_; ++word) {
        if (red_[red + word] & green_[green + word] & blue_[blue + word]) return true;
    }
    return false;
}

void OverlayRanges::Apply(uint32_t* base, const uint32_t* overlay, std::size_t count) const {
    if (words_ == 0) {
        std::memcpy(base, overlay, count * sizeof(uint32_t));
        return;
    }
    Walk(
        overlay, count, [base](std::size_t p, uint32_t pixel) { base[p] = pixel; }, [](std::size_t) {});
}

void OverlayRanges::Blend(uint32_t* base, const uint32_t* overlay, std::size_t count) const {
    if (words_ == 0) {
        for (std::size_t p = 0; p < count; ++p) base[p] = BlendPixel(base[p], overlay[p]);
        return;
    }
    Walk(
        overlay, count, [base](std::size_t p, uint32_t pixel) { base[p] = BlendPixel(base[p], pixel); },
        [](std::size_t) {});
}

std::size_t OverlayRanges::Mark(const uint32_t* pixels, uint32_t* marked, std::size_t count,
                                uint32_t transparentPixel) const {
    if (words_ == 0) {
        std::memcpy(marked, pixels, count * sizeof(uint32_t));
        return 0;
    }
    std::size_t transparent = 0;
    Walk(
        pixels, count, [marked](std::size_t p, uint32_t pixel) { marked[p] = pixel; },
        [&](std::size_t p) {
            marked[p] = transparentPixel;
            ++transparent;
        });
    return transparent;
}

void OverlayRanges::Cover(const uint32_t* pixels, uint32_t* covered, std::size_t count,
                          OverlayAlpha alpha) const {
    const auto keep = [covered, alpha](std::size_t p, uint32_t pixel) {
        covered[p] =
            alpha == OverlayAlpha::Straight ? PremultiplyPixel(pixel, pixel >> 24) : pixel | 0xFF000000u;
    };
    if (words_ == 0) {
        for (std::size_t p = 0; p < count; ++p) keep(p, pixels[p]);
        return;
    }
    Walk(pixels, count, keep, [covered](std::size_t p) { covered[p] = 0; });
}

void ApplyOverlayPixels(PixelBuffer& base, const PixelBuffer& overlay, int64_t pixelCount,
                        const std::vector<TransColorRec>& transColors, int32_t transColorCount) {
    const std::size_t count = OverlayCount(base, overlay, pixelCount);
    if (count > 0) OverlayRanges(transColors, transColorCount).Apply(base.data(), overlay.data(), count);
}

uint32_t BlendPixel(uint32_t under, uint32_t over) {
    const uint32_t alpha = over >> 24;
    if (alpha == 0xFF) return over;
    if (alpha == 0) return under;
    const uint32_t rest = 0xFF - alpha;
    // Red and blue side by side in 16-bit lanes, green alone: no lane exceeds 255 x 255.
    const uint32_t redBlue = (over & 0x00FF00FFu) * alpha + (under & 0x00FF00FFu) * rest;
    const uint32_t green = (over & 0x0000FF00u) * alpha + (under & 0x0000FF00u) * rest;
    // Each lane divided by 255, rounded to the nearest: (x + 128 + ((x + 128) >> 8)) >> 8.
    const uint32_t redBlueUp = redBlue + 0x00800080u;
    const uint32_t greenUp = green + 0x00008000u;
    const uint32_t mixedRedBlue = ((redBlueUp + ((redBlueUp >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    const uint32_t mixedGreen = ((greenUp + ((greenUp >> 8) & 0x0000FF00u)) >> 8) & 0x0000FF00u;
    return (under & 0xFF000000u) | mixedRedBlue | mixedGreen;
}

uint32_t PremultiplyPixel(uint32_t pixel, uint32_t alpha) {
    if (alpha >= 0xFF) return pixel | 0xFF000000u;
    if (alpha == 0) return 0;
    // Red and blue side by side in 16-bit lanes, green alone, each divided by 255 as in BlendPixel.
    const uint32_t redBlue = (pixel & 0x00FF00FFu) * alpha + 0x00800080u;
    const uint32_t green = (pixel & 0x0000FF00u) * alpha + 0x00008000u;
    const uint32_t scaledRedBlue = ((redBlue + ((redBlue >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    const uint32_t scaledGreen = ((green + ((green >> 8) & 0x0000FF00u)) >> 8) & 0x0000FF00u;
    return (alpha << 24) | scaledRedBlue | scaledGreen;
}

void LayCoveredPixels(PixelBuffer& base, const PixelBuffer& overlay, int64_t pixelCount) {
    const std::size_t count = OverlayCount(base, overlay, pixelCount);
    uint32_t* under = base.data();
    const uint32_t* over = overlay.data();
    for (std::size_t p = 0; p < count; ++p) {
        const uint32_t pixel = over[p];
        const uint32_t alpha = pixel >> 24;
        if (alpha == 0) continue;
        if (alpha == 0xFF) {
            under[p] = (under[p] & 0xFF000000u) | (pixel & 0x00FFFFFFu);
            continue;
        }
        // No channel above its coverage: then over + under x (1 - a) stays within 255.
        const uint32_t top = std::min(pixel & 0xFFu, alpha) | std::min(pixel & 0xFF00u, alpha << 8) |
                             std::min(pixel & 0xFF0000u, alpha << 16);
        const uint32_t rest = 0xFF - alpha;
        // Red and blue side by side in 16-bit lanes, green alone, each divided by 255 as in BlendPixel.
        const uint32_t redBlue = (under[p] & 0x00FF00FFu) * rest + 0x00800080u;
        const uint32_t green = (under[p] & 0x0000FF00u) * rest + 0x00008000u;
        const uint32_t keptRedBlue = ((redBlue + ((redBlue >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
        const uint32_t keptGreen = ((green + ((green >> 8) & 0x0000FF00u)) >> 8) & 0x0000FF00u;
        under[p] = (under[p] & 0xFF000000u) | (top + keptRedBlue + keptGreen);
    }
}

bool CropScaleOverlay(IPicture* picture, int32_t outWidth, int32_t outHeight, const CropMargins& margins,
                      const OverlayRanges& ranges, OverlayAlpha alpha, PixelScaler& scaler,
                      PixelBuffer& source, PixelBuffer& covered) {
    KeptPixels kept;
    if (!PixelSizeUsable(outWidth, outHeight) || !KeptRegion(picture, margins, kept)) return false;
    const PixelRegion& region = kept.region;
    const auto width = static_cast<std::size_t>(region.width);
    source.resize(width * static_cast<std::size_t>(region.height));
    for (int32_t row = 0; row < region.height; ++row)
        ranges.Cover(region.topLeft + row * region.rowStep, source.data() + row * width, width, alpha);
    ResizePixelBuffer(covered, static_cast<int64_t>(outWidth) * outHeight);
    return scaler.Scale({source.data(), region.width, region.width, region.height},
                        BufferTarget(covered, outWidth, outHeight));
}

void BlendOverlayPixels(PixelBuffer& base, const PixelBuffer& overlay, int64_t pixelCount,
                        const std::vector<TransColorRec>& transColors, int32_t transColorCount) {
    const std::size_t count = OverlayCount(base, overlay, pixelCount);
    if (count > 0) OverlayRanges(transColors, transColorCount).Blend(base.data(), overlay.data(), count);
}

}  // namespace composer
