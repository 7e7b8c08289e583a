#include "media/dx8_play_class.h"

#include <limits>

#include "base/files.h"
#include "base/interaction.h"
#include "cbplatform/sound.h"

namespace composer {

bool NoSoundDeviceNoticeShown = false;

Dx8PlayClass::Dx8PlayClass() : DxAvailable(cb::sound::SoundAvailable()) {}

Dx8PlayClass::~Dx8PlayClass() { Cleanup(); }

bool Dx8PlayClass::LoadWaveFile(const std::string& fileName) {
    Cleanup();
    if (!DxAvailable || !FileExists(fileName)) return false;
    std::shared_ptr<const cb::sound::SoundBuffer> decoded = cb::sound::SoundBuffer::Decode(fileName, nullptr);
    if (!decoded) return false;
    const cb::sound::PcmFormat& format = decoded->format();
    wavBitsPerSample_ = format.bitsPerSample;
    wavSampleRate_ = format.sampleRate;
    wavChannels_ = format.channels;
    const std::int64_t samples = decoded->byteCount() / (format.bitsPerSample / 8);
    wavSampleCount_ =
        static_cast<int32_t>(std::min<std::int64_t>(samples, std::numeric_limits<int32_t>::max()));
    buffer_ = std::move(decoded);
    player_ = std::make_unique<cb::sound::SoundPlayer>(buffer_);
    FileName = fileName;
    return true;
}

void Dx8PlayClass::PlayWav() {
    if (!player_ || player_->Play() == cb::sound::PlayResult::Playing || NoSoundDeviceNoticeShown) return;
    NoSoundDeviceNoticeShown = true;
    MsgBox("No sound output device was found on this computer: the sound cannot be played.");
}

void Dx8PlayClass::StopPlay() {
    if (player_) player_->Stop();
}

bool Dx8PlayClass::SaveWaveFile(const std::string& fileName) {
    return buffer_ && buffer_->SaveWav(fileName, nullptr);
}

void Dx8PlayClass::Cleanup() {
    player_.reset();  // stops playing
    buffer_.reset();
}

}  // namespace composer
