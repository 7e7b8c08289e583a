// vidmill info, save-frames and extract-wav: an AviReader from the command line. Each command
// returns the exit status or throws CommandFailed.
#pragma once

#include "tool_support.h"

namespace vidmill::tool {

int RunInfo(const Arguments& arguments);
int RunSaveFrames(const Arguments& arguments);
int RunExtractWav(const Arguments& arguments);

}  // namespace vidmill::tool
