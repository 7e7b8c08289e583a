#pragma once
// WavReaderClass: opens the sound file of a clip. A PCM WAV file is used as it is; any other sound
// file (compressed WAV, MP3 ...) is decoded by the sound component into a temporary PCM WAV file in
// the work folder, which the reader deletes unless the caller takes it over with ReadWav_GetWavFile.
#include <cstdint>
#include <string>

#include "base/app_state.h"

namespace composer {

class WavReaderClass {
  public:
    WavReaderClass() = default;
    ~WavReaderClass() { ReadWav_CloseFile(); }
    WavReaderClass(const WavReaderClass&) = delete;
    WavReaderClass& operator=(const WavReaderClass&) = delete;

    // Closes what was open, then reads the file's format (decoding it first when it is not PCM WAV).
    // False for a missing file, a WAV header that does not fit its samples, or one that neither
    // reads nor decodes; when the sound component is
    // unavailable the compressed-audio notice is shown once per run. OpenFile says why.
    bool ReadWav_OpenFile(const std::string& fileName);
    // ReadWav_OpenFile that says why: throws Failure with the reason alone ("the file is missing or
    // not a regular file", the header's wrong block size, "it does not decode as sound (...)" ...).
    void OpenFile(const std::string& fileName);
    // The PCM WAV file that carries the sound: the decoded file when there is one (the caller owns it
    // from now on and the reader will not delete it), else the given file; "" when nothing is open.
    std::string ReadWav_GetWavFile();
    // Deletes a decoded file the reader still owns and forgets everything.
    void ReadWav_CloseFile();

    bool Opened = false;
    std::string FileName;
    std::string DecodedFile;  // temporary PCM WAV made from a compressed file; "" when none
    int32_t Bits = 0;
    int32_t Channels = 0;
    int32_t SampleRate = 0;
    int32_t Frames = 0;
    float Duration = 0;  // seconds
    // What the open file's reading found damaged although it opened: a header that gives more
    // sound than the file holds, a decoder or demuxer that reported damage, a decoded sound well
    // shorter than its container states. "" when whole. A header whose block size does not fit its
    // samples is not damage but a failure: its sound would be noise.
    std::string Damage;
    // Where the compressed-audio notice is remembered as shown (the session's); none: it is shown
    // every time it applies.
    NoticeFlags* Notices = nullptr;

  private:
    // Decodes the file into a PCM WAV file in the work folder; why it could not, "" when it did.
    std::string DecodeToTempWav(const std::string& fileName);
    void TakeFormat(int32_t bits, int32_t channels, int32_t rate, int32_t frames);
    std::string handedOverFile_;  // the decoded file after the caller took it over
};

}  // namespace composer
