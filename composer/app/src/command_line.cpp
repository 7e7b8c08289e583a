#include "app/command_line.h"

#include "vidmill/vidmill.h"

namespace composer::app {

namespace {

// The option's values: the `count` arguments after position `index`; false when they are missing.
bool TakeValues(const std::vector<std::string>& arguments, std::size_t& index, std::size_t count,
                std::vector<std::string>& values) {
    if (index + count >= arguments.size()) return false;
    values.assign(arguments.begin() + static_cast<std::ptrdiff_t>(index + 1),
                  arguments.begin() + static_cast<std::ptrdiff_t>(index + 1 + count));
    index += count;
    return true;
}

// A time as --part takes it: seconds, "mm:ss" or "hh:mm:ss", each part a plain decimal number
// ("1.5", "0:02", "1:00:00.25"). "abc", "nan", "1,5" and "1s" are not times.
bool IsTimeText(const std::string& text) {
    std::size_t parts = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        const std::string part = text.substr(start, colon == std::string::npos ? colon : colon - start);
        const std::size_t point = part.find('.');
        const std::string digits =
            point == std::string::npos ? part : part.substr(0, point) + part.substr(point + 1);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return false;
        if (++parts > 3) return false;
        if (colon == std::string::npos) return true;
        start = colon + 1;
    }
}

// The options of --render; false with `line.error` set when one is incomplete.
bool TakeRenderOption(const std::vector<std::string>& arguments, std::size_t& index, CommandLine& line) {
    const std::string& option = arguments[index];
    std::vector<std::string> values;
    if (option == "--part") {
        if (line.part) {
            line.error = "--part is given twice";
            return false;
        }
        if (!TakeValues(arguments, index, 2, values)) {
            line.error = "--part needs a start and an end time";
            return false;
        }
        for (const std::string& time : values) {
            if (IsTimeText(time)) continue;
            line.error = "--part takes times in seconds, mm:ss or hh:mm:ss, not \"" + time + "\"";
            return false;
        }
        line.part = true;
        line.partStart = values[0];
        line.partEnd = values[1];
    } else if (option == "--codec") {
        if (!TakeValues(arguments, index, 1, values) || (values[0] != "h264" && values[0] != "vp9")) {
            line.error = "--codec needs h264 or vp9";
            return false;
        }
        line.codec = values[0];
    } else {
        if (!TakeValues(arguments, index, 1, values)) {
            line.error = "--compressor needs a four-character code";
            return false;
        }
        line.compressor = values[0];
    }
    return true;
}

// --render PROJECT OUT: the two paths are taken as they are (no joining, no quotes removed).
void CheckRenderLine(CommandLine& line, const std::vector<std::string>& paths) {
    if (paths.size() > 2) {
        line.command = Command::Invalid;
        line.error =
            "--render takes a project file and an output file; " + paths[2] + " is one argument too many";
    } else if (paths.size() != 2) {
        line.command = Command::Invalid;
        line.error = "--render needs a project file and an output file";
    } else if (!line.compressor.empty() && !CompressorCode(line.compressor)) {
        line.command = Command::Invalid;
        line.error = "--compressor needs a code of 1 to 4 characters, not " + line.compressor;
    } else {
        line.projectText = paths[0];
        line.outputPath = paths[1];
    }
}

// --info PROJECT: one project file, taken as it is. The windows join loose words into one path (a
// path with spaces given without quotes); a headless command names its file exactly, so a second
// word is a wrong command line rather than part of a file name that is then not found.
void CheckInfoLine(CommandLine& line, const std::vector<std::string>& paths) {
    if (paths.size() > 1) {
        line.command = Command::Invalid;
        line.error = "--info takes one project file; " + paths[1] + " is one argument too many";
    } else if (paths.empty()) {
        line.command = Command::Invalid;
        line.error = "--info needs a project file";
    }
}

}  // namespace

std::optional<int32_t> CompressorCode(const std::string& name) {
    if (name.empty() || name.size() > 4) return std::nullopt;
    return vidmill::FourCC(name);
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::vector<std::string> renderPaths;
    std::vector<std::string> otherPaths;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
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
        if (argument == "--render") {
            line.command = Command::Render;
            continue;
        }
        if (line.command == Command::Render &&
            (argument == "--part" || argument == "--compressor" || argument == "--codec")) {
            if (!TakeRenderOption(arguments, index, line)) {
                line.command = Command::Invalid;
                return line;
            }
            continue;
        }
        if (argument.size() > 1 && argument.starts_with("--")) {
            line.command = Command::Invalid;
            line.error = "unknown option " + argument;
            return line;
        }
        if (line.command == Command::Render) {
            renderPaths.push_back(argument);
            continue;
        }
        if (!line.projectText.empty()) line.projectText += ' ';
        line.projectText += argument;
        otherPaths.push_back(argument);
    }
    if (line.command == Command::Render) CheckRenderLine(line, renderPaths);
    if (line.command == Command::Info) CheckInfoLine(line, otherPaths);
    return line;
}

std::string UsageText() {
    return "Usage: cinebrix-composer [PROJECT.CbMov]\n"
           "       cinebrix-composer --info PROJECT.CbMov\n"
           "       cinebrix-composer --render PROJECT.CbMov OUT [--part START END] [--compressor "
           "FOURCC]\n"
           "                         [--codec h264|vp9]\n"
           "       cinebrix-composer --help | --version\n"
           "\n"
           "Composes movies from videos (AVI, MP4, MOV, MKV, WebM), pictures (BMP, JPEG, GIF, PNG, TIFF,\n"
           "WebP) and sounds (WAV, MP3, FLAC, Ogg, Opus, M4A).\n"
           "\n"
           "  PROJECT.CbMov   the project to open at start (a path in double quotes is accepted)\n"
           "  --info          print the project, loaded as an open loads it, as one JSON object;\n"
           "                  warnings go to standard error; exit status 1 when it cannot be loaded\n"
           "  --render        load the project as an open loads it and write its movie to OUT: an AVI\n"
           "                  file, or a movie to share when OUT ends in .mp4 or .mkv (H.264 and AAC)\n"
           "                  or .webm (VP9 and Opus); any other ending of OUT is a wrong command line;\n"
           "                  progress and warnings go to standard error; exit status 0 when the\n"
           "                  movie was written from every source, 3 when it was written with\n"
           "                  sources missing or unreadable (listed), 1 when it was not written,\n"
           "                  2 for a wrong command line, 128 + the signal when Ctrl+C, SIGTERM,\n"
           "                  SIGHUP or SIGPIPE stopped it (130, 143, 129, 141). The movie is\n"
           "                  written beside OUT.avi and takes its name only when complete and its\n"
           "                  frames decode, so an old OUT.avi is kept whenever the render fails (a\n"
           "                  compressor that cannot write the movie's frame size is refused before\n"
           "                  anything is written); an\n"
           "                  OUT.avi that is one of the movie's clips or its project is refused\n"
           "    --part START END      only the time range START .. END (seconds, or hh:mm:ss, mm:ss)\n"
           "    --compressor FOURCC   the video compressor of an AVI output for this run (\"MSVC\",\n"
           "                          \"DIB \", ...) instead of the \"Compressor\" setting; it must be\n"
           "                          one that \"vidmill compressors\" lists with writing=yes; for an\n"
           "                          .mp4 or .mkv movie \"VP90\" codes VP9 instead of H.264\n"
           "    --codec h264|vp9      the video coding of an .mp4 or .mkv movie (a .webm movie is\n"
           "                          VP9); the AVI library is needed only for AVI clips and\n"
           "                          outputs and for --compressor\n"
           "  --help          show this text\n"
           "  --version       show the program's version\n"
           "\n"
           "Settings: cinebrix-composer.ini beside the program when its folder is writable, else in\n"
           "$XDG_CONFIG_HOME/cinebrix-composer/; $CB_SETTINGS_DIR names another folder. --render and\n"
           "--info only read them.\n"
           "Temporary files: a work folder cbvPID (the process id) in $TMPDIR (else /tmp), removed at\n"
           "exit, also after an error or a stop; one that a killed run left is removed by the next run,\n"
           "and so are its partial files (OUT.partial-PID-N), recorded while they exist in\n"
           "$XDG_STATE_HOME/cinebrix/partial/ (else ~/.local/state/cinebrix/partial/).\n";
}

}  // namespace composer::app
