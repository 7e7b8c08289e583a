#include "media/compressed_audio_notice.h"

#include "base/interaction.h"

namespace composer {

bool CompressedAudioNoticeShown = false;

void ShowCompressedAudioNotice() {
    MsgBox(
        "Compressed Audio data could not be extracted from this file.\r\n"
        "If you install DirectX8 we can try to extact audio data from this file.");
}

void ShowCompressedAudioNoticeOnce() {
    if (CompressedAudioNoticeShown) return;
    ShowCompressedAudioNotice();
    CompressedAudioNoticeShown = true;
}

}  // namespace composer
