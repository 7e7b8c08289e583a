// Helpers for the image encoding tests: scratch files, generated bitmaps, and what the reference
// command-line tools read from the files we write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cbplatform/bitmap.h"

namespace vidmill::imaging::testing {

// A fresh path in this test process's scratch folder (the folder is created; the file is not).
std::string ScratchPath(const std::string& name);

// Runs a shell command and returns its standard output (standard error is dropped).
std::string RunCommand(const std::string& command);

// A deterministic pattern of many colours, in a bitmap of 24 or 32 bits.
cb::Bitmap PatternBitmap(int width, int height, int bitsPerPixel);
// A bitmap of at most `colours` distinct colours (<= 256): 8-bit with a palette, or 24/32-bit.
cb::Bitmap FewColoursBitmap(int width, int height, int bitsPerPixel, int colours);
// The bitmap's pixels as top-down BGR24 rows without padding.
std::vector<std::uint8_t> ToBgr24(const cb::Bitmap& image);

struct ImageFacts {
    std::string codecName;  // as ffprobe names the decoder: "bmp", "png", "mjpeg", ...
    std::string pixelFormat;
    int width = 0;
    int height = 0;
};
ImageFacts ProbeImage(const std::string& path);
// The image decoded by ffmpeg as top-down BGR24 rows.
std::vector<std::uint8_t> DecodeBgr24(const std::string& path);

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

}  // namespace vidmill::imaging::testing
