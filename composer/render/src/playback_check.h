#pragma once
// The check a finished movie passes before it takes the output's name: it opens with the frames
// written, and the frames that show the common faults (cb::ReadBackFrames) decode. AVI files are
// read through the library's reader, the movies to share through the program's container reader:
// the readers that will play them.
#include <cstdint>
#include <optional>
#include <string>

namespace composer {

// Why the movie at `path` does not play back, as a sentence for the user ("Frame 75 does not
// decode: ..."); nothing when it does.
std::optional<std::string> PlaybackProblem(const std::string& path, int32_t framesWritten);

}  // namespace composer
