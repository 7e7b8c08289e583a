#pragma once
// Opening the project named on the program's command line.
#include <string>

#include "document/session.h"

namespace composer {

// Ignores an empty text. Otherwise trims it, takes what lies between a leading and a trailing double
// quote (trimmed again), and when the path ends in ".cbmov" (any case) and names an existing file,
// loads it with OpenSaveClass; a successful load replaces the session's movie, records the path as
// ProjectPath and asks for a redraw of the tracks and the current-clip panel. Any other text is ignored
// silently. Returns whether a project was opened.
bool OpenProjectFromCommandLine(Session& session, const std::string& text);

// The path a command-line text names (trimmed, quotes removed), or "" when it is not a project path.
std::string ProjectPathFromCommandLine(const std::string& text);

}  // namespace composer
