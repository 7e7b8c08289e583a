#pragma once
// The program's command line: options, or the project file to open.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace composer::app {

enum class Command {
    Start,    // the program: start-up, open the project if one is named, the windows when present
    Help,     // --help
    Version,  // --version
    Info,     // --info PROJECT.CbMov: the loaded movie as JSON
    Render,   // --render PROJECT.CbMov OUT.avi [--part START END] [--compressor FOURCC] [--codec h264|vp9]
    Invalid,  // an unknown option; `error` says which
};

struct CommandLine {
    Command command = Command::Start;
    std::string projectText;  // everything that is not an option, joined by spaces, as given
    std::string error;
    // --render: the movie file to write, the time range of --part (texts as given, read as
    // durations), the compressor code of --compressor (empty: the "Compressor" setting), and the
    // video coding of a movie to share named by --codec ("h264", "vp9"; empty: the setting's).
    std::string outputPath;
    bool part = false;
    std::string partStart;
    std::string partEnd;
    std::string compressor;
    std::string codec;
};

// The four-character code of a compressor name of 1 to 4 characters, padded with spaces ("DIB"
// reads as "DIB "); nothing for other texts.
std::optional<int32_t> CompressorCode(const std::string& name);

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text that --help prints.
std::string UsageText();

}  // namespace composer::app
