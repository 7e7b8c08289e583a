// The WAV reader of sound clips: PCM files as they are, other sound files decoded into a temporary
// PCM WAV file that the caller may take over, and the once-per-run notice without the component.
#include <filesystem>

#include "media/sound/compressed_audio_notice.h"
#include "media/sound/wav_oper_mod.h"
#include "media/sound/wav_reader_class.h"
#include "sound_test_env.h"
#include "sound_test_support.h"
#include "wav_bytes.h"

namespace composer {
namespace {

using namespace composer::testing;
using WavReaderTest = SoundTest;

TEST_F(WavReaderTest, APcmFileIsUsedAsItIs) {
    const std::string path =
        WriteFile(PathFor("plain.wav"), WavBytes(2, 16, 16000, Samples16(std::vector<int16_t>(16000))));
    WavReaderClass reader;
    ASSERT_TRUE(reader.ReadWav_OpenFile(path));
    EXPECT_EQ(reader.Bits, 16);
    EXPECT_EQ(reader.Channels, 2);
    EXPECT_EQ(reader.SampleRate, 16000);
    EXPECT_EQ(reader.Frames, 8000);
    EXPECT_FLOAT_EQ(reader.Duration, 0.5f);
    EXPECT_EQ(reader.ReadWav_GetWavFile(), path);
    reader.ReadWav_CloseFile();
    EXPECT_EQ(reader.ReadWav_GetWavFile(), "");
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(reader.ReadWav_OpenFile(PathFor("missing.wav")));
    EXPECT_TRUE(ui.messages.empty());
}

struct CompressedCase {
    const char* encoder;
    const char* extension;
};

class CompressedWavTest : public SoundTest, public ::testing::WithParamInterface<CompressedCase> {};

TEST_P(CompressedWavTest, IsDecodedIntoATemporaryPcmWavThatTheCallerCanTakeOver) {
    const CompressedCase& c = GetParam();
    if (std::string(c.encoder) == "libmp3lame" && !cb::sound::testing::FfmpegHasEncoder(c.encoder))
        GTEST_SKIP() << "this ffmpeg has no MP3 encoder";
    const std::string source = cb::sound::testing::MakeTone(
        std::string("compressed-") + c.encoder + c.extension, 1.0, 22050, 2, c.encoder);
    ASSERT_FALSE(source.empty());
    WavFormatRec format;
    ASSERT_FALSE(ReadWavHeader(source, format));  // not PCM: the header reader refuses it

    WavReaderClass reader;
    ASSERT_TRUE(reader.ReadWav_OpenFile(source));
    EXPECT_EQ(reader.Bits, 16);
    EXPECT_EQ(reader.Channels, 2);
    EXPECT_EQ(reader.SampleRate, 22050);
    EXPECT_NEAR(reader.Duration, 1.0f, 0.1f);
    const std::string decoded = reader.DecodedFile;
    EXPECT_EQ(std::filesystem::path(decoded).parent_path(), WorkFolder);
    EXPECT_EQ(std::filesystem::path(decoded).extension(), ".wav");

    // Closing without taking it over deletes it.
    reader.ReadWav_CloseFile();
    EXPECT_FALSE(std::filesystem::exists(decoded));

    ASSERT_TRUE(reader.ReadWav_OpenFile(source));
    const std::string taken = reader.ReadWav_GetWavFile();
    EXPECT_EQ(reader.ReadWav_GetWavFile(), taken);
    reader.ReadWav_CloseFile();
    ASSERT_TRUE(std::filesystem::exists(taken));
    ASSERT_TRUE(ReadWavHeader(taken, format));
    EXPECT_EQ(format.Frames, reader.Frames == 0 ? format.Frames : reader.Frames);
    WaveBuffers buffers;
    EXPECT_TRUE(LoadWaveSamples(taken, buffers));
    EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Encoders, CompressedWavTest,
                         ::testing::Values(CompressedCase{"adpcm_ima_wav", ".wav"},
                                           CompressedCase{"libmp3lame", ".wav"},
                                           CompressedCase{"pcm_alaw", ".wav"},
                                           CompressedCase{"pcm_s24le", ".wav"}),
                         [](const auto& row) { return std::string(row.param.encoder); });

TEST_F(WavReaderTest, WithoutTheSoundComponentCompressedFilesFailWithOneNoticePerRun) {
    const std::string source = cb::sound::testing::MakeTone("ima-off.wav", 0.2, 8000, 1, "adpcm_ima_wav");
    ASSERT_FALSE(source.empty());
    NoticeFlags notices;
    setenv("CB_SOUND_UNAVAILABLE", "1", 1);
    WavReaderClass reader;
    reader.Notices = &notices;
    EXPECT_FALSE(reader.ReadWav_OpenFile(source));
    EXPECT_FALSE(reader.ReadWav_OpenFile(source));
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{
                                  "Compressed Audio data could not be extracted from this file.\r\n"
                                  "If you install DirectX8 we can try to extact audio data from this file."});
    EXPECT_TRUE(notices.compressedAudioShown);
    // A reader given no flags to remember it in tells every time.
    WavReaderClass unremembered;
    EXPECT_FALSE(unremembered.ReadWav_OpenFile(source));
    EXPECT_FALSE(unremembered.ReadWav_OpenFile(source));
    unsetenv("CB_SOUND_UNAVAILABLE");
    EXPECT_EQ(MessageTexts().size(), 3u);
    EXPECT_EQ(FilesInWorkFolder(), 0);
}

}  // namespace
}  // namespace composer

#include "media/media_source_probe.h"

namespace composer {
namespace {

// Sound clips are probed through the clip reader: every format the decoder knows gives a PCM file
// that the mix loads; a file that does not decode is refused with the reason.
TEST_F(WavReaderTest, TheSoundClipProbeTakesEveryFormatTheDecoderKnows) {
    MediaSourceProbe probe;
    for (const char* encoder : {"pcm_f32le", "pcm_s24le", "adpcm_ima_wav", "pcm_mulaw", "pcm_alaw"}) {
        SCOPED_TRACE(encoder);
        const std::string source =
            cb::sound::testing::MakeTone(std::string("probe-") + encoder + ".wav", 1.0, 8000, 1, encoder);
        ASSERT_FALSE(source.empty());
        const auto facts = probe.ProbeAudio(source);
        ASSERT_TRUE(facts) << facts.Reason();
        EXPECT_EQ(facts->bits, 16);
        EXPECT_EQ(facts->channels, 1);
        EXPECT_EQ(facts->rate, 8000);
        EXPECT_NEAR(facts->duration, 1.0, 0.05);
        WaveBuffers buffers;
        ASSERT_TRUE(LoadWaveSamples(facts->audioFile, buffers));
        EXPECT_NEAR(buffers.Left->Length(), 8000, 400);
    }
    const std::string junk =
        WriteFile(PathFor("junk.wav"), std::string("RIFF\x10\0\0\0WAVEjunk", 16) + std::string(4000, 'x'));
    const auto junkFacts = probe.ProbeAudio(junk);
    EXPECT_FALSE(junkFacts);
    EXPECT_NE(junkFacts.Reason().find("does not decode"), std::string::npos) << junkFacts.Reason();
    const auto missing = probe.ProbeAudio(PathFor("missing.wav"));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.Reason(), "the file is missing or not a regular file");
}

}  // namespace
}  // namespace composer
