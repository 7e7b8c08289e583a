// The DirectX notice: its caption and message, shown modally through the interaction seam.
#include "media/sound/dx8_frm.h"

#include "base/interaction.h"

namespace composer {

void ShowDx8Frm() {
    MsgBox("You need to install DirectX8 or higher to play audio.", MsgButtons::OK, " Need DirectX 8");
}

}  // namespace composer
