#pragma once
// cinebrix-composer --render: the movie of a project written without a window.
#include "app/command_line.h"
#include "document/session.h"

namespace composer::app {

// Runs the program's start-up steps, loads the project as an open does (sources relocated and
// refreshed through the program's readers, warnings on standard error), writes the movie with Save
// Movie, or Save Part Movie for --part, and runs the exit steps. A --compressor code is used for
// this run only; the "Compressor" setting keeps its value. Returns the exit status: 0 when the
// movie was written from every source, 3 when it was written with sources missing or unreadable
// (listed on standard error), 1 when it was not written, 2 for a --compressor that is not listed
// as able to write.
int RunRenderCommand(Session& session, const CommandLine& line);

}  // namespace composer::app
