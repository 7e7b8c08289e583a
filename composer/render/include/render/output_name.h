#pragma once
// The names a movie is written under: a file's ending says what it holds, and a movie written under
// another ending would be an AVI file that every program opens as something else.
#include <optional>
#include <string>

namespace composer {

// Why no movie is written under fileName, as the message the user reads ("The file NAME / is not
// written: a movie is written as a .avi, .mp4, .mkv or .webm file"); nothing for those endings, in
// any case.
std::optional<std::string> OutputNameRefusal(const std::string& fileName);

}  // namespace composer
