// vidmill compressors: the video compressors the library offers, one line each.
#pragma once

#include "tool_support.h"

namespace vidmill::tool {

// Prints handler, name, description and writing=yes|no for each compressor; returns the exit
// status or throws CommandFailed.
int RunCompressors(const Arguments& arguments);

}  // namespace vidmill::tool
