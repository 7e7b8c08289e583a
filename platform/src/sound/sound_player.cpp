// The player: one decoded sound, a play position, and an output made by the current factory.
#include <mutex>

#include "cbplatform/sound.h"
#include "sound_output.h"

namespace cb::sound {
namespace {

std::mutex factoryLock;
SoundOutputFactory& CurrentFactory() {
    static SoundOutputFactory factory;
    return factory;
}

std::unique_ptr<SoundOutput> MakeOutput() {
    std::lock_guard lock(factoryLock);
    return CurrentFactory() ? CurrentFactory()() : MakeMachineOutput();
}

}  // namespace

SoundOutputFactory SetSoundOutputFactory(SoundOutputFactory factory) {
    std::lock_guard lock(factoryLock);
    std::swap(CurrentFactory(), factory);
    return factory;
}

SoundPlayer::SoundPlayer(std::shared_ptr<const SoundBuffer> buffer)
    : cursor_(std::make_shared<PcmCursor>(std::move(buffer))), output_(MakeOutput()) {}

SoundPlayer::~SoundPlayer() { Stop(); }

PlayResult SoundPlayer::Play() {
    if (!output_ || !SoundAvailable()) return PlayResult::NoDevice;
    // Stopping first leaves the cursor at what was heard, so a second Play resumes there.
    output_->Stop();
    if (cursor_->AtEnd()) cursor_->Seek(0);
    return output_->Start(cursor_) ? PlayResult::Playing : PlayResult::NoDevice;
}

void SoundPlayer::Stop() {
    if (output_) output_->Stop();
}

}  // namespace cb::sound
