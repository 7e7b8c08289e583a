#include "stopped_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace cb::testing {
namespace {

int StatusOf(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }

}  // namespace

StoppedRun RunAndStop(const std::string& command, int signal, const std::function<bool()>& ready) {
    // The signal must reach the program, not a shell: the shell becomes env, which becomes it.
    const std::string line = "exec env " + command;
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    StoppedRun run;
    if (child < 0) return run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    int raw = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(child, &raw, WNOHANG) == child) {
            run.status = StatusOf(raw);
            return run;
        }
        if (ready()) {
            ::kill(child, signal);
            run.signalSent = true;
            ::waitpid(child, &raw, 0);
            run.status = StatusOf(raw);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &raw, 0);
    return run;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool FolderHolds(const std::string& folder, const std::string& part) {
    const std::vector<std::string> names = FolderEntries(folder);
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& name) { return name.find(part) != std::string::npos; });
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace cb::testing
