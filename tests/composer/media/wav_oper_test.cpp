// The program's WAV header reader, sample loader and writer.
#include <filesystem>

#include "media/sound/wav_oper_mod.h"
#include "sound_test_env.h"
#include "sound_test_support.h"
#include "wav_bytes.h"

namespace composer {
namespace {

using namespace composer::testing;
using WavTest = SoundTest;

TEST_F(WavTest, TheDataMarkerIsFoundInAnyCaseAfterOtherChunks) {
    const std::string samples = Samples16({100, -100, 32767});
    const WavLayout layouts[] = {{"data"}, {"DATA"}, {"DaTa", std::string("LIST\x04\0\0\0abcd", 12)}};
    for (const WavLayout& layout : layouts) {
        const std::string path = WriteFile(PathFor("marker.wav"), WavBytes(1, 16, 8000, samples, layout));
        WavFormatRec format;
        ASSERT_TRUE(ReadWavHeader(path, format)) << layout.marker;
        EXPECT_EQ(format.Frames, 3);
        WaveBuffers buffers;
        ASSERT_TRUE(LoadWaveSamples(path, buffers)) << layout.marker;
        EXPECT_EQ(AllValues(*buffers.Left), (std::vector<int16_t>{100, -100, 32767}));
        EXPECT_FALSE(buffers.Right);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WavTest, TheHeaderReaderTellsTheFormatAndFailsSilently) {
    const std::string good = WriteFile(PathFor("good.wav"), WavBytes(2, 8, 11025, std::string(10, '\x80')));
    WavFormatRec format;
    ASSERT_TRUE(ReadWavHeader(good, format));
    EXPECT_EQ(format.BitsPerSample, 8);
    EXPECT_EQ(format.Channels, 2);
    EXPECT_EQ(format.SampleRate, 11025);
    EXPECT_EQ(format.Frames, 5);
    // An odd data size gives half frames: rounded, halves to the even neighbour (2.5 -> 2).
    const std::string odd = WriteFile(PathFor("odd.wav"), WavBytes(2, 8, 11025, std::string(5, '\x80')));
    ASSERT_TRUE(ReadWavHeader(odd, format));
    EXPECT_EQ(format.Frames, 2);

    const std::string refused[] = {
        "",
        PathFor("missing.wav"),
        WriteFile(PathFor("short.wav"), WavBytes(1, 16, 8000, "")),
        WriteFile(PathFor("nomarker.wav"), WavBytes(1, 16, 8000, "abcd", {"dat_"})),
        WriteFile(PathFor("channels.wav"), WavBytes(3, 16, 8000, "abcdef")),
        WriteFile(PathFor("bits.wav"), WavBytes(1, 24, 8000, "abc")),
        WriteFile(PathFor("rate.wav"), WavBytes(1, 16, 0, "ab")),
    };
    for (const std::string& path : refused) EXPECT_FALSE(ReadWavHeader(path, format)) << path;
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WavTest, TheLoaderRefusesDamagedFilesWithItsMessages) {
    const struct {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"header-only.wav", WavBytes(1, 16, 8000, ""), "No wave Data found in file"},
        {"no-marker.wav", WavBytes(1, 16, 8000, "abcd", {"dat_"}), "The String 'Data' - is not found"},
        {"channels.wav", WavBytes(3, 16, 8000, "abcdef"), "Channel info invalid at byte location 23"},
        {"slow.wav", WavBytes(1, 16, 999, "ab"), "Sampling rate 999 Hz is not supported"},
        {"fast.wav", WavBytes(1, 16, 200001, "ab"), "Sampling rate 200001 Hz is not supported"},
        {"bits.wav", WavBytes(1, 16, 8000, "ab", {.bitsField = 12}),
         "Bits per sample 12 is invalid or not supported (at byte location 35)"},
    };
    for (const auto& c : cases) {
        ui.messages.clear();
        const std::string path = WriteFile(PathFor(c.name), c.bytes);
        WaveBuffers buffers;
        EXPECT_FALSE(LoadWaveSamples(path, buffers)) << c.name;
        EXPECT_FALSE(buffers.Left);
        ASSERT_EQ(MessageTexts(), (std::vector<std::string>{
                                      c.message, "Wave file loading failed for " + path + ": " + c.message}))
            << c.name;
        EXPECT_EQ(ui.messages[0].title, "Error Loading " + path);
        EXPECT_EQ(ui.messages[1].title, "Cinebrix Composer");
    }
    ui.messages.clear();
    WaveBuffers buffers;
    EXPECT_FALSE(LoadWaveSamples("  ", buffers));
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Wave file loading failed"});
    // Every buffer the refused loads made has gone with its file.
    EXPECT_EQ(FilesInWorkFolder(), 0);
}

// A file that is missing, a folder, or not a WAV file at all is named with the reason.
TEST_F(WavTest, TheLoaderNamesTheFileAndWhyItCouldNotBeRead) {
    const std::string folder = PathFor("folder.wav");
    std::filesystem::create_directories(folder);
    const struct {
        std::string path;
        const char* message;
        const char* reason;
    } cases[] = {
        {PathFor("missing.wav"), "No wave Data found in file", "No such file or directory"},
        {folder, "No wave Data found in file", "Is a directory"},
        {WriteFile(PathFor("junk.wav"), std::string(300, 'Z')), "The String 'Data' - is not found",
         "The String 'Data' - is not found"},
    };
    for (const auto& c : cases) {
        ui.messages.clear();
        WaveBuffers buffers;
        EXPECT_FALSE(LoadWaveSamples(c.path, buffers)) << c.path;
        EXPECT_EQ(MessageTexts(), (std::vector<std::string>{c.message, "Wave file loading failed for " +
                                                                           c.path + ": " + c.reason}));
    }
}

TEST_F(WavTest, OnlyTheFramesPresentAreLoaded) {
    const std::string path =
        WriteFile(PathFor("long-claim.wav"),
                  WavBytes(2, 16, 8000, Samples16({1, 2, 3, 4, 5}), {.declaredDataBytes = 4000}));
    WaveBuffers buffers;
    ASSERT_TRUE(LoadWaveSamples(path, buffers));
    EXPECT_EQ(AllValues(*buffers.Left),
              (std::vector<int16_t>{1, 3}));  // the half frame at the end is dropped
    EXPECT_EQ(AllValues(*buffers.Right), (std::vector<int16_t>{2, 4}));
}

TEST_F(WavTest, FourBitSoundLoadsAsEmptyBuffers) {
    const std::string path =
        WriteFile(PathFor("four.wav"), WavBytes(2, 16, 8000, "abcdefgh", {.bitsField = 4}));
    WaveBuffers buffers;
    ASSERT_TRUE(LoadWaveSamples(path, buffers));
    EXPECT_EQ(AllValues(*buffers.Left), std::vector<int16_t>{0});
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WavTest, EightBitStereoExtremesRoundTripByteForByte) {
    const std::string original = WavBytes(2, 8, 8000, std::string("\x00\xff\x80\x7f", 4));
    const std::string path = WriteFile(PathFor("u8.wav"), original);
    WaveBuffers buffers;
    ASSERT_TRUE(LoadWaveSamples(path, buffers));
    EXPECT_EQ(AllValues(*buffers.Left), (std::vector<int16_t>{-128, 0}));
    EXPECT_EQ(AllValues(*buffers.Right), (std::vector<int16_t>{127, -1}));
    const std::string copy = PathFor("u8-copy.wav");
    ASSERT_TRUE(WriteWaveFile(copy, 2, 8, 8000, *buffers.Left, buffers.Right.get()));
    EXPECT_EQ(ReadFile(copy), original);
}

// Long enough for several chunks of the loader (2 x BlockLimit bytes) and of the writer.
TEST_F(WavTest, LongFilesMoveInChunksAndComeBackUnchanged) {
    const int frames = 300'000;
    std::vector<int16_t> interleaved(2 * frames);
    for (int i = 0; i < 2 * frames; ++i) interleaved[static_cast<size_t>(i)] = static_cast<int16_t>(i * 7919);
    const std::string original = WavBytes(2, 16, 44100, Samples16(interleaved));
    const std::string path = WriteFile(PathFor("long.wav"), original);
    WaveBuffers buffers;
    ASSERT_TRUE(LoadWaveSamples(path, buffers));
    ASSERT_EQ(buffers.Left->Length(), frames);
    for (int32_t frame : {1, 131'072, 131'073, 262'144, 262'145, frames}) {
        EXPECT_EQ(buffers.Left->GetValue(frame), interleaved[static_cast<size_t>(2 * frame - 2)]) << frame;
        EXPECT_EQ(buffers.Right->GetValue(frame), interleaved[static_cast<size_t>(2 * frame - 1)]) << frame;
    }
    const std::string copy = PathFor("long-copy.wav");
    ASSERT_TRUE(WriteWaveFile(copy, 2, 16, 44100, *buffers.Left, buffers.Right.get()));
    EXPECT_EQ(ReadFile(copy), original);
}

TEST_F(WavTest, WrittenFilesHaveTheSizesAndFormatOthersRead) {
    const struct {
        int channels, bits, rate;
        const char* codec;
    } cases[] = {{1, 8, 8000, "pcm_u8"},
                 {2, 8, 11025, "pcm_u8"},
                 {1, 16, 22050, "pcm_s16le"},
                 {2, 16, 44100, "pcm_s16le"}};
    for (const auto& c : cases) {
        FileCarrBuffClass left, right;
        left.SetLength(1234, LengthFill::ZeroFill);
        right.SetLength(1234, LengthFill::ZeroFill);
        const std::string path = PathFor("written.wav");
        ASSERT_TRUE(WriteWaveFile(path, c.channels, c.bits, c.rate, left, &right));
        const std::string bytes = ReadFile(path);
        const uint32_t dataBytes = 1234u * static_cast<uint32_t>(c.channels * c.bits / 8);
        ASSERT_EQ(bytes.size(), 44 + dataBytes);
        auto word32 = [&](size_t at) {
            uint32_t value = 0;
            for (int i = 3; i >= 0; --i)
                value = value << 8 | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
            return value;
        };
        EXPECT_EQ(word32(4), bytes.size() - 8);
        EXPECT_EQ(word32(40), dataBytes);
        const auto probed = cb::sound::testing::Probe(path);
        EXPECT_EQ(probed.codec, c.codec);
        EXPECT_EQ(probed.channels, c.channels);
        EXPECT_EQ(probed.sampleRate, c.rate);
        EXPECT_EQ(probed.sampleFrames, 1234);
        // sox reads the same length.
        const std::string soxSamples = cb::sound::testing::Capture("soxi -s '" + path + "'");
        EXPECT_EQ(std::atoi(soxSamples.c_str()), 1234);
    }
}

TEST_F(WavTest, TheWriterRefusesWithItsMessages) {
    FileCarrBuffClass left;
    EXPECT_FALSE(WriteWaveFile("", 1, 16, 8000, left, nullptr));
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"No file name given to write"});
    ui.messages.clear();
    EXPECT_FALSE(WriteWaveFile(PathFor("no-folder/out.wav"), 1, 16, 8000, left, nullptr));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Wave file write error");
    // Channel counts and sample sizes that no buffer pair can fill are refused, not read past.
    FileCarrBuffClass samples, right;
    samples.SetLength(100, LengthFill::ZeroFill);
    right.SetLength(100, LengthFill::ZeroFill);
    for (const auto& [channels, bits] :
         {std::pair{3, 16}, std::pair{0, 16}, std::pair{6, 8}, std::pair{2, 24}}) {
        ui.messages.clear();
        EXPECT_FALSE(WriteWaveFile(PathFor("odd.wav"), channels, bits, 8000, samples, &right)) << channels;
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, "Wave file write error");
    }
}

}  // namespace
}  // namespace composer
