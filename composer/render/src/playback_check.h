#pragma once
// The check a finished movie passes before it takes the output's name: it opens with the frames
// written, and the frames that show the common faults (cb::ReadBackFrames) decode. AVI files are
// read through the library's reader, the movies to share through the program's container reader:
// the readers that will play them.
#include <cstdint>
#include <optional>
#include <string>

namespace composer {

// The compressor that made the frames of a movie written to fileName with the handler code chosen,
// as the user names it: the code's four characters for AVI files ("MSVC"), the video coding of the
// movies to share ("H.264", "VP9").
std::string CompressorOfMovie(int32_t handler, const std::string& fileName);

// Why the movie at `path` does not play back, as a sentence for the user ("Frame 75 does not
// decode: ..."); nothing when it does.
std::optional<std::string> PlaybackProblem(const std::string& path, int32_t framesWritten);

}  // namespace composer
