#pragma once
// The probe through which the document reads facts about clip sources, backed by the program's own
// readers: the clip source for videos and pictures, the AVI reader wrapper and the sound layer for the
// sound tracks of videos,
// the WAV header reader for sounds, and the sound mix's decoding for the sample buffers.
#include "base/app_state.h"
#include "document/source_probe.h"

namespace composer {

class MediaSourceProbe : public SourceProbe {
  public:
    // The readers remember the once-per-run notices in `notices` (the session's); none: each notice
    // is shown every time it applies.
    explicit MediaSourceProbe(NoticeFlags* notices = nullptr) : notices_(notices) {}

    Outcome<VideoFacts> ProbeVideo(const std::string& path) override;
    Outcome<PictureFacts> ProbePicture(const std::string& path) override;
    Outcome<AudioFacts> ProbeAudio(const std::string& path) override;
    // The sound track is copied to a WAV file in the work folder, which the caller then owns.
    Outcome<AudioFacts> ProbeVideoSound(const std::string& path) override;
    void DecodeClipAudio(MovieDbRec& movie, int32_t clipIndex) override;

  private:
    NoticeFlags* notices_;
    // Runs one probe: its facts, or the reason it failed.
    template <typename Facts, typename Read>
    Outcome<Facts> Probe(Read&& read);
};

}  // namespace composer
