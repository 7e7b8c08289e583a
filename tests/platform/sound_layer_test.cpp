// The sound layer: decoding of the sound formats ffmpeg writes, the WAV it saves, the switch that
// turns the component off, and the play position kept across stop and play.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "cbplatform/sound.h"
#include "sound_test_support.h"

namespace cb::sound {
namespace {

using testing::MakeTone;
using testing::Probe;

struct DecodeCase {
    const char* name;
    const char* encoder;
    int channels;
    int expectedBits;
    int expectedChannels;
    bool exactLength;  // block codecs may pad or drop a few samples at the ends
};

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, DecodesToPlainPcmOfTheSameLengthAndSavesAWavOthersRead) {
    const DecodeCase& c = GetParam();
    if (std::string(c.encoder) == "libmp3lame" && !testing::FfmpegHasEncoder("libmp3lame"))
        GTEST_SKIP() << "this ffmpeg has no MP3 encoder";
    const int rate = 22050;
    const std::string source = MakeTone(std::string(c.name) + ".wav", 1.0, rate, c.channels, c.encoder);
    ASSERT_FALSE(source.empty());

    std::string error;
    std::shared_ptr<SoundBuffer> buffer = SoundBuffer::Decode(source, &error);
    ASSERT_TRUE(buffer) << error;
    EXPECT_EQ(buffer->format(), (PcmFormat{c.expectedChannels, rate, c.expectedBits}));
    if (c.exactLength)
        EXPECT_EQ(buffer->frameCount(), rate);
    else
        EXPECT_NEAR(static_cast<double>(buffer->frameCount()), rate, rate * 0.1);

    const std::string saved = testing::ScratchPath(std::string(c.name) + "-saved.wav");
    ASSERT_TRUE(buffer->SaveWav(saved, &error)) << error;
    const auto probed = Probe(saved);
    EXPECT_EQ(probed.codec, c.expectedBits == 8 ? "pcm_u8" : "pcm_s16le");
    EXPECT_EQ(probed.channels, c.expectedChannels);
    EXPECT_EQ(probed.sampleRate, rate);
    EXPECT_EQ(probed.sampleFrames, buffer->frameCount());
}

INSTANTIATE_TEST_SUITE_P(Formats, DecodeTest,
                         ::testing::Values(DecodeCase{"s16", "pcm_s16le", 1, 16, 1, true},
                                           DecodeCase{"u8stereo", "pcm_u8", 2, 8, 2, true},
                                           DecodeCase{"s24", "pcm_s24le", 2, 16, 2, true},
                                           DecodeCase{"f32", "pcm_f32le", 1, 16, 1, true},
                                           DecodeCase{"alaw", "pcm_alaw", 1, 16, 1, true},
                                           DecodeCase{"mulaw", "pcm_mulaw", 2, 16, 2, true},
                                           DecodeCase{"six", "pcm_s16le", 6, 16, 2, true},
                                           DecodeCase{"ima", "adpcm_ima_wav", 2, 16, 2, false},
                                           DecodeCase{"mp3", "libmp3lame", 2, 16, 2, false}),
                         [](const auto& row) { return std::string(row.param.name); });

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(SoundBuffer, KeepsPcmSamplesAndWritesTheCanonicalHeader) {
    const std::string source = MakeTone("plain.wav", 0.5, 8000, 2, "pcm_s16le");
    ASSERT_FALSE(source.empty());
    auto buffer = SoundBuffer::Decode(source, nullptr);
    ASSERT_TRUE(buffer);
    const std::string saved = testing::ScratchPath("plain-saved.wav");
    ASSERT_TRUE(buffer->SaveWav(saved, nullptr));
    const std::vector<char> original = FileBytes(source), copy = FileBytes(saved);
    ASSERT_EQ(copy.size(), kWavHeaderBytes + 8000 * 2);
    const auto header = MakeWavHeader(buffer->format(), 8000 * 2);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), reinterpret_cast<const std::uint8_t*>(copy.data())));
    // The samples are those of the source's data chunk, which ffmpeg puts at the end of the file.
    EXPECT_TRUE(std::equal(copy.end() - 8000 * 2, copy.end(), original.end() - 8000 * 2));
}

struct PlacedCase {
    const char* name;
    const char* pictureOffset;  // -itsoffset of the pictures' and of the sound's input
    const char* soundOffset;
    const char* codec;
    const char* remux;    // when not null: coded into Matroska first, then copied into the file with
                          // these input options (a cut with -ss keeps the pictures from the key
                          // frame before it, which the file's edit list leaves out)
    double onsetSeconds;  // where the tone starts in the decoded sound
};

void PrintTo(const PlacedCase& row, std::ostream* out) { *out << row.name; }

class SoundBesidePictures : public ::testing::TestWithParam<PlacedCase> {};

// The sound of a video starts where its first picture is shown, as players keep them: a sound that
// starts later is preceded by silence, one that starts earlier loses what comes before the picture.
TEST_P(SoundBesidePictures, StartsAtTheFirstPicture) {
    const PlacedCase& row = GetParam();
    const std::string path = testing::ScratchPath(row.name);
    const std::string coded =
        row.remux != nullptr ? testing::ScratchPath(std::string("coded-") + row.name + ".mkv") : path;
    // A tone that starts one second into the sound's own time line.
    testing::Capture(
        std::string("ffmpeg -v error -y -itsoffset ") + row.pictureOffset +
        " -f lavfi -i testsrc=size=32x24:rate=25:d=3 -itsoffset " + row.soundOffset +
        " -f lavfi -i \"aevalsrc='if(gte(t,1),0.5*sin(2*PI*440*t),0)':s=48000:d=3\" -c:v libx264 "
        "-c:a " +
        row.codec + " '" + coded + "'");
    if (row.remux != nullptr)
        testing::Capture(std::string("ffmpeg -v error -y ") + row.remux + " -i '" + coded + "' -c copy '" +
                         path + "'");
    auto buffer = SoundBuffer::Decode(path, nullptr);
    ASSERT_TRUE(buffer) << row.name;
    ASSERT_EQ(buffer->format().bitsPerSample, 16);
    const int channels = buffer->format().channels;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(buffer->frameCount() * channels));
    buffer->Read(0, samples.data(), samples.size() * sizeof(std::int16_t));
    std::int64_t onset = -1;
    for (std::size_t i = 0; i < samples.size(); i += static_cast<std::size_t>(channels)) {
        if (std::abs(samples[i]) > 8000) {
            onset = static_cast<std::int64_t>(i) / channels;
            break;
        }
    }
    EXPECT_NEAR(static_cast<double>(onset) / 48000, row.onsetSeconds, 0.001) << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, SoundBesidePictures,
    ::testing::Values(PlacedCase{"together.mp4", "0", "0", "aac", nullptr, 1.0},
                      PlacedCase{"together.mkv", "0", "0", "aac", nullptr, 1.0},
                      PlacedCase{"remuxed.mp4", "0", "0", "aac", "", 1.0},
                      PlacedCase{"sound-later.mp4", "0", "0.278", "aac", nullptr, 1.278},
                      PlacedCase{"sound-later.mkv", "0", "0.278", "pcm_s16le", nullptr, 1.278},
                      PlacedCase{"pictures-later.mp4", "0.52", "0", "aac", "", 0.48},
                      // Matroska puts the AAC priming (1024 samples) before the pictures: the tone is
                      // 1024 samples later in the cut.
                      PlacedCase{"cut.mp4", "0", "0", "aac", "-ss 0.5", 0.5 + 1024.0 / 48000},
                      PlacedCase{"pictures-later.mkv", "0.52", "0", "pcm_s16le", nullptr, 0.48},
                      PlacedCase{"pictures-later-aac.mkv", "0.52", "0", "aac", nullptr, 0.48}),
    [](const auto& row) {
        std::string name = row.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

TEST(SoundBuffer, RefusesWhatIsNotSound) {
    const std::string text = testing::ScratchPath("not-sound.wav");
    std::ofstream(text) << "this is not a sound file at all";
    for (const std::string& path : {text, testing::ScratchPath("missing.wav")}) {
        std::string error;
        EXPECT_FALSE(SoundBuffer::Decode(path, &error)) << path;
        EXPECT_FALSE(error.empty());
    }
}

TEST(SoundBuffer, TheEnvironmentSwitchMakesTheComponentUnavailable) {
    const std::string source = MakeTone("switch.wav", 0.1, 8000, 1, "pcm_s16le");
    EXPECT_TRUE(SoundAvailable());
    setenv("CB_SOUND_UNAVAILABLE", "1", 1);
    EXPECT_FALSE(SoundAvailable());
    EXPECT_FALSE(SoundBuffer::Decode(source, nullptr));
    setenv("CB_SOUND_UNAVAILABLE", "0", 1);
    EXPECT_TRUE(SoundAvailable());
    unsetenv("CB_SOUND_UNAVAILABLE");
}

TEST(SoundPlayer, ResumesWhereItStoppedAndStartsAgainAfterTheEnd) {
    const std::string source = MakeTone("play.wav", 0.1, 8000, 1, "pcm_s16le");  // 1600 bytes
    std::shared_ptr<const SoundBuffer> buffer = SoundBuffer::Decode(source, nullptr);
    ASSERT_TRUE(buffer);
    std::vector<std::int64_t> starts;
    const auto previous =
        SetSoundOutputFactory([&] { return std::make_unique<testing::RecordingOutput>(&starts, 1000); });
    {
        SoundPlayer player(buffer);
        EXPECT_EQ(player.Play(), PlayResult::Playing);
        player.Stop();
        EXPECT_EQ(player.positionBytes(), 1000);
        EXPECT_EQ(player.Play(), PlayResult::Playing);  // resumes, then reaches the end
        EXPECT_EQ(player.Play(), PlayResult::Playing);  // from the beginning again
    }
    SetSoundOutputFactory(previous);
    EXPECT_EQ(starts, (std::vector<std::int64_t>{0, 1000, 0}));
}

TEST(SoundPlayer, WithoutASoundDeviceNothingPlays) {
    // Test runs have no application object and no device: the machine's output refuses to start.
    auto buffer = SoundBuffer::Decode(MakeTone("silent.wav", 0.1, 8000, 1, "pcm_s16le"), nullptr);
    ASSERT_TRUE(buffer);
    SoundPlayer player(std::move(buffer));
    EXPECT_EQ(player.Play(), PlayResult::NoDevice);
    EXPECT_EQ(player.positionBytes(), 0);
}

}  // namespace
}  // namespace cb::sound
