// The log of the media libraries behind the platform layer and the library. A program that reports
// problems in its own words switches it off, so that codec chatter never reaches its users.
#pragma once

#include "cbplatform/com_types.h"

namespace cb {

// From now on the media libraries print nothing but fatal errors, for the whole process.
CB_PLATFORM_API void QuietMediaLog();

}  // namespace cb
