#include "command_line.h"

namespace composer::app {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            line.command = Command::Help;
            return line;
        }
        if (argument == "--version") {
            line.command = Command::Version;
            return line;
        }
        if (argument == "--info") {
            line.command = Command::Info;
            continue;
        }
        if (argument.size() > 1 && argument.starts_with("--")) {
            line.command = Command::Invalid;
            line.error = "unknown option " + argument;
            return line;
        }
        if (!line.projectText.empty()) line.projectText += ' ';
        line.projectText += argument;
    }
    if (line.command == Command::Info && line.projectText.empty()) {
        line.command = Command::Invalid;
        line.error = "--info needs a project file";
    }
    return line;
}

std::string UsageText() {
    return "Usage: cinebrix-composer [PROJECT.CbMov]\n"
           "       cinebrix-composer --info PROJECT.CbMov\n"
           "       cinebrix-composer --help | --version\n"
           "\n"
           "Composes movies from AVI videos, pictures and WAV sounds.\n"
           "\n"
           "  PROJECT.CbMov   the project to open at start (a path in double quotes is accepted)\n"
           "  --info          print the project, loaded as an open loads it, as one JSON object;\n"
           "                  warnings go to standard error; exit status 1 when it cannot be loaded\n"
           "  --help          show this text\n"
           "  --version       show the program's version\n"
           "\n"
           "Settings: cinebrix-composer.ini beside the program when its folder is writable, else in\n"
           "$XDG_CONFIG_HOME/cinebrix-composer/; $CB_SETTINGS_DIR names another folder.\n"
           "Temporary files: a work folder cbvNNNNN in $TMPDIR (else /tmp), removed at exit.\n";
}

}  // namespace composer::app
