// Rounding, leading numbers, durations and colours: the small conversions every window relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/color.h"
#include "base/duration.h"
#include "base/frame_rate_ratio.h"
#include "base/rounding.h"
#include "base/text_number.h"

namespace composer {
namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    const struct {
        double value;
        double rounded;
    } cases[] = {{2.5, 2},       {3.5, 4},       {0.5, 0},  {1.5, 2},           {-2.5, -2}, {-3.5, -4},
                 {2.4999999, 2}, {2.5000001, 3}, {-0.4, 0}, {1e15 + 0.5, 1e15}, {7, 7}};
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
}

// The ratio a stored rate was computed from, and the exact frame count of one rate at a frame of
// another, where floating point falls a hair short of whole numbers (29 / 25 x 25 = 28.999...).
TEST(FrameRateRatios, StoredRatesGiveBackTheirRatiosAndFramesMapExactly) {
    const struct {
        double rate;
        int64_t num, den;
    } ratios[] = {{30000.0 / 1001, 30000, 1001},
                  {24000.0 / 1001, 24000, 1001},
                  {60000.0 / 1001, 60000, 1001},
                  {25, 25, 1},
                  {12.5, 25, 2},
                  {29.97, 2997, 100},
                  {1e10, 10000000000, 1},
                  {10000000.0 / 333667, 10000000, 333667},
                  {0, 0, 1},
                  {-25, 0, 1},
                  {std::nan(""), 0, 1},
                  {std::numeric_limits<double>::infinity(), 0, 1}};
    for (const auto& c : ratios) {
        const FrameRateRatio ratio = FrameRateRatioOf(c.rate);
        EXPECT_EQ(ratio.num, c.num) << c.rate;
        EXPECT_EQ(ratio.den, c.den) << c.rate;
    }
    const FrameRateRatio ntsc{30000, 1001}, pal{25, 1}, film{24, 1}, none{0, 1};
    const struct {
        int64_t frames;
        FrameRateRatio from, to;
        int64_t begun;
    } frames[] = {{29, pal, pal, 29},          {1000000, ntsc, ntsc, 1000000},
                  {5, pal, {30, 1}, 6},        {6, {30, 1}, pal, 5},
                  {1, pal, film, 0},           {25, pal, film, 24},
                  {1001, ntsc, {30, 1}, 1002}, {-1, pal, pal, -1},
                  {-1, pal, film, -1},         {10, none, pal, 0},
                  {10, pal, none, 0}};
    for (const auto& c : frames)
        EXPECT_EQ(FramesBegunBy(c.frames, c.from, c.to), c.begun)
            << c.frames << " of " << c.from.num << "/" << c.from.den << " in " << c.to.num << "/" << c.to.den;
}

TEST(Rounding, WholeNumbersSaturateAndIntegerPartGoesDown) {
    EXPECT_EQ(RoundToInt32(3e9), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(RoundToInt32(-3e9), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(RoundToInt32(2147483646.5), 2147483646);
    EXPECT_EQ(RoundToInt32(std::nan("")), 0);
    EXPECT_EQ(RoundToInt64(1e30), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(IntegerPart(2.99), 2);
    EXPECT_EQ(IntegerPart(-1.5), -2);
}

TEST(LeadingNumber, ReadsTheNumberATextStartsWith) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"12abc", 12}, {"abc", 0},          {"", 0},           {" -1.5e2x", -150}, {".5", 0.5},
                 {"5.", 5},     {"1e", 1},           {"-", 0},          {"+7", 7},          {"29.97", 29.97},
                 {"0x10", 0},   {"  22050 ", 22050}, {"1e+3 kB", 1000}, {"-.", 0},          {"3:20", 3}};
    for (const auto& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(FormatNumber, WritesTheShortestDecimalText) {
    EXPECT_EQ(FormatNumber(25.0), "25");
    EXPECT_EQ(FormatNumber(29.97), "29.97");
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(-3.0), "-3");
    EXPECT_EQ(FormatNumber(int64_t{25276137472}), "25276137472");
    EXPECT_EQ(FormatNumber(int32_t{-1}), "-1");
    EXPECT_EQ(LeadingNumber(FormatNumber(1.0 / 3.0)), 1.0 / 3.0);
}

TEST(Texts, TrimLowerAndCutWholeCharacters) {
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");  // only spaces are trimmed
    EXPECT_EQ(LowerAscii("Trip.CbMOV"), "trip.cbmov");
    EXPECT_EQ(FirstChars("abc", 2), "ab");
    EXPECT_EQ(FirstChars("h\xC3\xA9llo", 2), "h\xC3\xA9");  // é is one character of two bytes
    EXPECT_EQ(FirstChars("ab", 5), "ab");
}

TEST(FormatDuration, ShowsOnlyTheNeededParts) {
    const struct {
        double seconds;
        const char* text;
    } cases[] = {{5, "05"},
                 {65.5, "01:05.50"},
                 {3723, "1:02:03"},
                 {59.999, "01:00"},  // rounded to 2 decimals before the split
                 {0, "00"},
                 {0.005, "00"},  // half a hundredth goes to the even neighbour
                 {0.015, "00.02"},
                 {3600, "1:00:00"},
                 {36000.25, "10:00:00.25"},
                 {59.5, "59.50"},
                 {-5, "-05"},
                 {std::nan(""), "Error"},
                 {std::numeric_limits<double>::infinity(), "Error"},
                 {1e300, "Error"}};
    for (const auto& c : cases) EXPECT_EQ(FormatDuration(c.seconds), c.text) << c.seconds;
}

TEST(ParseDuration, ReadsHoursMinutesAndSeconds) {
    const struct {
        const char* text;
        double seconds;
    } cases[] = {{"1:30", 90}, {"", 0},       {"2:0:0:9", 7200}, {"45", 45},       {"1:2:3", 3723},
                 {"x:30", 30}, {"1.5:0", 90}, {"::5", 5},        {"12.25", 12.25}, {"1:", 60}};
    for (const auto& c : cases) EXPECT_EQ(ParseDuration(c.text), c.seconds) << '"' << c.text << '"';
}

TEST(Colors, SplitColorTakesRedFromTheLowByte) {
    const RgbBytes rgb = SplitColor(0x00123456);
    EXPECT_EQ(rgb.red, 0x56);
    EXPECT_EQ(rgb.green, 0x34);
    EXPECT_EQ(rgb.blue, 0x12);
    const RgbBytes white = SplitColor(-1);  // bits above the colour are ignored
    EXPECT_EQ(white.red, 255);
    EXPECT_EQ(white.blue, 255);
}

TEST(Colors, ToleranceRangeIsClampedPerChannel) {
    const struct {
        uint8_t red, green, blue;
        int32_t tolerance;
        ToleranceRange range;
    } cases[] = {
        {250, 100, 0, 10, {255, 224, 126, 74, 26, 0}},  // t = 25.5 -> 26
        {128, 128, 128, 50, {255, 0, 255, 0, 255, 0}},  // t = 127.5 -> 128
        {10, 20, 30, 0, {10, 10, 20, 20, 30, 30}},         {0, 255, 128, 100, {255, 0, 255, 0, 255, 0}},
        {100, 100, 100, -10, {74, 126, 74, 126, 74, 126}},  // a negative tolerance narrows, as the rule reads
    };
    for (const auto& c : cases) {
        const ToleranceRange r = ColorToleranceRange(c.red, c.green, c.blue, c.tolerance);
        EXPECT_EQ(r.redHigh, c.range.redHigh);
        EXPECT_EQ(r.redLow, c.range.redLow);
        EXPECT_EQ(r.greenHigh, c.range.greenHigh);
        EXPECT_EQ(r.greenLow, c.range.greenLow);
        EXPECT_EQ(r.blueHigh, c.range.blueHigh);
        EXPECT_EQ(r.blueLow, c.range.blueLow);
    }
}

}  // namespace
}  // namespace composer
