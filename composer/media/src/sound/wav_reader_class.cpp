#include "media/sound/wav_reader_class.h"

#include "base/failure.h"
#include "base/files.h"
#include "base/folders.h"
#include "cbplatform/sound.h"
#include "media/sound/compressed_audio_notice.h"
#include "media/sound/wav_oper_mod.h"

namespace composer {

void WavReaderClass::TakeFormat(int32_t bits, int32_t channels, int32_t rate, int32_t frames) {
    Bits = bits;
    Channels = channels;
    SampleRate = rate;
    Frames = frames;
    Duration = rate > 0 ? static_cast<float>(frames) / static_cast<float>(rate) : 0.0f;
}

// The sound component decodes the file into a new PCM WAV file in the work folder.
std::string WavReaderClass::DecodeToTempWav(const std::string& fileName) {
    if (!cb::sound::SoundAvailable()) {
        ShowCompressedAudioNoticeOnce(Notices);
        return "its sound is compressed and the sound component is not available";
    }
    std::string reason;
    std::string damage;
    const auto decoded = cb::sound::SoundBuffer::Decode(fileName, &reason, &damage);
    if (!decoded || decoded->frameCount() == 0)
        return decoded ? "it holds no sound" : "it does not decode as sound (" + reason + ")";
    const std::string tempFile = NewTempFileName("wav");
    WavFormatRec format;
    if (!decoded->SaveWav(tempFile, nullptr) || !ReadWavHeader(tempFile, format)) {
        DeleteFileChecked(tempFile);
        return "its decoded sound could not be saved in the work folder";
    }
    DecodedFile = tempFile;
    if (Damage.empty()) Damage = damage;
    TakeFormat(format.BitsPerSample, format.Channels, format.SampleRate, format.Frames);
    return "";
}

bool WavReaderClass::ReadWav_OpenFile(const std::string& fileName) {
    try {
        OpenFile(fileName);
        return true;
    } catch (const Failure&) {
        return false;
    }
}

void WavReaderClass::OpenFile(const std::string& fileName) {
    ReadWav_CloseFile();
    if (!FileExists(fileName)) throw Failure("the file is missing or not a regular file");
    const WavHeaderCheck check = CheckWavHeader(fileName);
    if (!check.wrongBlock.empty()) throw Failure(check.wrongBlock);
    Damage = check.cutShort;
    WavFormatRec format;
    if (ReadWavHeader(fileName, format)) {
        TakeFormat(format.BitsPerSample, format.Channels, format.SampleRate, format.Frames);
    } else if (const std::string undecoded = DecodeToTempWav(fileName); !undecoded.empty()) {
        Damage.clear();
        throw Failure(undecoded);
    }
    FileName = fileName;
    Opened = true;
}

std::string WavReaderClass::ReadWav_GetWavFile() {
    if (!Opened) return "";
    if (!DecodedFile.empty()) {
        // Handed over: the reader no longer deletes it, but still names it if asked again.
        handedOverFile_.swap(DecodedFile);
        DecodedFile.clear();
    }
    return handedOverFile_.empty() ? FileName : handedOverFile_;
}

void WavReaderClass::ReadWav_CloseFile() {
    if (!DecodedFile.empty()) DeleteFileChecked(DecodedFile);
    Opened = false;
    FileName.clear();
    DecodedFile.clear();
    handedOverFile_.clear();
    Damage.clear();
    TakeFormat(0, 0, 0, 0);
}

}  // namespace composer
