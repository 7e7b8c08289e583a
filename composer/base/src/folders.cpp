#include "base/folders.h"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "base/app_state.h"
#include "base/files.h"
#include "base/rounding.h"
#include "base/settings.h"
#include "base/text_number.h"

namespace composer {

namespace fs = std::filesystem;

namespace {

// Gives up after this many taken names: something else is wrong with the folder.
constexpr int kMaxWorkFolderAttempts = 100'000;

double SecondsSinceMidnight() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t whole = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&whole, &local);
    const auto fraction = now - std::chrono::system_clock::from_time_t(whole);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
           std::chrono::duration<double>(fraction).count();
}

std::string SystemTempFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    std::string folder = (tmpdir && *tmpdir) ? tmpdir : "/tmp";
    if (!folder.empty() && folder.back() == '/') folder.pop_back();
    std::error_code error;
    if (TrimSpaces(folder).empty() || !fs::is_directory(folder, error)) return AppFolder;
    return folder;
}

// Deletes every file (not folders) in a folder; true when none is left.
bool DeleteFilesIn(const std::string& folder) {
    bool allGone = true;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::error_code entryError;
        if (entry.is_directory(entryError)) continue;
        if (!fs::remove(entry.path(), entryError) || entryError) allGone = false;
    }
    return allGone;
}

}  // namespace

std::string CreateWorkFolderIn(const std::string& parentFolder, double secondsSinceMidnight) {
    int64_t number = RoundToInt64(secondsSinceMidnight);
    for (int attempt = 0; attempt < kMaxWorkFolderAttempts; ++attempt) {
        ++number;
        const std::string candidate = parentFolder + "/cbv" + std::to_string(number);
        // Creating is the test for "free": two runs racing for one name cannot both succeed.
        if (::mkdir(candidate.c_str(), 0700) == 0) return candidate;
        if (errno != EEXIST) return {};
    }
    return {};
}

std::string CreateWorkFolder() { return CreateWorkFolderIn(TempFolder, SecondsSinceMidnight()); }

void InitFolders() {
    AppFolder = ProgramFolder();
    TempFolder = SystemTempFolder();
    WorkFolder = CreateWorkFolder();
    if (WorkFolder.empty() && TempFolder != AppFolder)
        WorkFolder = CreateWorkFolderIn(AppFolder, SecondsSinceMidnight());
}

void RemoveWorkFolder() {
    if (WorkFolder.empty()) return;
    if (!DeleteFilesIn(WorkFolder)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        DeleteFilesIn(WorkFolder);
    }
    std::error_code error;
    fs::remove(WorkFolder, error);
}

std::string NewTempFileName(const std::string& extension) {
    const std::string ext = extension.empty() ? "tmp" : extension;
    std::string name;
    do {
        ++TempFileCounter;
        name = WorkFolder + "/tm" + std::to_string(TempFileCounter) + "." + ext;
    } while (FileExists(name));
    return name;
}

}  // namespace composer
