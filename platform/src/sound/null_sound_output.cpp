// Builds without Qt Multimedia have no sound output: every Start reports that there is no device.
#include "sound_output.h"

namespace cb::sound {
namespace {

class NullOutput final : public SoundOutput {
  public:
    bool Start(std::shared_ptr<PcmCursor>) override { return false; }
    void Stop() override {}
};

}  // namespace

std::unique_ptr<SoundOutput> MakeMachineOutput() { return std::make_unique<NullOutput>(); }

}  // namespace cb::sound
