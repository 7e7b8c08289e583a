// Helpers for the reader tests: scratch files, AVI fixtures made by the ffmpeg command line, and
// what ffprobe and ffmpeg themselves read from them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cbplatform/bitmap.h"
#include "command_runner.h"

namespace vidmill::reader::testing {

// A fresh path in this test process's scratch folder (the folder is created; the file is not).
std::string ScratchPath(const std::string& name);

using cb::testing::Quoted;
using cb::testing::RunCommand;
using cb::testing::RunCommandBytes;

// Writes an AVI file with ffmpeg from a moving test pattern (and a tone when soundArguments is not
// empty): `frames` frames of width x height at `rate` frames per second. videoArguments and
// soundArguments are ffmpeg output options (codec and its settings). Returns the path.
std::string MakeAvi(const std::string& name, int width, int height, int frames, const std::string& rate,
                    const std::string& videoArguments, const std::string& soundArguments = "");

// One ffprobe field of the first stream of the given kind ("v:0", "a:0"), e.g. "nb_frames".
std::string ProbeField(const std::string& path, const std::string& stream, const std::string& field);

// Every frame of the first video stream as ffmpeg decodes it: top-down BGRA rows, no padding.
std::vector<std::vector<std::uint8_t>> DecodeBgra(const std::string& path, int width, int height);

// The bitmap's pixels as top-down BGRA rows without padding.
std::vector<std::uint8_t> TopDownBgra(const cb::Bitmap& frame);

// The largest difference of a blue, green or red byte between two frames of the same size
// (the fourth byte is not compared); 256 when the sizes differ.
int LargestColourDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);

// The bytes of a file.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace vidmill::reader::testing
