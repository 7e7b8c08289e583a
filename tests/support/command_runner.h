// Shell commands and scratch files for tests that check our output with the ffmpeg command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cb::testing {

// A fresh path in a scratch folder of this test process ($CB_TEST_TMP/<folder>-<pid>): CTest runs
// test cases side by side as separate processes. The folder is created; an old file is removed.
std::string ScratchFile(const std::string& folder, const std::string& name);

// Runs a shell command; its standard output (standard error is dropped).
std::vector<std::uint8_t> RunCommandBytes(const std::string& command);
std::string RunCommand(const std::string& command);
// Quotes a path for the shell.
std::string Quoted(const std::string& path);

}  // namespace cb::testing
