#pragma once
// The program's folders: its own folder, the temporary folder and the per-run work folder that
// holds every temporary file and is removed at exit.
#include <cstdint>
#include <string>

namespace composer {

// Sets AppFolder (the program's folder), TempFolder ($TMPDIR, else /tmp, without a trailing
// separator; AppFolder when that is empty, missing or not a folder) and creates WorkFolder. When no
// work folder can be made in TempFolder, one is made in AppFolder instead.
void InitFolders();

// Makes a new folder TempFolder + "/cbv" + n, where n starts one above the seconds since midnight
// and goes up until a folder of that name could be created (so runs started in the same second get
// different folders, also when they race). Returns its path, or "" when no folder can be created.
std::string CreateWorkFolder();
// The same below a given folder, counting from a given number of seconds since midnight.
std::string CreateWorkFolderIn(const std::string& parentFolder, double secondsSinceMidnight);

// Deletes every file in WorkFolder, waits 200 ms when some remain, then removes the folder.
// Failures are ignored.
void RemoveWorkFolder();

// A path in WorkFolder that names no existing file: WorkFolder + "/tm" + counter + "." + extension
// ("tmp" when the extension is empty). The counter (TempFileCounter) only goes up during a run.
std::string NewTempFileName(const std::string& extension = "");

}  // namespace composer
