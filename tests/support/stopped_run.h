// Runs a program and stops it with a signal at a chosen moment, as a user's Ctrl+C or a service
// manager's SIGTERM would.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace cb::testing {

struct StoppedRun {
    bool signalSent = false;  // false: the program ended before `ready` said so
    int status = -1;          // exit status; -1 when a signal ended it
};

// Runs `command` (a program with its arguments, optionally after VARIABLE=value settings and
// followed by redirections) through the shell, sends `signal` once `ready()` returns true (asked every
// millisecond), and waits for the program to end. A program still running after a minute is
// killed.
StoppedRun RunAndStop(const std::string& command, int signal, const std::function<bool()>& ready);

// The names in a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// Whether some name in the folder contains `part`.
bool FolderHolds(const std::string& folder, const std::string& part);

// The bytes of a file; empty when it cannot be read.
std::string FileBytes(const std::string& path);

}  // namespace cb::testing
