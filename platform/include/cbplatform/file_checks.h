// Questions about files that writers of user files ask before and after writing: whether an
// output would land on one of its own inputs, and why a write failed.
#pragma once

#include <string>

#include "cbplatform/com_types.h"

namespace cb {

// Whether two paths name one file: the same device and inode when both exist (links, hard links
// and ".." are seen through), else the same absolute path once links and ".." are resolved as far
// as the path exists.
CB_PLATFORM_API bool SameFile(const std::string& first, const std::string& second);

// Whether a write into `folder` that failed with `failureText` failed for want of room: the text
// gives the system's "No space left on device", or the file system that holds the folder has
// (next to) no free space left for this user. Tells a full disk from other failures after a
// writer that does not pass the system's reason on.
CB_PLATFORM_API bool FailedForWantOfRoom(const std::string& failureText, const std::string& folder);

// The folder part of a path ("." for a bare file name).
CB_PLATFORM_API std::string FolderOf(const std::string& path);

}  // namespace cb
