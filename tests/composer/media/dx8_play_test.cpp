// The program's sound player on the sound layer: loading any sound file, saving it as PCM WAV that
// the program's header reader accepts, play and stop, and the component switched off.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cbplatform/sound.h"
#include "media/sound/dx8_play_class.h"
#include "media/sound/wav_oper_mod.h"
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
    EXPECT_EQ(player.PlayWav(), std::nullopt);  // nothing loaded: nothing happens
    player.StopPlay();
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Dx8PlayTest, WithoutASoundDeviceTheUserIsToldOncePerRun) {
    const std::string source = MakeTone("no-device.wav", 0.1, 8000, 1, "pcm_s16le");
    NoticeFlags notices;
    std::vector<std::optional<std::string>> given;
    for (int i = 0; i < 2; ++i) {
        Dx8PlayClass player;
        player.Notices = &notices;
        ASSERT_TRUE(player.LoadWaveFile(source));
        given.push_back(player.PlayWav());
        player.StopPlay();
    }
    // The notice is given for the window to show, once per run; the player shows nothing itself.
    const std::string notice =
        "No sound output device was found on this computer: the sound cannot be played.";
    EXPECT_EQ(given, (std::vector<std::optional<std::string>>{notice, std::nullopt}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(notices.noSoundDeviceShown);
}

TEST_F(Dx8PlayTest, PlayAfterStopContinuesWhereTheSoundStopped) {
    const std::string source = MakeTone("resume.wav", 0.2, 8000, 1, "pcm_s16le");  // 3200 bytes
    std::vector<std::int64_t> starts;
    const auto previous = cb::sound::SetSoundOutputFactory(
        [&] { return std::make_unique<cb::sound::testing::RecordingOutput>(&starts, 800); });
    {
        Dx8PlayClass player;
        ASSERT_TRUE(player.LoadWaveFile(source));
        EXPECT_EQ(player.PlayWav(), std::nullopt);
        player.StopPlay();
        EXPECT_EQ(player.PlayWav(), std::nullopt);
        player.StopPlay();
        player.Cleanup();
        EXPECT_EQ(player.PlayWav(), std::nullopt);  // released: nothing plays
    }
    cb::sound::SetSoundOutputFactory(previous);
    EXPECT_EQ(starts, (std::vector<std::int64_t>{0, 800}));
    EXPECT_TRUE(ui.messages.empty());
}

// A video's own sound is played as the movie has it: only the stretch of its used pictures, cut at
// the end of the sound. The stretch is read back through a saved copy.
TEST_F(Dx8PlayTest, AStretchOfTheSoundIsLoadedAlone) {
    const std::string source = MakeTone("stretch.wav", 0.5, 8000, 2, "pcm_s16le");  // 4000 frames
    const struct {
        SoundSpan span;
        int64_t frames;
    } cases[] = {{{0.1, 0.2}, 1600}, {{0.4, 0.3}, 800}, {{0.6, 0.2}, 0}, {{0, 0.5}, 4000}};
    for (const auto& c : cases) {
        Dx8PlayClass player;
        ASSERT_TRUE(player.LoadWaveFile(source, c.span)) << c.span.startSeconds;
        EXPECT_EQ(player.Span, c.span);
        EXPECT_EQ(player.WavSampleCount(), c.frames * 2) << c.span.startSeconds;
        if (c.frames == 0) continue;  // nothing to play; the program's WAV reader takes no empty file
        const std::string saved = PathFor("stretch-saved.wav");
        ASSERT_TRUE(player.SaveWaveFile(saved));
        WavFormatRec format;
        ASSERT_TRUE(ReadWavHeader(saved, format));
        EXPECT_EQ(format.Frames, c.frames);
        EXPECT_EQ(format.SampleRate, 8000);
    }
    // The same samples as the whole sound has there: the stretch from 0.1 s begins with sample 800.
    Dx8PlayClass whole, stretch;
    ASSERT_TRUE(whole.LoadWaveFile(source));
    ASSERT_TRUE(stretch.LoadWaveFile(source, SoundSpan{0.1, 0.2}));
    const std::string wholeFile = PathFor("whole.wav"), stretchFile = PathFor("stretch.wav");
    ASSERT_TRUE(whole.SaveWaveFile(wholeFile) && stretch.SaveWaveFile(stretchFile));
    std::ifstream wholeIn(wholeFile, std::ios::binary), stretchIn(stretchFile, std::ios::binary);
    std::vector<char> wholeBytes((std::istreambuf_iterator<char>(wholeIn)), {});
    std::vector<char> stretchBytes((std::istreambuf_iterator<char>(stretchIn)), {});
    ASSERT_EQ(stretchBytes.size(), 44u + 1600 * 4);
    ASSERT_GE(wholeBytes.size(), 44u + 4000 * 4);
    EXPECT_TRUE(std::equal(stretchBytes.begin() + 44, stretchBytes.end(), wholeBytes.begin() + 44 + 800 * 4));
}

}  // namespace
}  // namespace composer
