// What the reader writes (a WAV copy of the sound track, frame images) never takes the place of
// the AVI file it reads from, however the output is named: through a symbolic link, a hard link
// or a path with "..".
#pragma once

#include <string>

namespace vidmill::reader {

// Followed by the output's name as the caller gave it, in quotes.
inline constexpr char kWritesOverSourceMessage[] = "Cannot write over the AVI file being read";

// Throws vidmill::Error (kWritesOverSourceMessage "OUTPUT") when `output` names the file `source`.
void RefuseOutputOverSource(const std::string& source, const std::string& output);

}  // namespace vidmill::reader
