// The AVI writer wrapper over the library: the compressor check that rewrites the caller's code,
// the closed state, one sound track per wrapper, and files that ffprobe reads as meant.
#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#include "avi_wrapper_env.h"
#include "base/failure.h"
#include "cbplatform/picture.h"
#include "media/library/library_call.h"
#include "media/library/velc_avi_writer_class.h"

namespace composer {
namespace {

using AviWriterWrapper = testing::AviWrapperTest;
using cb::sound::testing::Capture;
using cb::sound::testing::MakeTone;

// What ffprobe reads from a stream of a file: key=value pairs.
std::map<std::string, std::string> ProbeStream(const std::string& path, const std::string& stream) {
    std::istringstream lines(Capture("ffprobe -v error -count_frames -select_streams " + stream +
                                     " -show_entries stream=codec_name,codec_tag_string,width,height,"
                                     "nb_read_frames,duration -of default=nw=1 '" +
                                     path + "'"));
    std::map<std::string, std::string> values;
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

cb::ComPtr<IPicture> Frame(int width, int height, uint32_t pixel) {
    // A picture of its own (PixelsToPicture's surface would be reused by the next frame).
    auto bitmap = std::make_shared<cb::Bitmap>(width, height, 32);
    auto* bits = reinterpret_cast<uint32_t*>(bitmap->bits());
    std::fill(bits, bits + width * height, pixel);
    return cb::CreatePicture(bitmap);
}

TEST_F(AviWriterWrapper, AnUnknownCompressorIsWrittenAsMsvcAndLeftInTheCallersVariable) {
    const std::string out = PathFor("unknown-code.avi");
    int32_t code = vidmill::FourCC("ZZZZ");
    VelcAviWriterClass writer;
    ASSERT_TRUE(writer.WriteAvi_CreateNewFile(out, 64, 48, 10.0, code, false));
    EXPECT_EQ(code, vidmill::MsVideo1Compressor);
    EXPECT_TRUE(writer.IsOpen);
    for (uint32_t pixel : {0x00FF0000u, 0x0000FF00u, 0x000000FFu})
        ASSERT_TRUE(writer.WriteAvi_AddPicture(Frame(64, 48, pixel).get()));
    writer.WriteAVI_CloseFile();
    EXPECT_FALSE(writer.IsOpen);
    const auto video = ProbeStream(out, "v:0");
    EXPECT_EQ(video.at("codec_name"), "msvideo1");
    EXPECT_EQ(video.at("width"), "64");
    EXPECT_EQ(video.at("nb_read_frames"), "3");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AviWriterWrapper, CheckCompressorKeepsInstalledWritingCodesAndReplacesOthersWithMsvc) {
    struct Case {
        int32_t code;
        int32_t expected;
    };
    for (const Case& c : {Case{vidmill::Uncompressed, vidmill::Uncompressed},
                          Case{vidmill::MsVideo1Compressor, vidmill::MsVideo1Compressor},
                          Case{vidmill::FourCC("ZZZZ"), vidmill::MsVideo1Compressor},
                          Case{0, vidmill::MsVideo1Compressor}, Case{-1, vidmill::MsVideo1Compressor}}) {
        int32_t code = c.code;
        VelcAviWriterClass::CheckCompressor(code);
        EXPECT_EQ(code, c.expected) << c.code;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AviWriterWrapper, WhenTheCompressorsCannotBeListedTheCodeBecomesUncompressedWithAMessage) {
    Unregister(vidmill::CLSID_AviCompressors);
    int32_t code = vidmill::MsVideo1Compressor;
    VelcAviWriterClass::CheckCompressor(code);
    Reregister();
    EXPECT_EQ(code, vidmill::Uncompressed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Failed in finding the Codecs");
    EXPECT_FALSE(ui.messages[0].text.empty());
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::OK);
}

TEST_F(AviWriterWrapper, EveryMethodOnAClosedWrapperDoesNothing) {
    const auto check = [&](VelcAviWriterClass& writer) {
        EXPECT_FALSE(writer.IsOpen);
        EXPECT_FALSE(writer.WriteAvi_AddPicture(Frame(8, 8, 0).get()));
        writer.WriteAVI_AddAudio(PathFor("none.wav"));
        writer.WriteAVI_CloseFile();
        writer.WriteAVI_CloseFile();
    };
    VelcAviWriterClass fresh;
    check(fresh);
    // A library that is not registered: false, closed, nothing shown.
    Unregister(vidmill::CLSID_AviWriter);
    VelcAviWriterClass unregistered;
    int32_t code = vidmill::MsVideo1Compressor;
    const bool created = unregistered.WriteAvi_CreateNewFile(PathFor("never.avi"), 64, 48, 10.0, code, false);
    Reregister();
    EXPECT_FALSE(created);
    check(unregistered);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(PathFor("never.avi")));
}

TEST_F(AviWriterWrapper, AFailedCreateLeavesTheWrapperClosed) {
    VelcAviWriterClass writer;
    int32_t code = vidmill::Uncompressed;
    EXPECT_FALSE(writer.WriteAvi_CreateNewFile(PathFor("bad.avi"), 0, 48, 10.0, code, false));  // bad width
    EXPECT_FALSE(writer.IsOpen);
    EXPECT_FALSE(writer.WriteAvi_AddPicture(Frame(8, 8, 0).get()));
    // The throwing form gives the reason alone: the caller names the file the user asked for.
    const std::string badFolder = PathFor("no-such-folder/x.avi");
    try {
        writer.CreateNewFile(badFolder, 64, 48, 10.0, code, false);
        ADD_FAILURE() << "a file in a missing folder was created";
    } catch (const Failure& refused) {
        EXPECT_FALSE(refused.Reason().empty());
        EXPECT_EQ(refused.File(), "");
    }
    EXPECT_FALSE(writer.IsOpen);
    EXPECT_TRUE(ui.messages.empty());
    // The same wrapper can still create a file afterwards.
    ASSERT_NO_THROW(writer.CreateNewFile(PathFor("good.avi"), 64, 48, 10.0, code, false));
    ASSERT_TRUE(writer.WriteAvi_AddPicture(Frame(64, 48, 0x00808080u).get()));
    writer.WriteAVI_CloseFile();
    EXPECT_FALSE(writer.WriteAvi_AddPicture(Frame(64, 48, 0).get()));  // after close
    EXPECT_EQ(ProbeStream(PathFor("good.avi"), "v:0").at("nb_read_frames"), "1");
}

TEST_F(AviWriterWrapper, ASecondSoundTrackIsRefusedForTheWholeLifeOfTheWrapper) {
    const std::string first = MakeTone("first.wav", 2.0, 22050, 1, "pcm_s16le");
    const std::string second = MakeTone("second.wav", 0.5, 22050, 1, "pcm_s16le");
    ASSERT_FALSE(first.empty() || second.empty());
    const std::string out = PathFor("sound.avi");
    VelcAviWriterClass writer;
    int32_t code = vidmill::Uncompressed;
    ASSERT_TRUE(writer.WriteAvi_CreateNewFile(out, 32, 24, 10.0, code, false));
    for (int frame = 0; frame < 5; ++frame)
        ASSERT_TRUE(writer.WriteAvi_AddPicture(Frame(32, 24, 0x00FFFFFFu).get()));
    writer.WriteAVI_AddAudio(first);
    EXPECT_TRUE(ui.messages.empty());
    try {
        writer.WriteAVI_AddAudio(second);
        ADD_FAILURE() << "a second sound track was taken";
    } catch (const Failure& refused) {
        EXPECT_STREQ(refused.what(), "Tried to add Multiple audio to AVI file");
    }
    EXPECT_TRUE(ui.messages.empty());
    writer.WriteAVI_CloseFile();
    // The first sound, whole (longer than the half second of video).
    EXPECT_EQ(cb::sound::testing::Probe(out).sampleFrames, cb::sound::testing::Probe(first).sampleFrames);
    EXPECT_EQ(cb::sound::testing::Probe(out).sampleFrames, 44100);

    // A new file on the same wrapper still counts the earlier sound.
    ASSERT_TRUE(writer.WriteAvi_CreateNewFile(PathFor("again.avi"), 32, 24, 10.0, code, false));
    ASSERT_TRUE(writer.WriteAvi_AddPicture(Frame(32, 24, 0).get()));
    EXPECT_THROW(writer.WriteAVI_AddAudio(first), Failure);
    writer.WriteAVI_CloseFile();
    EXPECT_TRUE(ProbeStream(PathFor("again.avi"), "a:0").empty());
}

// The packet numbers ffprobe reads as key frames.
std::vector<int> KeyFramePackets(const std::string& path) {
    std::istringstream lines(Capture(
        "ffprobe -v error -select_streams v:0 -show_entries packet=flags -of csv=p=0 '" + path + "'"));
    std::vector<int> keys;
    int number = 0;
    for (std::string line; std::getline(lines, line); ++number) {
        if (line.find('K') != std::string::npos) keys.push_back(number);
    }
    return keys;
}

TEST_F(AviWriterWrapper, KeyFramesComeAtTheChosenIntervalAndTheFramesBetweenAreCodedAsChanges) {
    const int32_t msvcDefault = VelcAviWriterClass::KeyFrameIntervalFor(vidmill::MsVideo1Compressor, 10.0);
    EXPECT_GT(msvcDefault, 1);  // an inter-frame compressor's own interval
    // A compressor without one of its own: one key frame a second, at least every frame.
    EXPECT_EQ(VelcAviWriterClass::KeyFrameIntervalFor(vidmill::Uncompressed, 25.0), 25);
    EXPECT_EQ(VelcAviWriterClass::KeyFrameIntervalFor(vidmill::Uncompressed, 0.2), 1);

    struct Case {
        int32_t interval;  // as the caller gives it; 0 = the compressor's default
        int32_t expected;  // frames between key frames in the file
    };
    std::map<int32_t, std::uintmax_t> sizes;
    for (const Case& c : {Case{0, msvcDefault}, Case{4, 4}, Case{1, 1}}) {
        const std::string out = PathFor("interval-" + std::to_string(c.interval) + ".avi");
        VelcAviWriterClass writer;
        int32_t code = vidmill::MsVideo1Compressor;
        ASSERT_TRUE(writer.WriteAvi_CreateNewFile(out, 320, 240, 10.0, code, false, c.interval));
        constexpr int kFrames = 30;
        for (int frame = 0; frame < kFrames; ++frame)
            ASSERT_TRUE(writer.WriteAvi_AddPicture(Frame(320, 240, 0x00406080u).get()));
        writer.WriteAVI_CloseFile();
        std::vector<int> expected;
        for (int frame = 0; frame < kFrames; frame += c.expected) expected.push_back(frame);
        EXPECT_EQ(KeyFramePackets(out), expected) << c.interval;
        sizes[c.interval] = std::filesystem::file_size(out);
    }
    // A still picture: the frames between key frames are skips, so the file shrinks with the interval.
    EXPECT_LT(sizes[0] * 3, sizes[1]);
    EXPECT_LT(sizes[4] * 2, sizes[1]);
}

TEST_F(AviWriterWrapper, LibraryRefusalsOfFramesAndSoundReachTheCaller) {
    VelcAviWriterClass writer;
    int32_t code = vidmill::Uncompressed;
    ASSERT_TRUE(writer.WriteAvi_CreateNewFile(PathFor("refusals.avi"), 32, 24, 10.0, code, false));
    EXPECT_THROW(writer.WriteAvi_AddPicture(nullptr), Failure);
    ASSERT_TRUE(writer.WriteAvi_AddPicture(Frame(32, 24, 0).get()));
    try {
        writer.WriteAVI_AddAudio(PathFor("missing.wav"));
        ADD_FAILURE() << "a missing WAV file was accepted";
    } catch (const Failure& error) {
        EXPECT_NE(std::string(error.what()).find("missing.wav"), std::string::npos) << error.what();
    }
    writer.WriteAVI_CloseFile();
}

}  // namespace
}  // namespace composer
