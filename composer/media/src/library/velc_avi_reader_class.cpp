#include "media/library/velc_avi_reader_class.h"

#include <cerrno>
#include <exception>

#include "base/disk_full.h"
#include "base/failure.h"
#include "base/files.h"
#include "base/folders.h"
#include "base/interaction.h"
#include "cbplatform/bstr.h"
#include "cbplatform/file_checks.h"
#include "media/library/library_call.h"
#include "media/pixels/picture_operation.h"
#include "media/sound/compressed_audio_notice.h"
#include "media/sound/dx8_frm.h"
#include "media/sound/dx8_play_class.h"
#include "media/sound/wav_oper_mod.h"

namespace composer {

using vidmill::IAviFrame;
using vidmill::IAviFrames;
using vidmill::IAviReader;

PixelBuffer& AviReaderPixels() {
    static PixelBuffer pixels;
    return pixels;
}

VelcAviReaderClass::~VelcAviReaderClass() { ReadAVI_CloseFile(); }

void VelcAviReaderClass::ResetWavFields() {
    WavBitsPerSample = 0;
    WavChannels = 0;
    WavSampleRate = 0;
    WavSampleCount = 0;
    WavDuration = 0;
}

void VelcAviReaderClass::ResetFields() {
    FileName.clear();
    Width = 0;
    Height = 0;
    FramesPerSecond = 0;
    FrameCount = 0;
    ResetWavFields();
}

bool VelcAviReaderClass::ReadAvi_OpenFile(const std::string& fileName) {
    try {
        OpenFile(fileName);
        return true;
    } catch (const Failure&) {
        // The caller of this form asks whether, not why: OpenFile is the one that says.
        return false;
    }
}

void VelcAviReaderClass::OpenFile(const std::string& fileName) {
    ResetFields();
    std::string reason = "The AVI library did not open the file.";
    try {
        reader_ = CreateLibraryObject<IAviReader>(vidmill::CLSID_AviReader);
        readerExists_ = true;
        // A pipe or a device would block the reader or never end: only regular files are sources.
        if (!FileExists(fileName)) throw Failure("the file is missing or not a regular file");
        const cb::Bstr name(fileName);
        CheckLibraryCall(reader_->Open(name.get()));
        VARIANT_BOOL open = VARIANT_FALSE;
        CheckLibraryCall(reader_->get_IsOpen(&open));
        if (open) {
            LONG width = 0, height = 0, count = 0;
            double rate = 0;
            CheckLibraryCall(reader_->get_Width(&width));
            CheckLibraryCall(reader_->get_Height(&height));
            CheckLibraryCall(reader_->get_FramesPerSecond(&rate));
            cb::ComPtr<IAviFrames> frames;
            CheckLibraryCall(reader_->get_Frames(frames.put()));
            CheckLibraryCall(frames->get_Count(&count));
            FileName = fileName;
            Width = width;
            Height = height;
            FramesPerSecond = rate;
            FrameCount = count;
            IsOpen = true;
            return;
        }
    } catch (...) {
        // Not installed, not registered, or the file refused: the wrapper ends up closed and says why.
        reason = CurrentFailureText();
    }
    ReadAVI_CloseFile();
    throw Failure(fileName, reason);
}

void VelcAviReaderClass::ReadAVI_CloseFile() {
    ResetFields();
    IsOpen = false;
    if (!WavTempFile.empty()) {
        DeleteFileChecked(WavTempFile);
        WavTempFile.clear();
    }
    HasWav = false;
    ReleaseLibraryReader();
}

void VelcAviReaderClass::ReleaseLibraryReader() {
    if (readerExists_) {
        // Released whatever Close answers, so that a failing close cannot keep the file open.
        if (reader_) reader_->Close();
        reader_.reset();
        readerExists_ = false;
    }
}

cb::ComPtr<IAviFrame> VelcAviReaderClass::Frame(int32_t frameNumber) {
    cb::ComPtr<IAviFrames> frames;
    CheckLibraryCall(reader_->get_Frames(frames.put()));
    cb::ComPtr<IAviFrame> frame;
    CheckLibraryCall(frames->get_Item(frameNumber - 1, frame.put()));
    return frame;
}

bool VelcAviReaderClass::ReadAvi_GetOneFrameAsPicture(int32_t frameNumber, cb::ComPtr<IPicture>& picture) {
    if (!IsOpen || !reader_) return false;
    cb::ComPtr<IPicture> fetched;
    CheckLibraryCall(Frame(frameNumber)->Picture(fetched.put()));
    picture = std::move(fetched);
    return true;
}

bool VelcAviReaderClass::ReadAvi_GetOneFrameAsPixels(int32_t frameNumber) {
    cb::ComPtr<IPicture> picture;
    if (!ReadAvi_GetOneFrameAsPicture(frameNumber, picture)) return false;
    return PictureToPixels(picture.get(), Width, Height, AviReaderPixels());
}

bool VelcAviReaderClass::TakeWavDescription(const std::string& wavFile) {
    WavFormatRec format;
    if (!ReadWavHeader(wavFile, format)) return false;
    WavBitsPerSample = format.BitsPerSample;
    WavChannels = format.Channels;
    WavSampleRate = format.SampleRate;
    WavSampleCount = format.Frames;
    if (WavSampleRate > 0)
        WavDuration = static_cast<float>(static_cast<double>(WavSampleCount) / WavSampleRate);
    HasWav = true;
    return true;
}

// The library copied a sound track the program's WAV reader does not take (compressed): the sound
// layer decodes it into a new PCM WAV file, which replaces the copy.
bool VelcAviReaderClass::DecodeWithSoundLayer(const std::string& libraryCopy) {
    Dx8PlayClass sound;
    if (!sound.DxAvailable) {
        if (Notices == nullptr || !Notices->compressedAudioShown) {
            ShowCompressedAudioNotice();
            ShowDx8Frm();
            if (Notices != nullptr) Notices->compressedAudioShown = true;
        }
        return false;
    }
    bool decoded = false;
    if (sound.LoadWaveFile(libraryCopy)) {
        DeleteFileChecked(libraryCopy);
        WavTempFile.clear();
        const std::string pcmFile = NewTempFileName("wav");
        if (sound.SaveWaveFile(pcmFile) && TakeWavDescription(pcmFile)) {
            WavTempFile = pcmFile;
            decoded = true;
        } else {
            DeleteFileChecked(pcmFile);  // a half-written file would otherwise be nobody's
        }
    }
    sound.Cleanup();
    return decoded;
}

bool VelcAviReaderClass::ExtractWavFile() {
    if (!IsOpen || !reader_) return false;
    if (!WavTempFile.empty()) DeleteFileChecked(WavTempFile);
    HasWav = false;
    WavTempFile.clear();
    ResetWavFields();
    const WaitCursor hourglass;
    std::string copy;
    try {
        copy = NewTempFileName("wav");
        const cb::Bstr name(copy);
        CheckLibraryCall(reader_->ExtractWav(name.get()));
        if (FileExists(copy)) {
            WavTempFile = copy;
            if (TakeWavDescription(copy)) return true;
        }
        return DecodeWithSoundLayer(copy);
    } catch (...) {
        // A sound track the library could not copy (or none at all): no WAV copy, and nothing of
        // a half-written one left behind. A full work folder is no missing sound: it fails the
        // work that needs the sound.
        const bool full = !copy.empty() && cb::FailedForWantOfRoom(CurrentFailureText(), cb::FolderOf(copy));
        if (!copy.empty() && copy != WavTempFile) DeleteFileChecked(copy);
        if (full) throw DiskFullError(cb::FolderOf(copy), ENOSPC);
        return false;
    }
}

std::string VelcAviReaderClass::GetWavFile() {
    if (!HasWav) return "";
    std::string handedOver;
    handedOver.swap(WavTempFile);
    return handedOver;
}

}  // namespace composer
