// The DirectX notice: a clip's sound needs the sound layer, which is not available.
#pragma once

namespace composer {

// The notice that DirectX 8 is needed, shown modally through the interaction seam.
void ShowDx8Frm();

}  // namespace composer
