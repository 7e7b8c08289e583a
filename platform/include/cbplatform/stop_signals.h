// Stopping long work on SIGINT, SIGTERM, SIGHUP and SIGPIPE without leaving half-written files
// behind.
//
// A program that installs the handlers asks StopSignal() between units of its work (a frame of a
// movie), ends the work when it is set, removes what it had only begun to write, and exits with
// 128 + the signal. The handlers only record the signal: nothing is torn down inside them. The
// AVI library's writer asks too, so one of its long calls (a whole AVI file or a set of images
// added) ends at the next frame with the silent abort error.
#pragma once

#include "cbplatform/com_types.h"

namespace cb {

// Records SIGINT, SIGTERM, SIGHUP and SIGPIPE from now on, for the whole process.
CB_PLATFORM_API void InstallStopSignals();

// 0 while no stop was asked for; else the signal that asked.
CB_PLATFORM_API int StopSignal();

// Forgets a recorded stop (for a test that asks for one).
CB_PLATFORM_API void ClearStopSignal();

}  // namespace cb
