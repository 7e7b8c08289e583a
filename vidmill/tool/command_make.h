// vidmill make: a new AVI file from images, other AVI files and a sound track.
#pragma once

#include "tool_support.h"

namespace vidmill::tool {

// Writes the file from the sources in the order given; returns the exit status or throws
// CommandFailed.
int RunMake(const Arguments& arguments);

}  // namespace vidmill::tool
