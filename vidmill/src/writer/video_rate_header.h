// The muxer writes a stream's rate as the smallest fraction (25 / 1); the file keeps the rate
// over a scale of 1000 (25000 / 1000) that CreateNew asked for, as other writers of the format do.
#pragma once

#include <string>

namespace vidmill::writer {

// Sets scale and rate in the header of the first video stream of a finished AVI file. The two
// give the same frame rate, so lengths and timestamps stay as they are. False when the file
// cannot be read or written or holds no video stream header.
bool WriteVideoRate(const std::string& path, int scale, int rate);

}  // namespace vidmill::writer
