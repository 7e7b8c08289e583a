#pragma once
// The notice that compressed sound cannot be turned into plain WAV because the sound component is
// missing. It is shown at most once per program run; the WAV reader and the AVI reader wrapper's
// sound-track extraction share the flag that records it.
namespace composer {

// True once the notice has been shown in this run.
extern bool CompressedAudioNoticeShown;

// Shows the notice (OK button, the program's title) without looking at or setting the flag.
void ShowCompressedAudioNotice();

// Shows the notice unless it was shown already, then sets the flag.
void ShowCompressedAudioNoticeOnce();

}  // namespace composer
