#pragma once
// The probe through which the document reads facts about clip sources, backed by the program's own
// readers: the AVI reader wrapper for videos and their sound tracks, the image reader for pictures,
// the WAV header reader for sounds, and the sound mix's decoding for the sample buffers.
#include "base/app_state.h"
#include "document/source_probe.h"

namespace composer {

class MediaSourceProbe : public SourceProbe {
  public:
    // The readers remember the once-per-run notices in `notices` (the session's); none: each notice
    // is shown every time it applies.
    explicit MediaSourceProbe(NoticeFlags* notices = nullptr) : notices_(notices) {}

    std::optional<VideoFacts> ProbeVideo(const std::string& path) override;
    std::optional<PictureFacts> ProbePicture(const std::string& path) override;
    std::optional<AudioFacts> ProbeAudio(const std::string& path) override;
    // The sound track is copied to a WAV file in the work folder, which the caller then owns.
    std::optional<AudioFacts> ProbeVideoSound(const std::string& path) override;
    void DecodeClipAudio(MovieDbRec& movie, int32_t clipIndex) override;

  private:
    NoticeFlags* notices_;
};

}  // namespace composer
