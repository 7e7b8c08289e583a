// Sound fixtures for the tests of the sound layer and of the program's WAV and mixing code: files
// made by the ffmpeg command line at test time, and what ffprobe reads from the files we write.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cbplatform/sound.h"

namespace cb::sound::testing {

// A path in the test scratch folder ($CB_TEST_TMP/sound); an older file of that name is removed.
std::string ScratchPath(const std::string& name);

// The standard output of a shell command (standard error dropped).
std::string Capture(const std::string& command);

// True when this ffmpeg can encode with the named encoder (e.g. "libmp3lame").
bool FfmpegHasEncoder(const std::string& encoder);

// A sine tone made by ffmpeg: `seconds` long at `sampleRate` with `channels`, written with the given
// encoder into `name` (the extension picks the container). Empty when ffmpeg failed.
std::string MakeTone(const std::string& name, double seconds, int sampleRate, int channels,
                     const std::string& encoder);

// The first sound stream of a file as ffprobe sees it; sampleFrames is the decoded length.
struct ProbedSound {
    std::string codec;
    int channels = 0;
    int sampleRate = 0;
    std::int64_t sampleFrames = 0;
};
ProbedSound Probe(const std::string& path);

// A sound output for player tests: each start records the cursor's position in *starts and "hears"
// bytesHeard bytes at once; stopping leaves the cursor where the hearing ended.
class RecordingOutput final : public SoundOutput {
  public:
    RecordingOutput(std::vector<std::int64_t>* starts, std::size_t bytesHeard)
        : starts_(starts), bytesHeard_(bytesHeard) {}
    bool Start(std::shared_ptr<PcmCursor> cursor) override;
    void Stop() override {}

  private:
    std::vector<std::int64_t>* starts_;
    std::size_t bytesHeard_;
};

}  // namespace cb::sound::testing
