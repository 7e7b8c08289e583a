#pragma once
// Files of a project put in place or out of the way.
#include <string>

namespace composer {

// Removes a file: to the trash when possible, else deleted. True when no file is left at the path.
bool DeleteFiles(const std::string& path);
// Puts the complete file `from` at `to` (replacing it), also across file systems. True on success.
bool MoveFile(const std::string& from, const std::string& to);

}  // namespace composer
