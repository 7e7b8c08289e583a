#pragma once
// The program's command line: options, or the project file to open.
#include <string>
#include <vector>

namespace composer::app {

enum class Command {
    Start,    // the program: start-up, open the project if one is named, the windows when present
    Help,     // --help
    Version,  // --version
    Info,     // --info PROJECT.CbMov: the loaded movie as JSON
    Invalid,  // an unknown option; `error` says which
};

struct CommandLine {
    Command command = Command::Start;
    std::string projectText;  // everything that is not an option, joined by spaces, as given
    std::string error;
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text that --help prints.
std::string UsageText();

}  // namespace composer::app
