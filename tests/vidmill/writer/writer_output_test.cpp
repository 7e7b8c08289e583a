// Files written through each handler code, read back by ffprobe and ffmpeg.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "cbplatform/ffmpeg_owners.h"
#include "frame/error.h"
#include "frame/tag_code.h"
#include "stopped_run.h"
#include "writer/avi_writer_engine.h"
#include "writer_test_support.h"

namespace vidmill::writer {
namespace {

using namespace vidmill::writer::testing;

struct HandlerCase {
    const char* handler;
    const char* codecName;  // as ffprobe names the stream's codec
    bool lossless;
    int width;
    int height;
    double framesPerSecond;
    const char* frameRate;  // as ffprobe prints it
};

class WriterHandlerTest : public ::testing::TestWithParam<HandlerCase> {};

TEST_P(WriterHandlerTest, ReferenceToolsReadWhatWasWritten) {
    const HandlerCase& param = GetParam();
    const std::string path = ScratchPath(std::string("handler-") + param.handler + ".avi");
    constexpr int kFrames = 12;
    std::vector<std::uint8_t> expected;
    {
        AviWriterEngine writer;
        writer.properties().setCompressorHandler(TagCode(param.handler));
        writer.properties().setFramesPerSecond(param.framesPerSecond);
        writer.properties().setKeyFrameRate(5);
        writer.createNew(path, param.width, param.height);
        for (int i = 0; i < kFrames; ++i) {
            PaintPattern(writer.frameBitmap(), i);
            const auto pixels = ToBgr24(writer.frameBitmap());
            expected.insert(expected.end(), pixels.begin(), pixels.end());
            writer.writeCurrentFrame();
        }
        EXPECT_EQ(writer.frameCounter(), kFrames);
        writer.close();
    }
    const VideoFacts facts = ProbeVideo(path);
    EXPECT_EQ(facts.codecName, param.codecName);
    EXPECT_EQ(facts.width, param.width);
    EXPECT_EQ(facts.height, param.height);
    EXPECT_EQ(facts.frameRate, param.frameRate);
    const auto [scale, rate] = VideoScaleAndRate(path);
    EXPECT_EQ(scale, 1000u);
    EXPECT_EQ(rate, static_cast<std::uint32_t>(std::nearbyint(param.framesPerSecond * 1000)));
    EXPECT_EQ(facts.packets, kFrames);
    const auto flags = KeyFrameFlags(path);
    ASSERT_EQ(flags.size(), static_cast<std::size_t>(kFrames));
    for (int i = 0; i < kFrames; i += 5) EXPECT_TRUE(flags[static_cast<std::size_t>(i)]) << "frame " << i;
    const auto decoded = DecodeBgr24(path);
    ASSERT_EQ(decoded.size(), expected.size());
    if (param.lossless) {
        EXPECT_TRUE(decoded == expected) << "decoded pixels differ";
    }
}

INSTANTIATE_TEST_SUITE_P(Handlers, WriterHandlerTest,
                         ::testing::Values(HandlerCase{"DIB ", "rawvideo", true, 64, 48, 25.0, "25/1"},
                                           // Rows of 33 pixels are padded to 4 bytes in the file.
                                           HandlerCase{"DIB ", "rawvideo", true, 33, 17, 29.97, "2997/100"},
                                           HandlerCase{"MSVC", "msvideo1", false, 64, 48, 25.0, "25/1"},
                                           HandlerCase{"HFYU", "huffyuv", true, 64, 48, 25.0, "25/1"},
                                           HandlerCase{"FFV1", "ffv1", true, 64, 48, 25.0, "25/1"},
                                           HandlerCase{"MJPG", "mjpeg", false, 64, 48, 25.0, "25/1"},
                                           HandlerCase{"MP42", "msmpeg4v2", false, 64, 48, 25.0, "25/1"},
                                           HandlerCase{"DIV3", "msmpeg4v3", false, 64, 48, 25.0, "25/1"},
                                           HandlerCase{"XVID", "mpeg4", false, 64, 48, 10.0, "10/1"},
                                           HandlerCase{"cvid", "cinepak", false, 64, 48, 25.0, "25/1"},
                                           // Encoders that name their code by pixel layout get the
                                           // layout of the code asked for.
                                           HandlerCase{"SHQ0", "speedhq", false, 64, 48, 25.0, "25/1"},
                                           HandlerCase{"ULRA", "utvideo", true, 64, 48, 25.0, "25/1"}),
                         [](const ::testing::TestParamInfo<HandlerCase>& row) {
                             std::string name;
                             for (const char c : std::string(row.param.handler))
                                 if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                             return name + "_" + std::to_string(row.param.width);
                         });

TEST(WriterKeyFrames, FlagsFollowTheKeyFrameRate) {
    struct Case {
        const char* handler;
        int keyFrameRate;
    };
    for (const Case& c :
         {Case{"MSVC", 10}, Case{"MSVC", 0}, Case{"MSVC", 1}, Case{"MP42", 4}, Case{"XVID", 7}}) {
        SCOPED_TRACE(std::string(c.handler) + " every " + std::to_string(c.keyFrameRate));
        const std::string path = ScratchPath("keys.avi");
        {
            AviWriterEngine writer;
            writer.properties().setCompressorHandler(TagCode(c.handler));
            writer.properties().setKeyFrameRate(c.keyFrameRate);
            writer.createNew(path, 64, 48);
            // A still picture: nothing forces the encoder to a complete picture by itself.
            PaintPattern(writer.frameBitmap(), 0);
            for (int i = 0; i < 25; ++i) writer.writeCurrentFrame();
            writer.close();
        }
        const auto flags = KeyFrameFlags(path);
        ASSERT_EQ(flags.size(), 25u);
        for (std::size_t i = 0; i < flags.size(); ++i) {
            const bool expected = c.keyFrameRate <= 1 || i % static_cast<std::size_t>(c.keyFrameRate) == 0;
            EXPECT_EQ(flags[i], expected) << "frame " << i;
        }
    }
}

TEST(WriterCreateNew, RefusalsLeaveTheOldFileAsItWasAndNoOther) {
    struct Case {
        const char* handler;
        int width;
        int height;
        const char* message;
    };
    const Case cases[] = {
        {"MSVC", 0, 48, "Invalid Width parameter of CreateNew method call"},
        {"MSVC", 64, -1, "Invalid Height parameter of CreateNew method call"},
        // A code no installed compressor has is refused, not written uncompressed.
        {"ZZZZ", 64, 48, "Cannot create compressed AVI stream"},
        // The Video 1 encoder takes only sizes in steps of 4: refused after the file was begun.
        {"MSVC", 30, 48,
         "Selected compressor cannot be used for compression because:\ra) compressor doesn't support RGB "
         "compression or\rb) AVI frame width must be multiplier of 2, 4 or 8.\r"},
    };
    for (const bool oldFile : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.message);
            const std::string folder = ScratchPath("refused");
            std::filesystem::create_directories(folder);
            const std::string path = folder + "/refused.avi";
            if (oldFile) std::ofstream(path) << "the user's movie";
            AviWriterEngine writer;
            writer.properties().setCompressorHandler(TagCode(c.handler));
            try {
                writer.createNew(path, c.width, c.height);
                ADD_FAILURE() << "CreateNew succeeded";
            } catch (const Error& error) {
                EXPECT_STREQ(error.what(), c.message);
            }
            EXPECT_FALSE(writer.isOpen());
            EXPECT_EQ(cb::testing::FolderEntries(folder),
                      oldFile ? std::vector<std::string>{"refused.avi"} : std::vector<std::string>{});
            if (oldFile) {
                EXPECT_EQ(cb::testing::FileBytes(path), "the user's movie");
            }
        }
    }
}

TEST(WriterClose, TheFileTakesItsNameOnlyWhenComplete) {
    const std::string folder = ScratchPath("replaced");
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/movie.avi";
    std::ofstream(path) << "the user's movie";
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    AviWriterEngine writer;
    writer.properties().setCompressorHandler(Uncompressed);
    writer.createNew(path, 32, 24);
    PaintPattern(writer.frameBitmap(), 0);
    writer.writeCurrentFrame();
    EXPECT_EQ(cb::testing::FileBytes(path), "the user's movie") << "replaced before Close";
    EXPECT_EQ(cb::testing::FolderEntries(folder).size(), 2u) << "the new file is written beside the old";
    writer.close();
    EXPECT_EQ(cb::testing::FolderEntries(folder), std::vector<std::string>{"movie.avi"});
    EXPECT_EQ(ProbeVideo(path).packets, 1);
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
        << "the new movie keeps the old one's permissions";
}

TEST(WriterCreateNew, UnwritablePlaceIsReportedWithTheNameAndTheReason) {
    const struct {
        const char* path;
        const char* reason;
    } rows[] = {{"/nonexistent-folder/x.avi", "No such file or directory"},
                {"/dev/null", "it is not a regular file"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        AviWriterEngine writer;
        try {
            writer.createNew(row.path, 64, 48);
            ADD_FAILURE() << "CreateNew succeeded";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot create AVI file \"" + std::string(row.path) + "\": " + row.reason);
        }
        EXPECT_FALSE(writer.isOpen());
    }
}

}  // namespace
}  // namespace vidmill::writer

#include "writer/avi_container.h"
#include "writer/avi_formats.h"
#include "writer/codec_frame_coder.h"
#include "writer/default_palette.h"
#include "writer/encoder_choice.h"

namespace vidmill::writer {
namespace {

using namespace vidmill::writer::testing;

// Palette frames are the last resort of the compressor check; they reach a lossless encoder
// through their palette colours.
TEST(WriterPaletteFrames, EncodeThroughTheirPalette) {
    const EncoderChoice choice = ChooseEncoder(static_cast<std::uint32_t>(FourCC("HFYU")));
    ASSERT_FALSE(choice.uncompressed());
    VideoSettings settings;
    settings.width = 8;
    settings.height = 4;
    auto coder = CodecFrameCoder::TryOpen(*choice.encoder, choice.codecTag, settings, 8);
    ASSERT_TRUE(coder);
    EXPECT_EQ(coder->bitsPerPixel(), 8);
    cb::Bitmap frame(8, 4, 8);
    SetDefaultPalette(frame);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) frame.topRow(y)[x] = static_cast<std::uint8_t>((x + y * 8) % 20);

    const std::string path = ScratchPath("palette.avi");
    {
        auto output = AviContainer::Create(path);
        ASSERT_TRUE(output);
        const cb::CodecParametersPtr parameters(avcodec_parameters_alloc());
        coder->describe(*parameters);
        ASSERT_TRUE(output->start(VideoFormatOf(*parameters, frame.palette())));
        const PacketSink sink = [&](AVPacket& packet) {
            ASSERT_TRUE(output->writeVideo(packet.data, static_cast<std::size_t>(packet.size), true));
        };
        coder->encode(frame, 0, true, sink);
        coder->flush(sink);
        ASSERT_TRUE(output->finish());
    }
    const auto decoded = DecodeBgr24(path);
    ASSERT_EQ(decoded.size(), 8u * 4 * 3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            const cb::RgbQuad& colour = frame.palette()[frame.topRow(y)[x]];
            const std::size_t at = static_cast<std::size_t>((y * 8 + x) * 3);
            EXPECT_EQ(decoded[at], colour.blue);
            EXPECT_EQ(decoded[at + 1], colour.green);
            EXPECT_EQ(decoded[at + 2], colour.red);
        }
}

}  // namespace
}  // namespace vidmill::writer

#include "compressors/compressor_catalog.h"
#include "reader/avi_reader_engine.h"

namespace vidmill::writer {
namespace {

// The compressor list cannot lie: every compressor it reports as writing makes files that the
// library's own reader decodes, frame by frame, at the size written.
TEST(WriterCompressors, EveryWritingCompressorMakesReadableFiles) {
    for (const compressors::CompressorInfo& compressor : compressors::InstalledCompressors()) {
        if (!compressors::SupportsWriting(compressor)) continue;
        SCOPED_TRACE(compressor.name);
        const std::string path = ScratchPath("listed.avi");
        {
            AviWriterEngine writer;
            writer.properties().setCompressorHandler(compressor.handler);
            writer.createNew(path, 320, 200);
            for (int i = 0; i < 3; ++i) {
                PaintPattern(writer.frameBitmap(), i);
                writer.writeCurrentFrame();
            }
            writer.close();
        }
        reader::AviReaderEngine reader;
        reader.open(path);
        ASSERT_EQ(reader.facts().frameCount, 3);
        for (int i = 0; i < 3; ++i) {
            const cb::Bitmap& frame = reader.frameAt(i);
            EXPECT_EQ(frame.width(), 320);
            EXPECT_EQ(frame.height(), 200);
        }
    }
}

}  // namespace
}  // namespace vidmill::writer
