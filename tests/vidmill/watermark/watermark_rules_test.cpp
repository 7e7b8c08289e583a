// Colours, transparency and timer texts of watermark items.
#include <gtest/gtest.h>

#include "watermark/timer_text.h"
#include "watermark/watermark.h"
#include "watermark/watermark_color.h"

namespace vidmill::watermark {
namespace {

TEST(WatermarkColor, TransparencyBecomesAlpha) {
    struct Case {
        float transparency;
        int alpha;
        float imageFactor;
    };
    for (const Case& c : {Case{25, 191, 0.75f}, Case{0, 255, 1.0f}, Case{100, 0, 0.0f}, Case{150, 0, 0.0f},
                          Case{-5, 255, 1.0f}, Case{10, 229, 0.9f}}) {
        EXPECT_EQ(TransparencyToAlpha(c.transparency), c.alpha) << c.transparency;
        EXPECT_FLOAT_EQ(ImageAlphaFactor(c.transparency), c.imageFactor) << c.transparency;
    }
    EXPECT_EQ(DrawingColor(0x123456, 25), 0xBF123456u);
    EXPECT_EQ(DrawingColor(0x7F123456, 0), 0xFF123456u) << "only the colour's low 24 bits count";
    EXPECT_FALSE(OptionalDrawingColor(-1, 0).has_value());
    EXPECT_EQ(OptionalDrawingColor(0, 100), 0x00000000u);
}

TEST(WatermarkTimer, VideoTimeTexts) {
    struct Case {
        TimerStyle style;
        int frameCounter;
        int startFrame;
        double framesPerSecond;
        const char* text;
    };
    const Case cases[] = {
        {TimerStyleVideoFrame, 30, 0, 25, "00:00:01.05"},
        {TimerStyleVideoTime, 30, 0, 25, "00:00:01"},
        {TimerStyleVideoFrame, 0, 24, 25, "00:00:00.24"},
        {TimerStyleVideoFrame, 31, 0, 29.97, "00:00:01.01"},
        {TimerStyleVideoTime, 25 * 3661, 0, 25, "01:01:01"},
        // A day wraps round to midnight.
        {TimerStyleVideoTime, 25 * 86400 + 50, 0, 25, "00:00:02"},
        {TimerStyleVideoFrame, 250, 7, 10, "00:00:25.07"},
    };
    const auto now = std::chrono::system_clock::now();
    for (const Case& c : cases)
        EXPECT_EQ(TimerText(c.style, c.frameCounter, c.startFrame, c.framesPerSecond, now), c.text) << c.text;
}

TEST(WatermarkTimer, ClockStylesShowDateAndTime) {
    const auto now = std::chrono::system_clock::now();
    const std::string time = TimerText(TimerStyleTime, 0, 0, 25, now);
    const std::string date = TimerText(TimerStyleDate, 0, 0, 25, now);
    EXPECT_FALSE(time.empty());
    EXPECT_FALSE(date.empty());
    EXPECT_NE(time, date);
    EXPECT_EQ(TimerText(TimerStyleDateTime, 0, 0, 25, now), date + " " + time);
}

TEST(WatermarkList, ResetEmptiesTheListAndKeepsTheOffsets) {
    Watermark watermark;
    watermark.setHorizontalOffset(10);
    watermark.setVerticalOffset(-3);
    watermark.addRectangle(0, 0, 4, 4, 0xFF0000, -1, 1, 0);
    watermark.addLine(0, 0, 4, 4, 1, 0, 25);
    EXPECT_EQ(watermark.size(), 2u);
    watermark.reset();
    EXPECT_TRUE(watermark.empty());
    EXPECT_EQ(watermark.horizontalOffset(), 10);
    EXPECT_EQ(watermark.verticalOffset(), -3);
}

}  // namespace
}  // namespace vidmill::watermark
