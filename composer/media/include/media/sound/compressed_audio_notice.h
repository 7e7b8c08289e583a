#pragma once
// The notice that compressed sound cannot be turned into plain WAV because the sound component is
// missing. It is shown at most once per program run; the WAV reader and the AVI reader wrapper's
// sound-track extraction share the session's flag that records it.
#include "base/app_state.h"

namespace composer {

// Shows the notice (OK button, the program's title) without looking at or setting the flag.
void ShowCompressedAudioNotice();

// Shows the notice unless the flags say it was shown already, then records it there. Without flags
// the notice is shown.
void ShowCompressedAudioNoticeOnce(NoticeFlags* notices);

}  // namespace composer
