#pragma once
// A source probe for tests: answers from tables keyed by path, and records the sounds it decoded.
#include <map>
#include <vector>

#include "document/source_probe.h"

namespace composer::testing {

class FakeProbe : public SourceProbe {
  public:
    std::map<std::string, VideoFacts> videos;
    std::map<std::string, PictureFacts> pictures;
    std::map<std::string, AudioFacts> sounds;       // WAV files
    std::map<std::string, AudioFacts> videoSounds;  // sound tracks of AVI files
    std::vector<int32_t> decoded;                   // clip indices given to DecodeClipAudio

    Outcome<VideoFacts> ProbeVideo(const std::string& path) override { return Find(videos, path); }
    Outcome<PictureFacts> ProbePicture(const std::string& path) override { return Find(pictures, path); }
    Outcome<AudioFacts> ProbeAudio(const std::string& path) override { return Find(sounds, path); }
    Outcome<AudioFacts> ProbeVideoSound(const std::string& path) override { return Find(videoSounds, path); }
    void DecodeClipAudio(MovieDbRec& movie, int32_t clipIndex) override {
        decoded.push_back(clipIndex);
        movie.Clips[clipIndex].CacheLeftFile = "decoded";
    }

  private:
    // A path the tables do not hold is refused with no reason, as by a probe that cannot say.
    template <typename T>
    static Outcome<T> Find(const std::map<std::string, T>& table, const std::string& path) {
        const auto found = table.find(path);
        return found == table.end() ? Outcome<T>::Refused("") : Outcome<T>(found->second);
    }
};

}  // namespace composer::testing
