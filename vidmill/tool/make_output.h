// Where vidmill make puts its file: never over one of its own inputs, and under its name only
// once it is complete.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vidmill::tool {

// A source of the new file as the command line names it: the option and its file or file mask.
struct MakeInput {
    std::string option;  // --image, --images (a mask), --avi or --wav
    std::string value;
};

// Throws CommandFailed, naming the file, when `output` is (links and ".." seen through) one of
// the inputs or a file an --images mask takes.
void RefuseInputAsOutput(const std::string& output, const std::vector<MakeInput>& inputs);

// Writes the file through `write`, which is given the path to write to, and puts it in place of
// `output` only when `write` returned and no stop signal came: a failure or a stop leaves whatever
// was at `output` as it was and no partial file. Returns the exit status: 0, or 128 + the
// signal after saying on standard error that the file was not made. Failures of `write` are
// thrown on.
// Runs the writer's steps; a failure for want of room on the output's disk is thrown on with the
// folder named ("... (out: No space left on device)"). Run while the writer still holds its partial
// file: released, it frees the room that would show the disk full.
void NamingAFullDisk(const std::string& output, const std::function<void()>& steps);

int WriteInPlaceOf(const std::string& output, const std::function<void(const std::string& path)>& write);

}  // namespace vidmill::tool
