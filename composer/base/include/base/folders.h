#pragma once
// The program's folders: its own folder, the temporary folder and the per-run work folder that
// holds every temporary file and is removed at exit.
#include <cstdint>
#include <string>

namespace composer {

// Sets AppFolder (the program's folder), TempFolder ($TMPDIR, else /tmp, without a trailing
// separator; AppFolder when that is empty, missing or not a folder), removes the stale work folders
// there and the partial files of this user's killed runs (cb::RemoveStalePartialFiles), and creates
// WorkFolder. When no work folder can be made in TempFolder, one is made in
// AppFolder instead.
void InitFolders();

// Makes a new folder TempFolder + "/cbv" + the process id (then "-1", "-2" ... when that name is
// taken). The name tells whose folder it is, so a later run can remove it once its process is
// gone. Returns its path, or "" when no folder can be created.
std::string CreateWorkFolder();
// The same below a given folder, for a given process id.
std::string CreateWorkFolderIn(const std::string& parentFolder, int64_t processId);

// Removes the work folders in parentFolder ("cbv" + process id, optionally "-" + number) that are
// this user's and whose process is no longer running: a run that was killed or crashed could not
// remove its own. Folders of running processes (this one too) and other names are left alone.
void RemoveStaleWorkFolders(const std::string& parentFolder);

// Deletes every file in WorkFolder, waits 200 ms when some remain, then removes the folder.
// Failures are ignored.
void RemoveWorkFolder();

// A path in WorkFolder that names no existing file: WorkFolder + "/tm" + counter + "." + extension
// ("tmp" when the extension is empty). The counter (TempFileCounter) only goes up during a run.
std::string NewTempFileName(const std::string& extension = "");

}  // namespace composer
