// The program's sound player on the sound layer: loading any sound file, saving it as PCM WAV that
// the program's header reader accepts, play and stop, and the component switched off.
#include <filesystem>

#include "cbplatform/sound.h"
#include "media/dx8_play_class.h"
#include "media/wav_oper_mod.h"
#include "sound_test_env.h"
#include "sound_test_support.h"

namespace composer {
namespace {

using Dx8PlayTest = testing::SoundTest;
using cb::sound::testing::MakeTone;

TEST_F(Dx8PlayTest, LoadsCompressedSoundAndSavesItAsPcmWav) {
    const std::string source = MakeTone("ima-play.wav", 0.5, 11025, 2, "adpcm_ima_wav");
    ASSERT_FALSE(source.empty());
    Dx8PlayClass player;
    ASSERT_TRUE(player.DxAvailable);
    ASSERT_TRUE(player.LoadWaveFile(source));
    EXPECT_EQ(player.FileName, source);
    EXPECT_EQ(player.WavBitsPerSample(), 16);
    EXPECT_EQ(player.WavChannels(), 2);
    EXPECT_EQ(player.WavSampleRate(), 11025);
    const std::string saved = PathFor("saved.wav");
    ASSERT_TRUE(player.SaveWaveFile(saved));
    WavFormatRec format;
    ASSERT_TRUE(ReadWavHeader(saved, format));
    EXPECT_EQ(format.BitsPerSample, 16);
    EXPECT_EQ(format.Channels, 2);
    EXPECT_EQ(format.SampleRate, 11025);
    EXPECT_EQ(format.Frames * 2, player.WavSampleCount());
    EXPECT_EQ(cb::sound::testing::Probe(saved).sampleFrames, format.Frames);

    EXPECT_FALSE(player.LoadWaveFile(PathFor("missing.wav")));
    EXPECT_FALSE(player.SaveWaveFile(PathFor("nothing.wav")));  // the failed load dropped the sound
}

TEST_F(Dx8PlayTest, TheSwitchMakesTheComponentUnavailable) {
    const std::string source = MakeTone("off.wav", 0.1, 8000, 1, "pcm_s16le");
    setenv("CB_SOUND_UNAVAILABLE", "1", 1);
    Dx8PlayClass player;
    unsetenv("CB_SOUND_UNAVAILABLE");
    EXPECT_FALSE(player.DxAvailable);
    EXPECT_FALSE(player.LoadWaveFile(source));
    player.PlayWav();  // nothing loaded: nothing happens
    player.StopPlay();
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Dx8PlayTest, WithoutASoundDeviceTheUserIsToldOncePerRun) {
    const std::string source = MakeTone("no-device.wav", 0.1, 8000, 1, "pcm_s16le");
    NoSoundDeviceNoticeShown = false;
    for (int i = 0; i < 2; ++i) {
        Dx8PlayClass player;
        ASSERT_TRUE(player.LoadWaveFile(source));
        player.PlayWav();
        player.StopPlay();
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(NoSoundDeviceNoticeShown);
}

TEST_F(Dx8PlayTest, PlayAfterStopContinuesWhereTheSoundStopped) {
    const std::string source = MakeTone("resume.wav", 0.2, 8000, 1, "pcm_s16le");  // 3200 bytes
    std::vector<std::int64_t> starts;
    const auto previous = cb::sound::SetSoundOutputFactory(
        [&] { return std::make_unique<cb::sound::testing::RecordingOutput>(&starts, 800); });
    {
        Dx8PlayClass player;
        ASSERT_TRUE(player.LoadWaveFile(source));
        player.PlayWav();
        player.StopPlay();
        player.PlayWav();
        player.StopPlay();
        player.Cleanup();
        player.PlayWav();  // released: nothing plays
    }
    cb::sound::SetSoundOutputFactory(previous);
    EXPECT_EQ(starts, (std::vector<std::int64_t>{0, 800}));
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace composer
