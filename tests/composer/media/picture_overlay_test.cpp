// Laying an overlay over a frame with transparent colours: the ranges, their edges, and the
// per-channel table that stands in for testing every range against every pixel.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "media/pixels/overlay_pixels.h"

namespace composer {
namespace {

constexpr uint32_t kBase = 0x00010203u;

uint32_t Rgb(int red, int green, int blue, uint32_t reserved = 0) {
    return reserved << 24 | static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 |
           static_cast<uint32_t>(blue);
}

// A clip's transparent colour list: entry 0 unused, as the records keep it.
std::vector<TransColorRec> Colors(std::initializer_list<TransColorRec> entries) {
    std::vector<TransColorRec> list(1);
    list.insert(list.end(), entries);
    return list;
}

// True when the overlay pixel lets the base show through.
bool LeftOut(uint32_t overlayPixel, const std::vector<TransColorRec>& colors) {
    PixelBuffer base{kBase};
    ApplyOverlayPixels(base, PixelBuffer{overlayPixel}, 1, colors, static_cast<int32_t>(colors.size() - 1));
    EXPECT_TRUE(base[0] == kBase || base[0] == overlayPixel);
    return base[0] == kBase;
}

TEST(OverlayPixels, ColourRangesDecideWhichOverlayPixelsAreLeftOut) {
    struct Case {
        const char* what;
        std::vector<TransColorRec> colors;
        uint32_t pixel;
        bool leftOut;
    };
    const auto exact = Colors({{10, 20, 30, 0}});
    const auto all = Colors({{0, 0, 0, 100}});
    const auto near250 = Colors({{250, 250, 250, 10}});  // t = 25.5 -> 26: 224 .. 255
    const Case cases[] = {
        {"0 %: the colour itself", exact, Rgb(10, 20, 30), true},
        {"0 %: one step of red off", exact, Rgb(11, 20, 30), false},
        {"0 %: one step of blue off", exact, Rgb(10, 20, 29), false},
        {"0 %: reserved byte not compared", exact, Rgb(10, 20, 30, 0xFF), true},
        {"100 %: white", all, Rgb(255, 255, 255), true},
        {"100 %: anything", all, Rgb(3, 200, 97), true},
        {"250 +- 10 %: low edge", near250, Rgb(224, 224, 224), true},
        {"250 +- 10 %: below the low edge", near250, Rgb(223, 250, 250), false},
        {"250 +- 10 %: high edge capped at 255", near250, Rgb(255, 255, 255), true},
        {"250 +- 10 %: green below", near250, Rgb(250, 223, 250), false},
        {"second range holds", Colors({{0, 0, 0, 0}, {100, 100, 100, 1}}), Rgb(97, 103, 100), true},
        {"channels from different ranges do not combine", Colors({{0, 0, 0, 0}, {255, 255, 255, 0}}),
         Rgb(0, 255, 0), false},
        {"no entries: the overlay covers all", Colors({}), Rgb(0, 0, 0), false},
    };
    for (const Case& c : cases) EXPECT_EQ(LeftOut(c.pixel, c.colors), c.leftOut) << c.what;
}

TEST(OverlayPixels, ReplacedPixelsCarryAllFourBytesAndCountsAreRespected) {
    PixelBuffer base(4, kBase);
    const PixelBuffer overlay{0xAA112233u, 0xBB445566u, 0xCC778899u, 0xDDAABBCCu};
    ApplyOverlayPixels(base, overlay, 3, Colors({}), 0);
    EXPECT_EQ(base, (PixelBuffer{0xAA112233u, 0xBB445566u, 0xCC778899u, kBase}));
    // The count of entries used is the clip's count, not the list's length, and never beyond it.
    PixelBuffer again(1, kBase);
    ApplyOverlayPixels(again, PixelBuffer{Rgb(5, 5, 5)}, 1, Colors({{5, 5, 5, 0}}), 0);
    EXPECT_EQ(again[0], Rgb(5, 5, 5));
    ApplyOverlayPixels(again = PixelBuffer(1, kBase), PixelBuffer{Rgb(5, 5, 5)}, 1, Colors({{5, 5, 5, 0}}),
                       9);
    EXPECT_EQ(again[0], kBase);
    // A pixel count beyond the buffers stops at the shorter one.
    PixelBuffer shortBase(2, kBase);
    ApplyOverlayPixels(shortBase, overlay, 100, Colors({}), 0);
    EXPECT_EQ(shortBase, (PixelBuffer{0xAA112233u, 0xBB445566u}));
}

TEST(OverlayPixels, RangesCoveringEveryPixelLeaveTheBaseFrameUnchanged) {
    // Three colours whose ranges together hold every colour: low reds, high reds, all greens and blues.
    const auto colors = Colors({{0, 128, 128, 50}, {255, 128, 128, 50}, {128, 128, 128, 60}});
    PixelBuffer overlay(256 * 64);
    for (std::size_t p = 0; p < overlay.size(); ++p) overlay[p] = static_cast<uint32_t>(p * 2654435761u);
    PixelBuffer base(overlay.size());
    for (std::size_t p = 0; p < base.size(); ++p) base[p] = static_cast<uint32_t>(p);
    const PixelBuffer before = base;
    ApplyOverlayPixels(base, overlay, static_cast<int64_t>(overlay.size()), colors, 3);
    EXPECT_EQ(base, before);
}

// The same answers as testing each range in order, for many colours and for lists longer than
// one 64-entry group.
TEST(OverlayPixels, AgreesWithTestingEveryRangeInTurn) {
    std::mt19937 random(7);
    const auto byte = [&] { return static_cast<uint8_t>(random() & 0xFF); };
    for (int entries : {1, 3, 64, 65, 130}) {
        std::vector<TransColorRec> colors(1);
        for (int i = 0; i < entries; ++i)
            colors.push_back({byte(), byte(), byte(), static_cast<int32_t>(random() % 12)});
        PixelBuffer overlay(5000);
        for (auto& pixel : overlay) pixel = static_cast<uint32_t>(random());
        // Some pixels exactly on colours of the list, the last entry included.
        for (int i = 0; i < 50; ++i) {
            const TransColorRec& c = colors[1 + random() % entries];
            overlay[random() % overlay.size()] = Rgb(c.Red, c.Green, c.Blue);
        }
        overlay[0] = Rgb(colors.back().Red, colors.back().Green, colors.back().Blue);
        PixelBuffer base(overlay.size(), kBase);
        ApplyOverlayPixels(base, overlay, static_cast<int64_t>(overlay.size()), colors, entries);
        int leftOut = 0;
        for (std::size_t p = 0; p < overlay.size(); ++p) {
            const uint32_t pixel = overlay[p];
            const int red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
            bool transparent = false;
            for (int i = 1; i <= entries && !transparent; ++i) {
                const ToleranceRange r =
                    ColorToleranceRange(colors[i].Red, colors[i].Green, colors[i].Blue, colors[i].Tolerance);
                transparent = r.redLow <= red && red <= r.redHigh && r.greenLow <= green &&
                              green <= r.greenHigh && r.blueLow <= blue && blue <= r.blueHigh;
            }
            leftOut += transparent;
            ASSERT_EQ(base[p], transparent ? kBase : pixel) << entries << " entries, pixel " << p;
        }
        EXPECT_GE(leftOut, 1) << entries;
    }
}

// Straight alpha: exact at the two ends, rounded to the nearest in between, the base's fourth byte
// kept where the two are mixed; and a transparent colour leaves the base whatever the alpha.
TEST(OverlayPixels, AlphaMixesEachChannelAndTransparentColoursStillLeaveOut) {
    constexpr uint32_t kUnder = 0x7F0040FFu;  // reserved 0x7F, red 0, green 64, blue 255
    struct Case {
        uint32_t over;
        uint32_t expected;
        const char* what;
    };
    const Case cases[] = {
        {Rgb(200, 100, 50, 0xFF), Rgb(200, 100, 50, 0xFF), "alpha 255 replaces all four bytes"},
        {Rgb(200, 100, 50, 0x00), kUnder, "alpha 0 leaves the base as it is"},
        // 255 x 128 / 255 = 128; (255 x 128 + 64 x 127) / 255 = 159.9; 255 x 127 / 255 = 127.
        {Rgb(255, 255, 0, 0x80), Rgb(128, 160, 127, 0x7F), "alpha 128 mixes, rounded to the nearest"},
        {Rgb(255, 255, 255, 0x01), Rgb(1, 65, 255, 0x7F), "alpha 1 moves each channel by at most one"},
        {Rgb(0, 0, 0, 0xFE), Rgb(0, 0, 1, 0x7F), "alpha 254 keeps a trace of the base"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BlendPixel(kUnder, c.over), c.expected) << c.what;
        PixelBuffer base{kUnder};
        BlendOverlayPixels(base, PixelBuffer{c.over}, 1, Colors({}), 0);
        EXPECT_EQ(base[0], c.expected) << c.what << ", through the buffer";
    }
    // A transparent colour holds the half-transparent pixel and the opaque one alike; the other
    // pixels are still mixed by their alpha.
    const PixelBuffer overlay{Rgb(5, 5, 5, 0x80), Rgb(5, 5, 5, 0xFF), Rgb(255, 255, 0, 0x80)};
    PixelBuffer base(3, kUnder);
    BlendOverlayPixels(base, overlay, 3, Colors({{5, 5, 5, 0}}), 1);
    EXPECT_EQ(base, (PixelBuffer{kUnder, kUnder, Rgb(128, 160, 127, 0x7F)}));
    // An opaque overlay lays exactly as without alpha.
    PixelBuffer opaqueBase(3, kUnder), plainBase(3, kUnder);
    const PixelBuffer opaque{Rgb(1, 2, 3, 0xFF), Rgb(5, 5, 5, 0xFF), Rgb(9, 8, 7, 0xFF)};
    BlendOverlayPixels(opaqueBase, opaque, 3, Colors({{5, 5, 5, 0}}), 1);
    ApplyOverlayPixels(plainBase, opaque, 3, Colors({{5, 5, 5, 0}}), 1);
    EXPECT_EQ(opaqueBase, plainBase);
}

// Coverage decided on the source pixels and laid premultiplied: the same colours as straight alpha
// (within the rounding of the premultiplication), the two ends exact, transparent colours covering
// nothing, and a colour above its coverage (an interpolating filter's overshoot) held to it.
TEST(OverlayPixels, CoveredPixelsLayAsStraightAlphaDoes) {
    constexpr uint32_t kUnder = 0x7F0040FFu;
    const OverlayRanges keyed(Colors({{5, 5, 5, 0}}), 1);
    const PixelBuffer source{Rgb(200, 100, 50, 0xFF),  Rgb(200, 100, 50, 0x00), Rgb(255, 255, 0, 0x80),
                             Rgb(255, 255, 255, 0x01), Rgb(0, 0, 0, 0xFE),      Rgb(5, 5, 5, 0xFF)};
    PixelBuffer covered(source.size());
    keyed.Cover(source.data(), covered.data(), source.size(), OverlayAlpha::Straight);
    EXPECT_EQ(covered[0], Rgb(200, 100, 50, 0xFF));
    EXPECT_EQ(covered[1], 0u);
    EXPECT_EQ(covered[5], 0u) << "a transparent colour covers nothing";
    PixelBuffer base(source.size(), kUnder);
    LayCoveredPixels(base, covered, static_cast<int64_t>(source.size()));
    for (std::size_t p = 0; p + 1 < source.size(); ++p) {
        const uint32_t straight = BlendPixel(kUnder, source[p]);
        for (int shift = 0; shift <= 16; shift += 8) {
            EXPECT_NEAR(static_cast<int>((base[p] >> shift) & 0xFF),
                        static_cast<int>((straight >> shift) & 0xFF), 1)
                << "pixel " << p << ", shift " << shift;
        }
        EXPECT_EQ(base[p] >> 24, 0x7Fu) << "the base keeps its fourth byte";
    }
    EXPECT_EQ(base[0] & 0xFFFFFF, 0xC86432u) << "coverage 255 lays the colour exactly";
    EXPECT_EQ(base[1], kUnder) << "coverage 0 leaves the base exactly";
    EXPECT_EQ(base[5], kUnder);

    // Without alpha every kept pixel covers fully; an overshoot above the coverage is held to it.
    PixelBuffer opaque(1);
    keyed.Cover(source.data() + 1, opaque.data(), 1, OverlayAlpha::None);
    EXPECT_EQ(opaque[0], Rgb(200, 100, 50, 0xFF));
    PixelBuffer overshoot{Rgb(0, 0, 0, 0xFF)};
    LayCoveredPixels(overshoot, PixelBuffer{Rgb(200, 0x40, 0, 0x40)}, 1);
    EXPECT_EQ(overshoot[0], Rgb(0x40, 0x40, 0, 0xFF));
}

}  // namespace
}  // namespace composer
