// The writer's property rules, writing-mode rules and intermediate frames.
#include <gtest/gtest.h>

#include "frame/error.h"
#include "writer/avi_writer_engine.h"
#include "writer/frame_blend.h"
#include "writer_test_support.h"

namespace vidmill::writer {
namespace {

using namespace vidmill::writer::testing;

TEST(WriterProperties, DefaultsOfANewWriter) {
    AviWriterEngine writer;
    EXPECT_EQ(writer.properties().compressorHandler(), static_cast<std::uint32_t>(FourCC("MSVC")));
    EXPECT_EQ(writer.properties().quality(), 7000);
    EXPECT_EQ(writer.properties().framesPerSecond(), 25.0);
    EXPECT_EQ(writer.properties().keyFrameRate(), 0);
    EXPECT_EQ(writer.properties().bytesPerSecond(), 0);
    EXPECT_EQ(writer.properties().interFrames(), 0);
    EXPECT_FALSE(writer.properties().showDialog());
    EXPECT_FALSE(writer.isOpen());
}

TEST(WriterProperties, SettersApplyTheirRules) {
    struct Case {
        int given;
        int quality;
        int others;  // KeyFrameRate, BytesPerSecond, InterFrames
    };
    for (const Case& c : {Case{12000, 10000, 12000}, Case{-5, 0, 0}, Case{5000, 5000, 5000}, Case{0, 0, 0}}) {
        WriterProperties properties;
        properties.setQuality(c.given);
        properties.setKeyFrameRate(c.given);
        properties.setBytesPerSecond(c.given);
        properties.setInterFrames(c.given, false);
        properties.setFramesPerSecond(c.given);
        EXPECT_EQ(properties.quality(), c.quality) << c.given;
        EXPECT_EQ(properties.keyFrameRate(), c.others) << c.given;
        EXPECT_EQ(properties.bytesPerSecond(), c.others) << c.given;
        EXPECT_EQ(properties.interFrames(), c.others) << c.given;
        EXPECT_EQ(properties.framesPerSecond(), c.others) << c.given;
    }
    WriterProperties properties;
    properties.setInterFrames(3, true);
    EXPECT_EQ(properties.interFrames(), 0) << "ignored while writing";
}

TEST(WriterProperties, StreamRateRoundsHalvesToEven) {
    struct Case {
        double framesPerSecond;
        int rate;
    };
    for (const Case& c : {Case{25.0, 25000}, Case{29.97, 29970}, Case{23.976, 23976}, Case{0.0005, 0},
                          Case{0.0015, 2}, Case{0.0025, 2}, Case{12.3456, 12346}}) {
        WriterProperties properties;
        properties.setFramesPerSecond(c.framesPerSecond);
        EXPECT_EQ(properties.streamRate(), c.rate) << c.framesPerSecond;
    }
}

TEST(WriterModes, FrameAndSoundCallsNeedWritingMode) {
    AviWriterEngine writer;
    const std::string message = "AviWriter object is not in Writing mode. Firstly call CreateNew method";
    try {
        writer.writeCurrentFrame();
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), message);
    }
    try {
        writer.addWav("/nonexistent.wav", true);
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), message);
    }
    const std::string path = ScratchPath("modes.avi");
    writer.createNew(path, 16, 16);
    try {
        writer.createNew(path, 16, 16);
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Cannot create new AVI in writing mode. Call Close method firstly");
    }
    EXPECT_TRUE(writer.isOpen());
    writer.close();
    EXPECT_FALSE(writer.isOpen());
    writer.close();  // a second Close does nothing
}

TEST(WriterInterFrames, BlackThenWhiteGivesMidGrey) {
    const std::string path = ScratchPath("inter.avi");
    AviWriterEngine writer;
    writer.properties().setCompressorHandler(Uncompressed);
    writer.properties().setInterFrames(1, false);
    writer.createNew(path, 8, 4);
    writer.frameBitmap().fill(0);
    writer.writeCurrentFrame();
    writer.frameBitmap().fill(255);
    writer.writeCurrentFrame();
    EXPECT_EQ(writer.frameCounter(), 3);
    writer.close();
    const auto decoded = DecodeBgr24(path);
    ASSERT_EQ(decoded.size(), 3u * 8 * 4 * 3);
    const std::size_t frameBytes = 8 * 4 * 3;
    for (std::size_t i = 0; i < frameBytes; ++i) {
        ASSERT_EQ(decoded[i], 0);
        ASSERT_EQ(decoded[frameBytes + i], 127);
        ASSERT_EQ(decoded[2 * frameBytes + i], 255);
    }
}

TEST(WriterInterFrames, StepsWeighBothFramesAndKeepTheFourthByte) {
    struct Case {
        int step;
        int steps;
        std::uint8_t expected;  // between previous 10 and current 250
    };
    for (const Case& c : {Case{1, 1, 130}, Case{1, 3, 70}, Case{2, 3, 130}, Case{3, 3, 190}}) {
        cb::Bitmap previous(3, 2, 32), current(3, 2, 32), between(3, 2, 32);
        previous.fill(10);
        current.fill(250);
        between.fill(77);
        BlendFrames(previous, current, c.step, c.steps, between);
        EXPECT_EQ(between.bits()[0], c.expected) << c.step << "/" << c.steps;
        EXPECT_EQ(between.bits()[2], c.expected);
        EXPECT_EQ(between.bits()[3], 77) << "fourth byte is not mixed";
    }
}

}  // namespace
}  // namespace vidmill::writer

namespace vidmill::writer {
namespace {

using namespace vidmill::writer::testing;

TEST(WriterOptionsDialog, AskedForHandlerZeroOrShowDialog) {
    struct Case {
        std::uint32_t handler;
        bool showDialog;
        bool haveDialog;
        bool cancel;
        bool asked;
        const char* codecName;  // empty: CreateNew fails with "Operation aborted"
    };
    const Case cases[] = {
        {0, false, false, false, false, "rawvideo"},
        {0, false, true, false, true, "mjpeg"},
        {static_cast<std::uint32_t>(FourCC("MSVC")), true, true, false, true, "mjpeg"},
        {static_cast<std::uint32_t>(FourCC("MSVC")), false, true, false, false, "msvideo1"},
        {static_cast<std::uint32_t>(FourCC("MSVC")), true, true, true, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codecName);
        const std::string path = ScratchPath("dialog.avi");
        AviWriterEngine writer;
        writer.properties().setCompressorHandler(c.handler);
        writer.properties().setShowDialog(c.showDialog);
        bool asked = false;
        if (c.haveDialog) {
            writer.setOptionsDialog([&](AviWriterEngine::CompressionOptions& options, std::int32_t parent) {
                asked = true;
                EXPECT_EQ(parent, 77);
                options.handler = static_cast<std::uint32_t>(FourCC("MJPG"));
                return !c.cancel;
            });
        }
        try {
            writer.createNew(path, 32, 32, 77);
            writer.writeCurrentFrame();
            writer.close();
            EXPECT_EQ(ProbeVideo(path).codecName, c.codecName);
        } catch (const Error& error) {
            EXPECT_STREQ(c.codecName, "");
            EXPECT_STREQ(error.what(), "Operation aborted");
            EXPECT_FALSE(writer.isOpen());
        }
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(writer.properties().compressorHandler(), c.handler) << "the dialog changes one file only";
    }
}

}  // namespace
}  // namespace vidmill::writer
