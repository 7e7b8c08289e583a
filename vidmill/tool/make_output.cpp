#include "make_output.h"

#include <fnmatch.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "cbplatform/file_checks.h"
#include "cbplatform/staged_file.h"
#include "cbplatform/stop_signals.h"
#include "tool_support.h"

namespace vidmill::tool {
namespace {

// Whether the --images mask takes the file: same folder, and the name matches the mask as the
// writer matches it (without regard to case).
bool MaskTakes(const std::string& mask, const std::string& file) {
    const std::filesystem::path maskPath(mask), filePath(file);
    return cb::SameFile(cb::FolderOf(mask), cb::FolderOf(file)) &&
           fnmatch(maskPath.filename().c_str(), filePath.filename().c_str(), FNM_CASEFOLD) == 0;
}

bool Takes(const MakeInput& input, const std::string& output) {
    return input.option == "--images" ? MaskTakes(input.value, output) : cb::SameFile(input.value, output);
}

int Stopped(const std::string& output, int signal) {
    std::fprintf(stderr, "vidmill make: stopped; %s was not written\n", output.c_str());
    return 128 + signal;
}

}  // namespace

void RefuseInputAsOutput(const std::string& output, const std::vector<MakeInput>& inputs) {
    for (const MakeInput& input : inputs) {
        if (!Takes(input, output)) continue;
        throw CommandFailed{output + " is also an input (" + input.option + " " + input.value +
                            "): a file is never written over what it is made from"};
    }
}

void NamingAFullDisk(const std::string& output, const std::function<void()>& steps) {
    try {
        steps();
    } catch (const CommandFailed& failure) {
        const std::string folder = cb::FolderOf(output);
        if (!cb::FailedForWantOfRoom(failure.message, folder)) throw;
        throw CommandFailed{failure.message + " (" + folder + ": " + std::strerror(ENOSPC) + ")"};
    }
}

int WriteInPlaceOf(const std::string& output, const std::function<void(const std::string& path)>& write) {
    std::optional<cb::StagedFile> staged = cb::StagedFile::Reserve(output);
    if (!staged)
        throw CommandFailed{"Cannot create AVI file \"" + output +
                            "\": " + cb::StagedFile::FailureText(output, errno)};
    try {
        write(staged->path());
    } catch (const CommandFailed&) {
        if (const int signal = cb::StopSignal()) return Stopped(output, signal);
        throw;
    }
    if (const int signal = cb::StopSignal()) return Stopped(output, signal);
    if (!staged->commit())
        throw CommandFailed{"Cannot write AVI file \"" + output + "\": " + std::strerror(errno)};
    return 0;
}

}  // namespace vidmill::tool
