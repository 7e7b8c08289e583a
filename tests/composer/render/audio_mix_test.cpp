// The output sound mix: selection of the sounds in the range, conversion of rate, channels and bits
// with the per-clip cache, and the clipped sum.
#include <filesystem>

#include "media/sound/wav_oper_mod.h"
#include "media/sound/wav_reader_class.h"
#include "render/mix_output_audio.h"
#include "render/resample_buffer.h"
#include "render/sample_conversion.h"
#include "sound_test_env.h"
#include "sound_test_support.h"
#include "wav_bytes.h"

namespace composer {
namespace {

using namespace composer::testing;

class MixTest : public SoundTest {
  protected:
    // An audio clip whose WAV file holds the given frames (stereo: left and right interleaved).
    int32_t AddClip(int channels, int bits, int rate, const std::vector<int16_t>& interleaved) {
        std::string samples;
        for (int16_t value : interleaved)
            samples += bits == 8 ? std::string(1, static_cast<char>(value + 128)) : Samples16({value});
        const std::string path = WriteFile(PathFor("clip" + std::to_string(movie.ClipCount + 1) + ".wav"),
                                           WavBytes(channels, bits, rate, samples));
        ClipRec clip;
        clip.ClipType = ClipAudio;
        clip.FilePath = clip.AudioFile = path;
        clip.AudioBits = bits;
        clip.AudioChannels = channels;
        clip.AudioRate = rate;
        clip.AudioFrames = static_cast<int32_t>(interleaved.size()) / channels;
        clip.AudioDuration = static_cast<double>(clip.AudioFrames) / rate;
        movie.Clips.push_back(clip);
        return ++movie.ClipCount;
    }
    void AddEvent(int32_t clip, double start) {
        events.push_back({clip, start, start + movie.Clips[static_cast<size_t>(clip)].AudioDuration});
    }
    void SetOutput(int channels, int bits, int rate) {
        movie.OutChannels = channels;
        movie.OutBits = bits;
        movie.OutRate = rate;
    }
    std::string Mix(double start, double end) {
        return MixOutputAudio(movie, events, static_cast<int32_t>(events.size()) - 1, start, end);
    }
    // The mixed channels read back with the program's loader.
    WaveBuffers Load(const std::string& wavFile) {
        WaveBuffers buffers;
        EXPECT_TRUE(LoadWaveSamples(wavFile, buffers));
        return buffers;
    }
    const ClipRec& Clip(int32_t index) const { return movie.Clips[static_cast<size_t>(index)]; }

    MovieDbRec movie;
    std::vector<AudioEvent> events = std::vector<AudioEvent>(1);
};

TEST_F(MixTest, OverlappingFullScaleSoundsClipInsteadOfWrapping) {
    SetOutput(1, 16, 8000);
    AddEvent(AddClip(1, 16, 8000, {32767, -32768, 30000, -30000}), 0.0);
    AddEvent(AddClip(1, 16, 8000, {32767, -32768, 30000, -30000}), 0.0);
    const std::string wav = Mix(0.0, 4.0 / 8000);
    ASSERT_FALSE(wav.empty());
    // Sample j of a sound starting at t lands at position rate x t + 1 + j of the range's samples.
    EXPECT_EQ(AllValues(*Load(wav).Left), (std::vector<int16_t>{0, 32767, -32768, 32767, -32768}));
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.front().text, " processing audio, please wait ..");
}

TEST_F(MixTest, OneClipHeardTwiceIsConvertedOnceAndPlacedAtEachStart) {
    SetOutput(1, 16, 4000);
    const int32_t clip = AddClip(1, 16, 8000, {1000, 1000, 2000, 2000});
    AddEvent(clip, 0.0);
    AddEvent(clip, 1.0 / 4000);
    const std::string wav = Mix(0.0, 3.0 / 4000);
    EXPECT_EQ(ui.waitCursorRequests, 1);
    EXPECT_EQ(AllValues(*OpenBufferFile(Clip(clip).CacheLeftFile)), (std::vector<int16_t>{1000, 2000}));
    EXPECT_EQ(AllValues(*Load(wav).Left), (std::vector<int16_t>{0, 1000, 3000, 2000}));
}

TEST_F(MixTest, MonoIsHeardOnBothSidesAndStereoGivesItsLeftToAMonoMovie) {
    SetOutput(2, 16, 8000);
    AddEvent(AddClip(1, 16, 8000, {1000, 2000, 3000}), 0.0);
    WaveBuffers stereo = Load(Mix(0.0, 3.0 / 8000));
    EXPECT_EQ(AllValues(*stereo.Left), (std::vector<int16_t>{0, 1000, 2000, 3000}));
    EXPECT_EQ(AllValues(*stereo.Right), AllValues(*stereo.Left));

    SetOutput(1, 16, 8000);
    events.resize(1);
    AddEvent(AddClip(2, 16, 8000, {1000, -5, 2000, -6}), 0.0);
    WaveBuffers mono = Load(Mix(0.0, 2.0 / 8000));
    EXPECT_EQ(AllValues(*mono.Left), (std::vector<int16_t>{0, 1000, 2000}));
    EXPECT_FALSE(mono.Right);
}

TEST_F(MixTest, ARangeEndingAtASoundsStartSelectsItButHearsNothingOfIt) {
    SetOutput(1, 16, 8000);
    AddEvent(AddClip(1, 16, 8000, std::vector<int16_t>(100, 5000)), 1.0);
    const std::string wav = Mix(0.0, 1.0);
    ASSERT_FALSE(wav.empty());
    const std::vector<int16_t> values = AllValues(*Load(wav).Left);
    EXPECT_EQ(values.size(), 8001u);
    EXPECT_EQ(std::count(values.begin(), values.end(), 0), 8001);
    EXPECT_EQ(Mix(0.0, 0.999), "");  // wholly before the sound: no sound track at all
    EXPECT_EQ(Mix(1.02, 2.0), "");   // wholly after it
}

TEST_F(MixTest, ASoundThatBeganBeforeTheRangeIsHeardFromTheRangeStartOn) {
    SetOutput(1, 16, 8000);
    std::vector<int16_t> ramp(8000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i + 1);  // sample j holds j
    AddEvent(AddClip(1, 16, 8000, ramp), 0.5);
    const std::vector<int16_t> values = AllValues(*Load(Mix(1.0, 1.1)).Left);
    ASSERT_EQ(values.size(), 801u);
    // Range sample i is sound sample i + 3999: the sound is 4000 samples in at the range start.
    for (size_t i : {0u, 1u, 400u, 800u}) EXPECT_EQ(values[i], static_cast<int16_t>(i + 1 + 3999)) << i;
}

TEST_F(MixTest, AStretchOfASoundIsHeardFromItsStartForItsLength) {
    // A video's own sound trimmed with its pictures: sound samples 2 .. 4 heard from 1 / 8000 s on,
    // whether the range begins before or inside it.
    SetOutput(1, 16, 8000);
    const int32_t clip = AddClip(1, 16, 8000, {10, 20, 30, 40, 50, 60});
    AudioEvent stretch{clip, 1.0 / 8000, 4.0 / 8000};
    stretch.SourceStart = 1.0 / 8000;
    stretch.HeardLength = 3.0 / 8000;
    events.push_back(stretch);
    EXPECT_EQ(AllValues(*Load(Mix(0.0, 6.0 / 8000)).Left), (std::vector<int16_t>{0, 0, 20, 30, 40, 0, 0}));
    EXPECT_EQ(AllValues(*Load(Mix(2.0 / 8000, 6.0 / 8000)).Left), (std::vector<int16_t>{20, 30, 40, 0, 0}));
}

TEST_F(MixTest, SixteenBitSoundInAnEightBitMovie) {
    SetOutput(1, 8, 8000);
    const int32_t clip = AddClip(1, 16, 8000, {32767, -32768, 384});
    AddEvent(clip, 0.0);
    const std::string wav = Mix(0.0, 3.0 / 8000);
    EXPECT_EQ(Clip(clip).CacheBits, 8);
    EXPECT_EQ(AllValues(*OpenBufferFile(Clip(clip).CacheLeftFile)), (std::vector<int16_t>{128, -128, 2}));
    EXPECT_EQ(AllValues(*Load(wav).Left), (std::vector<int16_t>{0, 127, -128, 2}));
    const std::string bytes = ReadFile(wav);
    EXPECT_EQ(static_cast<uint8_t>(bytes[45]), 255);
}

TEST_F(MixTest, TheCacheIsReusedAtOneRateAndRebuiltFromTheDecodedSoundAtAnother) {
    SetOutput(1, 16, 22050);
    const int32_t clip = AddClip(1, 16, 44100, std::vector<int16_t>(4410, 1234));
    AddEvent(clip, 0.0);
    ASSERT_FALSE(Mix(0.0, 0.1).empty());
    EXPECT_EQ(ui.waitCursorRequests, 1);  // decoded once
    EXPECT_EQ(Clip(clip).CacheRate, 22050);
    const std::string converted = Clip(clip).CacheLeftFile;
    EXPECT_EQ(OpenBufferFile(converted)->Length(), 2205);

    ASSERT_FALSE(Mix(0.0, 0.1).empty());
    EXPECT_EQ(ui.waitCursorRequests, 1);
    EXPECT_EQ(Clip(clip).CacheLeftFile, converted);

    movie.OutRate = 11025;
    ASSERT_FALSE(Mix(0.0, 0.1).empty());
    EXPECT_EQ(ui.waitCursorRequests, 2);  // decoded again before resampling
    EXPECT_EQ(Clip(clip).CacheRate, 11025);
    EXPECT_NE(Clip(clip).CacheLeftFile, converted);
    EXPECT_FALSE(std::filesystem::exists(converted));
    EXPECT_EQ(OpenBufferFile(Clip(clip).CacheLeftFile)->Length(), 1103);
}

TEST_F(MixTest, ASoundThatCannotBeLoadedIsLeftOut) {
    SetOutput(1, 16, 8000);
    const int32_t broken = AddClip(1, 16, 8000, {1, 2, 3});
    movie.Clips[static_cast<size_t>(broken)].AudioFile = PathFor("gone.wav");
    AddEvent(broken, 0.0);
    EXPECT_EQ(Mix(0.0, 1.0), "");
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{
                  "No wave Data found in file",
                  "Wave file loading failed for " + PathFor("gone.wav") + ": No such file or directory"}));
    AddEvent(AddClip(1, 16, 8000, {7}), 0.0);
    EXPECT_EQ(AllValues(*Load(Mix(0.0, 1.0 / 8000)).Left), (std::vector<int16_t>{0, 7}));
    EXPECT_TRUE(Clip(broken).CacheLeftFile.empty());
    EXPECT_EQ(MixOutputAudio(movie, events, 0, 0.0, 1.0), "");
}

TEST_F(MixTest, ACompressedWavOpensAsAClipThroughTheDecodingPath) {
    const std::string source = cb::sound::testing::MakeTone("ima-clip.wav", 1.0, 22050, 2, "adpcm_ima_wav");
    ASSERT_FALSE(source.empty());
    WavReaderClass reader;
    ASSERT_TRUE(reader.ReadWav_OpenFile(source));
    ClipRec clip;
    clip.ClipType = ClipAudio;
    clip.FilePath = source;
    clip.AudioFile = reader.ReadWav_GetWavFile();
    clip.AudioBits = reader.Bits;
    clip.AudioChannels = reader.Channels;
    clip.AudioRate = reader.SampleRate;
    clip.AudioFrames = reader.Frames;
    clip.AudioDuration = reader.Duration;
    movie.Clips.push_back(clip);
    movie.ClipCount = 1;
    AddEvent(1, 0.0);
    SetOutput(2, 16, 11025);
    const std::string wav = Mix(0.0, 1.0);
    ASSERT_FALSE(wav.empty());
    const auto probed = cb::sound::testing::Probe(wav);
    EXPECT_EQ(probed.codec, "pcm_s16le");
    EXPECT_EQ(probed.channels, 2);
    EXPECT_EQ(probed.sampleRate, 11025);
    EXPECT_EQ(probed.sampleFrames, 11026);
    // The tone is there: the mix is not silent.
    const std::vector<int16_t> left = AllValues(*Load(wav).Left);
    EXPECT_GT(*std::max_element(left.begin(), left.end()), 1000);
}

using ConversionTest = SoundTest;

TEST_F(ConversionTest, ResamplingFollowsTheCubicCurveWithTabledPhases) {
    const struct {
        int32_t from, to, bits;
        std::vector<int16_t> input, output;
    } cases[] = {
        // Halving keeps every second sample: phases 0 and 100 give the samples themselves.
        {2, 1, 16, {0, 100, 200, 300}, {0, 200}},
        // Doubling: midpoints from the curve, 42.5 and 257.5 rounded to the even neighbour.
        {1, 2, 16, {0, 100, 200, 300}, {0, 42, 100, 150, 200, 258, 300}},
        {5, 7, 16, {7}, {7}},
        // The curve overshoots the flat top (up to 146) and is clipped to the 8-bit limit. At
        // position 1.5 the exact value is 63.5, which a floating-point sum puts just below the half:
        // it rounds to the even 64.
        {1, 4, 8, {0, 127, 127, 0}, {0, 27, 64, 100, 127, 127, 127, 127, 127, 100, 64, 27, 0}},
    };
    for (const auto& c : cases) {
        FileCarrBuffClass source;
        source.WriteBlock(1, c.input);
        EXPECT_EQ(AllValues(*ResampleBuffer(c.from, c.to, c.bits, source)), c.output)
            << c.from << "->" << c.to;
    }
    FileCarrBuffClass second;
    second.SetLength(44100, LengthFill::ZeroFill);
    EXPECT_EQ(ResampleBuffer(44100, 22050, 16, second)->Length(), 22050);
    EXPECT_EQ(ResampleBuffer(44100, 48000, 16, second)->Length(), 47999);  // up to the last input sample
}

TEST_F(ConversionTest, BitDepthConversionRoundsHalvesToEven) {
    FileCarrBuffClass sixteen;
    sixteen.WriteBlock(1, std::vector<int16_t>{32767, -32768, 128, 384, -384, 255});
    EXPECT_EQ(AllValues(*ConvertBits(16, 8, sixteen)), (std::vector<int16_t>{128, -128, 0, 2, -2, 1}));
    FileCarrBuffClass eight;
    eight.WriteBlock(1, std::vector<int16_t>{127, -128, 0});
    EXPECT_EQ(AllValues(*ConvertBits(8, 16, eight)), (std::vector<int16_t>{32512, -32768, 0}));
}

}  // namespace
}  // namespace composer
