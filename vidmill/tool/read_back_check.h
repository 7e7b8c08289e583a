// The check a new AVI file passes before vidmill make gives it the output's name: it opens, and the
// frames that show the common faults decode (cb::ReadBackFrames).
#pragma once

#include <string>

#include "vidmill/vidmill.h"

namespace vidmill::tool {

// Throws CommandFailed when the file at `path` does not open through the library's reader or a
// checked frame does not decode: "the file written with the compressor CODE does not play back:
// REASON".
void CheckReadsBack(const std::string& path, LONG compressorHandler);

}  // namespace vidmill::tool
