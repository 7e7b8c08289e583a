// The tool's commands; each returns the exit status or throws CommandFailed.
#pragma once

#include "tool_support.h"

namespace vidmill::tool {

int RunCompressors(const Arguments& arguments);
int RunInfo(const Arguments& arguments);
int RunSaveFrames(const Arguments& arguments);
int RunExtractWav(const Arguments& arguments);
int RunMake(const Arguments& arguments);

}  // namespace vidmill::tool
