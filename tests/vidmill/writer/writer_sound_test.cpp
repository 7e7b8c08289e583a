// The sound track: copied in its stored format, cut at the last frame, once per file.
#include <gtest/gtest.h>

#include "frame/error.h"
#include "writer/avi_writer_engine.h"
#include "writer_test_support.h"

namespace vidmill::writer {
namespace {

using namespace vidmill::writer::testing;

// Writes `frames` frames of 32 x 32 at 25 frames per second with the sound of `soundPath`
// added after `framesBeforeSound` of them.
std::string WriteWithSound(const std::string& name, int frames, int framesBeforeSound,
                           const std::string& soundPath, bool cutWav) {
    const std::string path = ScratchPath(name);
    AviWriterEngine writer;
    writer.createNew(path, 32, 32);
    for (int i = 0; i < frames; ++i) {
        if (i == framesBeforeSound) writer.addWav(soundPath, cutWav);
        PaintPattern(writer.frameBitmap(), i);
        writer.writeCurrentFrame();
    }
    if (framesBeforeSound >= frames) writer.addWav(soundPath, cutWav);
    writer.close();
    return path;
}

TEST(WriterSound, StoredFormatLengthAndPlace) {
    struct Case {
        const char* codec;        // ffmpeg encoder of the source file
        const char* storedCodec;  // what ffprobe reports for the written track
        int sampleRate;
        int channels;
        bool cutWav;
        std::int64_t sampleFrames;  // expected decoded length
    };
    // 50 frames at 25 per second: the last frame starts at 1.96 s. A 3-second tone cut there
    // keeps the sample at 1.96 s and nothing after it.
    const Case cases[] = {
        {"pcm_s16le", "pcm_s16le", 22050, 1, true, 43219},
        {"pcm_s16le", "pcm_s16le", 22050, 1, false, 66150},
        {"pcm_u8", "pcm_u8", 11025, 2, true, 21610},
        // Blocks of 2036 samples: the cut keeps the block holding sample 43218 (block 21), so 22
        // blocks; the whole tone fills 33 blocks.
        {"adpcm_ms", "adpcm_ms", 22050, 1, true, 22 * 2036},
        {"adpcm_ms", "adpcm_ms", 22050, 1, false, 33 * 2036},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.codec) + (c.cutWav ? " cut" : " whole"));
        const std::string tone = MakeToneFile("tone.wav", 3.0, c.sampleRate, c.channels, c.codec);
        const std::string path = WriteWithSound("sound.avi", 50, 50, tone, c.cutWav);
        EXPECT_EQ(ProbeVideo(path).packets, 50);
        const SoundFacts sound = ProbeSound(path);
        EXPECT_EQ(sound.codecName, c.storedCodec);
        EXPECT_EQ(sound.sampleRate, c.sampleRate);
        EXPECT_EQ(sound.channels, c.channels);
        EXPECT_EQ(sound.sampleFrames, c.sampleFrames);
        EXPECT_TRUE(SoundAfterVideo(path)) << "the video is written once, the sound after it";
        EXPECT_EQ(VideoScaleAndRate(path), std::make_pair(1000u, 25000u));
    }
}

TEST(WriterSound, SoundAddedBeforeFramesIsKeptWhole) {
    const std::string tone = MakeToneFile("early.wav", 1.0, 8000, 1, "pcm_s16le");
    const std::string path = WriteWithSound("early.avi", 30, 0, tone, true);
    EXPECT_EQ(ProbeVideo(path).packets, 30);
    EXPECT_EQ(ProbeSound(path).sampleFrames, 8000);
}

TEST(WriterSound, FirstSoundStreamOfAnAviFile) {
    const std::string source = ScratchPath("with-sound.avi");
    RunCommand(
        "ffmpeg -v error -y -f lavfi -i testsrc=size=32x32:rate=25:duration=2 -f lavfi -i "
        "sine=sample_rate=16000:duration=2 -c:v mjpeg -c:a pcm_s16le " +
        Quoted(source));
    const std::string path = WriteWithSound("from-avi.avi", 10, 10, source, false);
    const SoundFacts sound = ProbeSound(path);
    EXPECT_EQ(sound.codecName, "pcm_s16le");
    EXPECT_EQ(sound.sampleFrames, 32000);
}

TEST(WriterSound, OncePerFileAndMessages) {
    const std::string tone = MakeToneFile("once.wav", 0.5, 8000, 1, "pcm_s16le");
    const std::string path = ScratchPath("once.avi");
    AviWriterEngine writer;
    writer.createNew(path, 16, 16);
    try {
        writer.addWav(path + ".missing.wav", true);
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "WAV file \"" + path + ".missing.wav\" not found");
    }
    writer.addWav(tone, true);
    try {
        writer.addWav(tone, true);
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Sound track is already written to AVI file");
    }
    writer.close();
    writer.createNew(path, 16, 16);
    EXPECT_NO_THROW(writer.addWav(tone, false));
    writer.close();
    EXPECT_EQ(ProbeSound(path).sampleFrames, 4000);
}

TEST(WriterSound, FileWithoutSoundIsRefused) {
    const std::string silent = ScratchPath("silent.avi");
    RunCommand("ffmpeg -v error -y -f lavfi -i testsrc=size=32x32:rate=25:duration=1 -c:v mjpeg " +
               Quoted(silent));
    AviWriterEngine writer;
    writer.createNew(ScratchPath("refused-sound.avi"), 16, 16);
    try {
        writer.addWav(silent, true);
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Cannot open WAV file");
    }
    EXPECT_NO_THROW(writer.close());
}

}  // namespace
}  // namespace vidmill::writer
