#pragma once
// How the document reads facts about clip source files: the size, rate and length of a video, the
// size of a picture, the sound of a WAV file or of a video's sound track. Adding a clip and the
// refresh of a loaded project ask through this seam, so that the document does not depend on the
// media readers; the program installs a probe backed by its readers, tests install a fake one.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/outcome.h"
#include "document/movie_records.h"

namespace composer {

struct VideoFacts {
    int32_t width = 0;
    int32_t height = 0;
    double fps = 0.0;  // for pictures at uneven intervals their average rate: frameCount over their time
    int32_t frameCount = 0;
    std::shared_ptr<const PictureTimes> times;  // pictures at uneven intervals: their times; else null
};

struct PictureFacts {
    int32_t width = 0;
    int32_t height = 0;
};

struct AudioFacts {
    std::string audioFile;  // the PCM WAV file that carries the sound (extracted for a video)
    int32_t bits = 0;
    int32_t channels = 0;
    int32_t rate = 0;
    int32_t frames = 0;
    double duration = 0.0;  // seconds
    std::string damage;     // what reading the sound found damaged although it read; "" when whole
};

// Each probe gives its facts, or is refused with the reason the file cannot be read ("frame 1 does
// not decode"); the reason is "" when the probe cannot say, as a probe without readers never does.
class SourceProbe {
  public:
    virtual ~SourceProbe() = default;
    // A video file's frame size, rate and frame count.
    virtual Outcome<VideoFacts> ProbeVideo(const std::string& path) = 0;
    // A picture file's size.
    virtual Outcome<PictureFacts> ProbePicture(const std::string& path) = 0;
    // A sound file's format: a WAV file's own, another sound decoded into a WAV file first.
    virtual Outcome<AudioFacts> ProbeAudio(const std::string& path) = 0;
    // The sound track of a video file, extracted to a WAV file; refused when it has none or cannot be read.
    virtual Outcome<AudioFacts> ProbeVideoSound(const std::string& path) = 0;
    // Decodes clip `clipIndex`'s sound into the sample buffers named in its cache fields.
    virtual void DecodeClipAudio(MovieDbRec& movie, int32_t clipIndex) = 0;
};

// The probe of a program without media readers: every source reads as unreadable, so no clip can be
// added and a loaded project keeps its stored values (the refresh is skipped, without warnings).
class NoSourceProbe : public SourceProbe {
  public:
    Outcome<VideoFacts> ProbeVideo(const std::string&) override { return Outcome<VideoFacts>::Refused(""); }
    Outcome<PictureFacts> ProbePicture(const std::string&) override {
        return Outcome<PictureFacts>::Refused("");
    }
    Outcome<AudioFacts> ProbeAudio(const std::string&) override { return Outcome<AudioFacts>::Refused(""); }
    Outcome<AudioFacts> ProbeVideoSound(const std::string&) override {
        return Outcome<AudioFacts>::Refused("");
    }
    void DecodeClipAudio(MovieDbRec&, int32_t) override {}
};

// The probe in use; a NoSourceProbe until something is installed.
SourceProbe& Sources();
// Installs a probe (not owned; it must outlive its use). nullptr returns to the NoSourceProbe.
void SetSourceProbe(SourceProbe* probe);

// Installs a probe for the lifetime of the object and restores the previous one after.
class ScopedSourceProbe {
  public:
    explicit ScopedSourceProbe(SourceProbe& probe);
    ~ScopedSourceProbe();
    ScopedSourceProbe(const ScopedSourceProbe&) = delete;
    ScopedSourceProbe& operator=(const ScopedSourceProbe&) = delete;

  private:
    SourceProbe* previous_;
};

}  // namespace composer
