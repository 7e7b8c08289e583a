#include "base/folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <thread>

#include "base/app_state.h"
#include "base/files.h"
#include "base/settings.h"
#include "base/text_number.h"
#include "cbplatform/partial_files.h"

namespace composer {

namespace fs = std::filesystem;

namespace {

// Gives up after this many taken names: something else is wrong with the folder.
constexpr int kMaxWorkFolderAttempts = 100'000;
constexpr const char* kWorkFolderPrefix = "cbv";

// The process id a work folder's name holds: "cbv" + digits, optionally "-" + digits.
std::optional<int64_t> WorkFolderProcess(const std::string& name) {
    static const std::regex kName(std::string(kWorkFolderPrefix) + "([0-9]{1,9})(-[0-9]{1,9})?");
    std::smatch match;
    if (!std::regex_match(name, match, kName)) return std::nullopt;
    return std::stoll(match[1].str());
}

// A folder (not a link to one) that belongs to this user: nobody else's files are removed.
bool OwnFolder(const fs::path& path) {
    struct stat facts {};
    return ::lstat(path.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode) && facts.st_uid == ::geteuid();
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

std::string CreateWorkFolderIn(const std::string& parentFolder, int64_t processId) {
    const std::string base = parentFolder + "/" + kWorkFolderPrefix + std::to_string(processId);
    for (int attempt = 0; attempt < kMaxWorkFolderAttempts; ++attempt) {
        const std::string candidate = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        // Creating is the test for "free": two runs racing for one name cannot both succeed.
        if (::mkdir(candidate.c_str(), 0700) == 0) return candidate;
        if (errno != EEXIST) return {};
    }
    return {};
}

std::string CreateWorkFolder() { return CreateWorkFolderIn(TempFolder, ::getpid()); }

void RemoveStaleWorkFolders(const std::string& parentFolder) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(parentFolder, error)) {
        const std::optional<int64_t> owner = WorkFolderProcess(entry.path().filename().string());
        if (!owner || *owner == ::getpid() || cb::ProcessExists(*owner) || !OwnFolder(entry.path())) continue;
        std::error_code removeError;
        fs::remove_all(entry.path(), removeError);
    }
}

void InitFolders() {
    AppFolder = ProgramFolder();
    TempFolder = SystemTempFolder();
    RemoveStaleWorkFolders(TempFolder);
    // Movies and files of runs that were killed before they could remove their partial files.
    cb::RemoveStalePartialFiles();
    WorkFolder = CreateWorkFolder();
    if (WorkFolder.empty() && TempFolder != AppFolder) WorkFolder = CreateWorkFolderIn(AppFolder, ::getpid());
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
        const int32_t number = ++TempFileCounter;
        name = WorkFolder + "/tm" + std::to_string(number) + "." + ext;
    } while (FileExists(name));
    return name;
}

}  // namespace composer
