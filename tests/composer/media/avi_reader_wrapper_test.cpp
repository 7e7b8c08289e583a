// The AVI reader wrapper over the library: 1-based frames, the closed state, and the WAV copy of
// the sound track with its ownership and the sound layer's decoding as fallback.
#include <filesystem>

#include "avi_wrapper_env.h"
#include "base/files.h"
#include "cbplatform/picture.h"
#include "media/library/library_call.h"
#include "media/library/velc_avi_reader_class.h"
#include "media/sound/compressed_audio_notice.h"

namespace composer {
namespace {

using AviReaderWrapper = testing::AviWrapperTest;

int RedOf(uint32_t pixel) { return (pixel >> 16) & 0xFF; }

void ExpectClosed(const VelcAviReaderClass& reader) {
    EXPECT_FALSE(reader.IsOpen);
    EXPECT_FALSE(reader.HasWav);
    EXPECT_EQ(reader.FileName, "");
    EXPECT_EQ(reader.Width + reader.Height + reader.FrameCount, 0);
    EXPECT_EQ(reader.FramesPerSecond, 0.0);
    EXPECT_EQ(reader.WavBitsPerSample + reader.WavChannels + reader.WavSampleRate + reader.WavSampleCount, 0);
}

TEST_F(AviReaderWrapper, EveryMethodOnAClosedWrapperAnswersFalseOrEmpty) {
    const auto check = [&](VelcAviReaderClass& reader) {
        ExpectClosed(reader);
        cb::ComPtr<IPicture> untouched = cb::CreatePicture(std::make_shared<cb::Bitmap>(2, 2, 32));
        IPicture* before = untouched.get();
        EXPECT_FALSE(reader.ReadAvi_GetOneFrameAsPicture(1, untouched));
        EXPECT_EQ(untouched.get(), before);
        EXPECT_FALSE(reader.ReadAvi_GetOneFrameAsPixels(1));
        EXPECT_FALSE(reader.ExtractWavFile());
        EXPECT_EQ(reader.GetWavFile(), "");
        reader.ReadAVI_CloseFile();
        reader.ReadAVI_CloseFile();
        ExpectClosed(reader);
    };
    VelcAviReaderClass fresh;
    check(fresh);
    // A file the library cannot open, and a library that is not registered, leave it closed too,
    // each with its reason for the caller to report (OpenFile says it, naming the file).
    const auto reasonOf = [](VelcAviReaderClass& reader, const std::string& path) -> std::string {
        try {
            reader.OpenFile(path);
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.File(), path);
            return failure.Reason();
        }
        return "";
    };
    VelcAviReaderClass refused;
    EXPECT_FALSE(refused.ReadAvi_OpenFile(PathFor("missing.avi")));
    EXPECT_EQ(reasonOf(refused, PathFor("missing.avi")), "the file is missing or not a regular file");
    check(refused);
    Unregister(vidmill::CLSID_AviReader);
    VelcAviReaderClass unregistered;
    EXPECT_FALSE(unregistered.ReadAvi_OpenFile(PathFor("missing.avi")));
    EXPECT_EQ(reasonOf(unregistered, PathFor("missing.avi")), "The AVI library is not registered");
    Reregister();
    check(unregistered);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(FilesInWorkFolder(), 0);
}

TEST_F(AviReaderWrapper, FrameOneIsTheLibrarysFrameZero) {
    const std::string avi = NumberedFramesAvi("numbered.avi");
    ASSERT_FALSE(avi.empty());
    VelcAviReaderClass reader;
    ASSERT_TRUE(reader.ReadAvi_OpenFile(avi));
    EXPECT_TRUE(reader.IsOpen);
    EXPECT_EQ(reader.FileName, avi);
    EXPECT_EQ(reader.Width, 32);
    EXPECT_EQ(reader.Height, 24);
    EXPECT_DOUBLE_EQ(reader.FramesPerSecond, 5.0);
    ASSERT_EQ(reader.FrameCount, 5);

    for (int frame = 1; frame <= reader.FrameCount; ++frame) {
        ASSERT_TRUE(reader.ReadAvi_GetOneFrameAsPixels(frame));
        ASSERT_EQ(AviReaderPixels().size(), 32u * 24u);
        const uint32_t middle = AviReaderPixels()[PixelIndex(32, 24, 12, 16)];
        EXPECT_NEAR(RedOf(middle), 40 * (frame - 1), 2) << "frame " << frame;
    }
    cb::ComPtr<IPicture> picture;
    ASSERT_TRUE(reader.ReadAvi_GetOneFrameAsPicture(1, picture));
    ASSERT_TRUE(picture);
    // Frames outside 1 .. FrameCount reach the caller as the library's error.
    EXPECT_THROW(reader.ReadAvi_GetOneFrameAsPicture(0, picture), Failure);
    EXPECT_THROW(reader.ReadAvi_GetOneFrameAsPixels(reader.FrameCount + 1), Failure);

    reader.ReadAVI_CloseFile();
    ExpectClosed(reader);
    EXPECT_FALSE(reader.ReadAvi_GetOneFrameAsPixels(1));
}

TEST_F(AviReaderWrapper, TheWavCopyStaysWhenTakenAndIsDeletedOtherwise) {
    const std::string avi = NumberedFramesAvi("with-sound.avi");
    ASSERT_FALSE(avi.empty());

    std::string taken;
    {
        VelcAviReaderClass reader;
        ASSERT_TRUE(reader.ReadAvi_OpenFile(avi));
        ASSERT_TRUE(reader.ExtractWavFile());
        EXPECT_TRUE(reader.HasWav);
        EXPECT_EQ(reader.WavBitsPerSample, 16);
        EXPECT_EQ(reader.WavChannels, 1);
        EXPECT_EQ(reader.WavSampleRate, 11025);
        EXPECT_EQ(reader.WavSampleCount, 11025);
        EXPECT_FLOAT_EQ(reader.WavDuration, 1.0f);
        EXPECT_GT(ui.waitCursorRequests, 0);
        EXPECT_EQ(ui.waitCursorDepth, 0);
        taken = reader.GetWavFile();
        EXPECT_EQ(taken.rfind(WorkFolder, 0), 0u);
        EXPECT_EQ(reader.GetWavFile(), "");  // handed over once
        reader.ReadAVI_CloseFile();
        EXPECT_TRUE(FileExists(taken));
    }
    EXPECT_TRUE(FileExists(taken));

    std::string kept;
    {
        VelcAviReaderClass reader;
        ASSERT_TRUE(reader.ReadAvi_OpenFile(avi));
        ASSERT_TRUE(reader.ExtractWavFile());
        // A second extraction replaces the first copy.
        const int before = FilesInWorkFolder();
        ASSERT_TRUE(reader.ExtractWavFile());
        EXPECT_EQ(FilesInWorkFolder(), before);
        EXPECT_TRUE(reader.HasWav);
        kept = reader.GetWavFile();
        ASSERT_TRUE(reader.ExtractWavFile());
        EXPECT_TRUE(FileExists(kept));  // the caller's file is not the wrapper's to delete
        EXPECT_EQ(FilesInWorkFolder(), before + 1);
    }
    // Destroying the wrapper deleted its untaken copy: only the two taken files remain.
    EXPECT_EQ(FilesInWorkFolder(), 2);
    {
        VelcAviReaderClass reader;
        ASSERT_TRUE(reader.ReadAvi_OpenFile(avi));
        ASSERT_TRUE(reader.ExtractWavFile());
        reader.ReadAVI_CloseFile();
        EXPECT_FALSE(reader.HasWav);
    }
    EXPECT_EQ(FilesInWorkFolder(), 2);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AviReaderWrapper, CompressedSoundIsDecodedIntoPcmByTheSoundLayer) {
    const std::string avi = NumberedFramesAvi("adpcm.avi", "adpcm_ima_wav");
    ASSERT_FALSE(avi.empty());
    VelcAviReaderClass reader;
    ASSERT_TRUE(reader.ReadAvi_OpenFile(avi));
    ASSERT_TRUE(reader.ExtractWavFile());
    EXPECT_EQ(reader.WavBitsPerSample, 16);
    EXPECT_EQ(reader.WavChannels, 1);
    EXPECT_EQ(reader.WavSampleRate, 11025);
    // As long as ffmpeg decodes it (the encoder pads the last block).
    EXPECT_EQ(reader.WavSampleCount, cb::sound::testing::Probe(avi).sampleFrames);
    EXPECT_FLOAT_EQ(reader.WavDuration, static_cast<float>(reader.WavSampleCount) / 11025.0f);
    EXPECT_EQ(FilesInWorkFolder(), 1);  // the library's compressed copy is gone
    const std::string wav = reader.GetWavFile();
    EXPECT_EQ(cb::sound::testing::Probe(wav).codec, "pcm_s16le");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AviReaderWrapper, WithoutTheSoundLayerTheUserIsToldOncePerRun) {
    const std::string avi = NumberedFramesAvi("adpcm.avi", "adpcm_ima_wav");
    ASSERT_FALSE(avi.empty());
    NoticeFlags notices;
    ::setenv("CB_SOUND_UNAVAILABLE", "1", 1);
    VelcAviReaderClass reader;
    reader.Notices = &notices;
    ASSERT_TRUE(reader.ReadAvi_OpenFile(avi));
    EXPECT_FALSE(reader.ExtractWavFile());
    EXPECT_FALSE(reader.HasWav);
    EXPECT_EQ(reader.GetWavFile(), "");
    EXPECT_FALSE(reader.ExtractWavFile());
    ::unsetenv("CB_SOUND_UNAVAILABLE");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text,
              "Compressed Audio data could not be extracted from this file.\r\n"
              "If you install DirectX8 we can try to extact audio data from this file.");
    EXPECT_EQ(ui.messages[0].title, kProgramTitle);
    EXPECT_EQ(ui.messages[1].title, " Need DirectX 8");
    EXPECT_TRUE(notices.compressedAudioShown);
    reader.ReadAVI_CloseFile();
    EXPECT_EQ(FilesInWorkFolder(), 0);  // the undecoded copy went with the close
}

TEST_F(AviReaderWrapper, AFileWithoutSoundGivesNoCopyAndNoMessage) {
    const std::string avi = NumberedFramesAvi("silent.avi", "");
    ASSERT_FALSE(avi.empty());
    VelcAviReaderClass reader;
    ASSERT_TRUE(reader.ReadAvi_OpenFile(avi));
    EXPECT_FALSE(reader.ExtractWavFile());
    EXPECT_FALSE(reader.HasWav);
    EXPECT_EQ(FilesInWorkFolder(), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(AviReaderWrapper, OpeningAnotherFileReplacesTheReaderAndKeepsTheOldCopyTillClose) {
    const std::string first = NumberedFramesAvi("with-sound.avi");
    const std::string second = NumberedFramesAvi("silent.avi", "");
    VelcAviReaderClass reader;
    ASSERT_TRUE(reader.ReadAvi_OpenFile(first));
    ASSERT_TRUE(reader.ExtractWavFile());
    ASSERT_TRUE(reader.ReadAvi_OpenFile(second));
    EXPECT_EQ(reader.FileName, second);
    EXPECT_EQ(reader.WavSampleRate, 0);  // the description is reset, the copy is still the wrapper's
    EXPECT_EQ(FilesInWorkFolder(), 1);
    // A failed open closes the wrapper, and with it goes the copy.
    EXPECT_FALSE(reader.ReadAvi_OpenFile(PathFor("missing.avi")));
    ExpectClosed(reader);
    EXPECT_EQ(FilesInWorkFolder(), 0);
}

}  // namespace
}  // namespace composer
