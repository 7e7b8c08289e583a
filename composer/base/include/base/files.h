#pragma once
// File helpers every part of the program uses.
#include <cstdint>
#include <string>

namespace composer {

// True when the path, trimmed of spaces, is not empty and names an existing regular file that is
// not hidden. Folders, devices and other special files count as absent, and so does a file whose
// name starts with a dot (a hidden file here).
bool FileExists(const std::string& path);

// Deletes the file when FileExists says it is there. True when afterwards no such file exists (also
// when there was none); false when it is still there or the deletion failed.
bool DeleteFileChecked(const std::string& path);

// Sets the end of an existing file at lengthBytes (shortening or extending it with zeros). Does
// nothing when the file does not exist or cannot be opened for writing. True when the length was set.
bool SetFileLength(const std::string& path, int64_t lengthBytes);

// The last component of a path, split on both '/' and '\' (project files written elsewhere hold
// backslashes and drive letters).
std::string LastPathComponent(const std::string& path);

}  // namespace composer
