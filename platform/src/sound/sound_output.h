// The machine's sound output, made by the default factory of the player.
#pragma once

#include <memory>

#include "cbplatform/sound.h"

namespace cb::sound {

// Qt Multimedia's audio output when the platform was built with it and a sound device exists; an
// output that plays nothing (Start returns false) otherwise.
std::unique_ptr<SoundOutput> MakeMachineOutput();

}  // namespace cb::sound
