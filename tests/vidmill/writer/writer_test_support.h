// Helpers for the writer tests: scratch files, generated frames, and what the reference command
// line tools read from the files we write.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "cbplatform/bitmap.h"
#include "command_runner.h"

namespace vidmill::writer::testing {

// A fresh path in the test scratch folder (the folder is created; the file is not).
std::string ScratchPath(const std::string& name);

using cb::testing::Quoted;
using cb::testing::RunCommand;
using cb::testing::RunCommandBytes;

// Frame `index` of a deterministic moving test pattern.
void PaintPattern(cb::Bitmap& frame, int index);
// The same pattern as top-down BGR24 rows without padding (what ffmpeg's bgr24 output holds).
std::vector<std::uint8_t> PatternBgr24(int width, int height, int bitsPerPixel, int index);
// The bitmap's pixels as top-down BGR24 rows without padding.
std::vector<std::uint8_t> ToBgr24(const cb::Bitmap& frame);

struct VideoFacts {
    std::string codecName;
    int width = 0;
    int height = 0;
    std::string frameRate;  // as ffprobe prints it, e.g. "25/1"
    int packets = 0;
};
VideoFacts ProbeVideo(const std::string& path);
// Scale and rate of the first video stream header, read from the file's bytes.
std::pair<std::uint32_t, std::uint32_t> VideoScaleAndRate(const std::string& path);
// Key-frame flags of the video packets, in file order.
std::vector<bool> KeyFrameFlags(const std::string& path);
// All video frames decoded by ffmpeg as top-down BGR24.
std::vector<std::uint8_t> DecodeBgr24(const std::string& path);

struct SoundFacts {
    std::string codecName;
    int sampleRate = 0;
    int channels = 0;
    std::int64_t sampleFrames = 0;  // decoded length
};
SoundFacts ProbeSound(const std::string& path);
// True when the sound comes in several packets, all of them after the last video packet.
bool SoundAfterVideo(const std::string& path);

// Generates a sound file with ffmpeg: a sine tone of the given length in the given codec.
std::string MakeToneFile(const std::string& name, double seconds, int sampleRate, int channels,
                         const std::string& codec);

}  // namespace vidmill::writer::testing
