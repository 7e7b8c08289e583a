#pragma once
// Dx8PlayClass: the program's sound player and converter on the platform's sound layer. It loads a
// sound file of any kind the layer decodes (PCM or compressed WAV, MP3 ...), plays and stops it, and
// saves it as a PCM WAV file; the WAV reader and the AVI reader wrapper use the load-and-save pair
// to turn compressed sound into plain WAV, the clip window uses it to play a clip's sound.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/app_state.h"
#include "document/own_sound.h"

namespace cb::sound {
class SoundBuffer;
class SoundPlayer;
}  // namespace cb::sound

namespace composer {

class Dx8PlayClass {
  public:
    // DxAvailable tells whether the sound component can be used (it can, unless switched off).
    Dx8PlayClass();
    ~Dx8PlayClass();
    Dx8PlayClass(const Dx8PlayClass&) = delete;
    Dx8PlayClass& operator=(const Dx8PlayClass&) = delete;

    bool DxAvailable = false;
    std::string FileName;           // the file loaded last
    std::optional<SoundSpan> Span;  // the stretch of it loaded last; none: the whole sound
    // Where the "no sound device" notice is remembered as shown (the session's); none: it is shown
    // every time nothing can play.
    NoticeFlags* Notices = nullptr;

    // Stops and drops what was loaded, then decodes the file, only the stretch `span` of its sound
    // when one is given (a video's own sound is heard with the video's used pictures only; a stretch
    // past the end of the sound is cut there). False for a missing file, one that does not decode,
    // a stretch that cannot be set apart, or when the component is unavailable.
    bool LoadWaveFile(const std::string& fileName, const std::optional<SoundSpan>& span = std::nullopt);
    // Plays the loaded sound once from where it stopped (from the start after it ended). On a machine
    // without a sound device nothing plays, and the first time in the run (Notices) the notice for the
    // window to show is given: "No sound output device was found on this computer: the sound cannot
    // be played."; nothing otherwise.
    [[nodiscard]] std::optional<std::string> PlayWav();
    // Stops playing; the position stays where it is.
    void StopPlay();
    // Writes the loaded sound as a PCM WAV file. False when nothing is loaded or writing fails.
    bool SaveWaveFile(const std::string& fileName);
    // Stops and releases the loaded sound.
    void Cleanup();

    // The description of the loaded sound.
    int32_t WavBitsPerSample() const { return wavBitsPerSample_; }
    int32_t WavSampleRate() const { return wavSampleRate_; }
    int32_t WavChannels() const { return wavChannels_; }
    int32_t WavSampleCount() const { return wavSampleCount_; }  // samples of all channels

  private:
    std::shared_ptr<const cb::sound::SoundBuffer> buffer_;
    std::unique_ptr<cb::sound::SoundPlayer> player_;
    int32_t wavBitsPerSample_ = 0;
    int32_t wavSampleRate_ = 0;
    int32_t wavChannels_ = 0;
    int32_t wavSampleCount_ = 0;
};

}  // namespace composer
