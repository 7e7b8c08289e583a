#include "media/sound/compressed_audio_notice.h"

#include "base/interaction.h"

namespace composer {

void ShowCompressedAudioNotice() {
    MsgBox(
        "Compressed Audio data could not be extracted from this file.\r\n"
        "If you install DirectX8 we can try to extact audio data from this file.");
}

void ShowCompressedAudioNoticeOnce(NoticeFlags* notices) {
    if (notices != nullptr && notices->compressedAudioShown) return;
    ShowCompressedAudioNotice();
    if (notices != nullptr) notices->compressedAudioShown = true;
}

}  // namespace composer
