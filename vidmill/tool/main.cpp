// vidmill: the AVI processing library from the command line.
#include <cstdio>
#include <cstring>
#include <exception>

#include "cbplatform/media_log.h"
#include "cbplatform/partial_files.h"
#include "command_compressors.h"
#include "command_make.h"
#include "reader_commands.h"

namespace {

using vidmill::tool::Arguments;

struct Command {
    const char* name;
    int (*run)(const Arguments&);
    const char* usage;
};

const Command kCommands[] = {
    {"compressors", &vidmill::tool::RunCompressors,
     "compressors                       list the video compressors: handler, name, description, "
     "writing=yes|no"},
    {"info", &vidmill::tool::RunInfo,
     "info FILE                         the AVI file's size, rate, frame count, compressor, quality,\n"
     "                                    data rate and whether it has sound, as one JSON object"},
    {"save-frames", &vidmill::tool::RunSaveFrames,
     "save-frames FILE PREFIX           save frames as PREFIX + number + postfix (0-based indices)\n"
     "      [--start INDEX] [--count N] [--postfix TEXT] [--digits D] [--first-number S]\n"
     "      [--format 0-5|bmp|gif|jpeg|png|tiff] [--jpeg-quality Q] [--tiff-compression C|lzw|none]\n"
     "      [--tiff-depth D] [--size WxH] [--enable-lzw]"},
    {"extract-wav", &vidmill::tool::RunExtractWav,
     "extract-wav FILE OUT.wav          copy the sound track into a WAV file as it is stored"},
    {"make", &vidmill::tool::RunMake,
     "make OUT.avi [--size WxH] [--fps F] [--compressor CODE] [--quality Q] [--key-frame-rate K]\n"
     "      [--inter-frames N] [--image FILE]... [--images MASK [--reverse]]\n"
     "      [--avi FILE [--reverse] [--with-sound]] [--wav FILE [--cut-wav]]\n"
     "      [--watermark-text TEXT] [--watermark-timer STYLE] [--enable-lzw]\n"
     "                                    write a new AVI file from the sources in the order given\n"
     "                                    (size 320x240 unless given; STYLE video-time, video-frame,\n"
     "                                    time, date or date-time)"},
};

int Help(FILE* out) {
    std::fprintf(out, "usage: vidmill COMMAND [ARGUMENTS]\n\nCommands:\n");
    for (const auto& command : kCommands) std::fprintf(out, "  %s\n", command.usage);
    std::fprintf(out,
                 "\nOutputs (the WAV file of extract-wav, the images of save-frames, the AVI file of make)\n"
                 "are written aside under a temporary name in the output's folder and renamed into place\n"
                 "only when complete. An output is never written over one of the command's inputs (a\n"
                 "symbolic link, a hard link or a path through \"..\" to it is refused), and a failure\n"
                 "leaves an existing output unchanged and no partial file.\n"
                 "\nExit status 0 on success; on failure the library's message on standard error and 1.\n");
    return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Help(stderr);
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") return Help(stdout);
    const Arguments arguments(argv + 2, argv + argc);
    // The media libraries' notes about the files read are not the tool's output.
    cb::QuietMediaLog();
    // Files of runs that were killed before they could remove their partial files.
    cb::RemoveStalePartialFiles();
    for (const auto& command : kCommands) {
        if (name != command.name) continue;
        try {
            return command.run(arguments);
        } catch (const vidmill::tool::CommandFailed& failure) {
            std::fprintf(stderr, "vidmill %s: %s\n", command.name, failure.message.c_str());
        } catch (const std::exception& error) {
            std::fprintf(stderr, "vidmill %s: %s\n", command.name, error.what());
        }
        return 1;
    }
    std::fprintf(stderr, "vidmill: unknown command \"%s\"\n\n", name.c_str());
    return Help(stderr);
}
