#include "media/sound/dx8_play_class.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

#include "base/files.h"
#include "base/rounding.h"
#include "cbplatform/anonymous_file.h"
#include "cbplatform/file_owner.h"
#include "cbplatform/sound.h"

namespace composer {

namespace {

constexpr std::size_t kCopyBytes = 1 << 16;

// Copies `bytes` bytes of `whole` from `offsetBytes` to the end of `file`.
bool CopySamples(const cb::sound::SoundBuffer& whole, int64_t offsetBytes, int64_t bytes, std::FILE* file) {
    std::vector<char> chunk(kCopyBytes);
    for (int64_t done = 0; done < bytes;) {
        const auto wanted = static_cast<std::size_t>(std::min<int64_t>(bytes - done, kCopyBytes));
        const std::size_t got = whole.Read(offsetBytes + done, chunk.data(), wanted);
        if (got != wanted || std::fwrite(chunk.data(), 1, got, file) != got) return false;
        done += static_cast<int64_t>(got);
    }
    return true;
}

// The stretch `span` of a decoded sound as a sound of its own: written as a PCM WAV file that has no
// name (it goes when the descriptor closes) and decoded again through the descriptor's path. Null
// when it cannot be written.
std::unique_ptr<cb::sound::SoundBuffer> StretchOf(const cb::sound::SoundBuffer& whole,
                                                  const SoundSpan& span) {
    const cb::sound::PcmFormat& format = whole.format();
    const int64_t block = format.BlockBytes();
    if (block <= 0) return nullptr;
    const int64_t frames = whole.frameCount();
    const int64_t mostFrames = (std::numeric_limits<uint32_t>::max() - cb::sound::kWavHeaderBytes) / block;
    const int64_t first = std::clamp<int64_t>(RoundToInt64(span.startSeconds * format.sampleRate), 0, frames);
    const int64_t count = std::clamp<int64_t>(RoundToInt64(span.lengthSeconds * format.sampleRate), 0,
                                              std::min(frames - first, mostFrames));
    const int descriptor = cb::OpenAnonymousTempFile();
    if (descriptor < 0) return nullptr;
    cb::FilePtr file(::fdopen(descriptor, "w+b"));
    if (!file) {
        ::close(descriptor);
        return nullptr;
    }
    const auto header = cb::sound::MakeWavHeader(format, static_cast<uint32_t>(count * block));
    if (std::fwrite(header.data(), 1, header.size(), file.get()) != header.size() ||
        !CopySamples(whole, first * block, count * block, file.get()) || std::fflush(file.get()) != 0)
        return nullptr;
    return cb::sound::SoundBuffer::Decode("/proc/self/fd/" + std::to_string(::fileno(file.get())), nullptr);
}

}  // namespace

Dx8PlayClass::Dx8PlayClass() : DxAvailable(cb::sound::SoundAvailable()) {}

Dx8PlayClass::~Dx8PlayClass() { Cleanup(); }

bool Dx8PlayClass::LoadWaveFile(const std::string& fileName, const std::optional<SoundSpan>& span) {
    Cleanup();
    if (!DxAvailable || !FileExists(fileName)) return false;
    std::shared_ptr<const cb::sound::SoundBuffer> decoded = cb::sound::SoundBuffer::Decode(fileName, nullptr);
    if (decoded && span) decoded = StretchOf(*decoded, *span);
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
    Span = span;
    return true;
}

std::optional<std::string> Dx8PlayClass::PlayWav() {
    if (!player_ || player_->Play() == cb::sound::PlayResult::Playing) return std::nullopt;
    if (Notices != nullptr && Notices->noSoundDeviceShown) return std::nullopt;
    if (Notices != nullptr) Notices->noSoundDeviceShown = true;
    return "No sound output device was found on this computer: the sound cannot be played.";
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
