#include "cbplatform/partial_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace cb {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPartialMark = ".partial-";
// A record names one path and two numbers; anything longer is not one of ours.
constexpr std::size_t kMostRecordBytes = 8192;
// Bytes of the hash that tells shortened names apart ("~" plus 8 hexadecimal digits).
constexpr std::size_t kHashBytes = 9;

bool ContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// FNV-1a: a cheap, stable hash, only to keep shortened names of different targets apart.
std::string NameHash(const std::string& name) {
    std::uint32_t hash = 2166136261u;
    for (const char byte : name) hash = (hash ^ static_cast<unsigned char>(byte)) * 16777619u;
    char text[kHashBytes + 1] = {};
    std::snprintf(text, sizeof text, "~%08x", hash);
    return text;
}

// `name` cut to at most `bytes` bytes: its start and end around a hash of the whole.
std::string ShortenedName(const std::string& name, std::size_t bytes) {
    if (bytes <= kHashBytes) return NameHash(name).substr(0, bytes);
    const std::size_t kept = bytes - kHashBytes;
    std::size_t headEnd = kept - kept / 2;
    std::size_t tailStart = name.size() - kept / 2;
    while (headEnd > 0 && ContinuationByte(name[headEnd])) --headEnd;
    while (tailStart < name.size() && ContinuationByte(name[tailStart])) ++tailStart;
    return name.substr(0, headEnd) + NameHash(name) + name.substr(tailStart);
}

bool OwnRegularFile(const std::string& path) {
    struct stat facts {};
    return ::lstat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode) && facts.st_uid == ::geteuid();
}

struct RecordFacts {
    std::int64_t processId = 0;
    std::uint64_t startTime = 0;
    std::string partialPath;
};

std::optional<RecordFacts> ReadRecord(const std::string& recordPath) {
    if (!OwnRegularFile(recordPath)) return std::nullopt;
    std::ifstream in(recordPath, std::ios::binary);
    std::string text(kMostRecordBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    static const std::regex kRecord("([0-9]{1,10}) ([0-9]{1,20})\n(/[^\n]*)\n");
    std::smatch match;
    if (text.size() > kMostRecordBytes || !std::regex_match(text, match, kRecord)) return std::nullopt;
    return RecordFacts{std::stoll(match[1].str()), std::stoull(match[2].str()), match[3].str()};
}

// Whether the process that wrote a record still runs: one of its id that started when it did.
bool WriterRuns(const RecordFacts& record) {
    if (!ProcessExists(record.processId)) return false;
    const std::optional<std::uint64_t> started = ProcessStartTime(record.processId);
    // A process whose start cannot be read is taken to be the writer: nothing of it is touched.
    return !started || *started == record.startTime;
}

void RemoveStale(const std::string& recordPath) {
    const std::optional<RecordFacts> record = ReadRecord(recordPath);
    if (!record) return;  // not a record of ours: left alone
    if (WriterRuns(*record)) return;
    const std::string name = fs::path(record->partialPath).filename().string();
    if (IsPartialFileName(name, record->processId) && OwnRegularFile(record->partialPath))
        ::unlink(record->partialPath.c_str());
    ::unlink(recordPath.c_str());
}

}  // namespace

std::string PartialFileName(const std::string& targetName, std::int64_t processId, unsigned counter,
                            std::size_t nameMaxBytes) {
    const std::string suffix = kPartialMark + std::to_string(processId) + "-" + std::to_string(counter);
    if (targetName.size() + suffix.size() <= nameMaxBytes) return targetName + suffix;
    const std::size_t room = nameMaxBytes > suffix.size() ? nameMaxBytes - suffix.size() : 0;
    return ShortenedName(targetName, room) + suffix;
}

bool IsPartialFileName(const std::string& name, std::int64_t processId) {
    const std::string mark = kPartialMark + std::to_string(processId) + "-";
    const std::size_t at = name.rfind(mark);
    if (at == std::string::npos || at == 0) return false;
    const std::string counter = name.substr(at + mark.size());
    return !counter.empty() && counter.size() <= 10 &&
           counter.find_first_not_of("0123456789") == std::string::npos;
}

std::string PartialRecordFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/cinebrix/partial";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/cinebrix/partial";
    return "";
}

bool ProcessExists(std::int64_t processId) {
    if (processId <= 0) return true;  // never a process of ours: its files are not touched
    return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

std::optional<std::uint64_t> ProcessStartTime(std::int64_t processId) {
    std::ifstream in("/proc/" + std::to_string(processId) + "/stat");
    std::string line;
    if (!std::getline(in, line)) return std::nullopt;
    // The command name in brackets may hold spaces and brackets: the fields follow the last ')'.
    const std::size_t nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos) return std::nullopt;
    std::istringstream fields(line.substr(nameEnd + 1));
    std::string field;
    // Fields 3 (state) to 21 come before the start time, field 22.
    for (int number = 3; number < 22; ++number)
        if (!(fields >> field)) return std::nullopt;
    std::uint64_t started = 0;
    if (!(fields >> started)) return std::nullopt;
    return started;
}

PartialRecord PartialRecord::Write(const std::string& partialPath, const std::string& recordFolder) {
    static const std::optional<std::uint64_t> ownStart = ProcessStartTime(::getpid());
    std::error_code error;
    const fs::path absolute = fs::absolute(partialPath, error);
    if (recordFolder.empty() || !ownStart || error) return {};
    fs::create_directories(recordFolder, error);
    // Only this user reads where their files are being written.
    fs::permissions(recordFolder, fs::perms::owner_all, error);
    std::string path = recordFolder + "/" + std::to_string(::getpid()) + "-XXXXXX";
    const int descriptor = ::mkostemp(path.data(), O_CLOEXEC);
    if (descriptor < 0) return {};
    const std::string text =
        std::to_string(::getpid()) + " " + std::to_string(*ownStart) + "\n" + absolute.string() + "\n";
    const bool written = ::write(descriptor, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(descriptor);
    PartialRecord record(std::move(path));
    if (!written) record.remove();
    return record;
}

PartialRecord::PartialRecord(PartialRecord&& other) noexcept : path_(std::move(other.path_)) {
    other.path_.clear();
}

PartialRecord& PartialRecord::operator=(PartialRecord&& other) noexcept {
    if (this != &other) {
        remove();
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

PartialRecord::~PartialRecord() { remove(); }

void PartialRecord::remove() {
    if (path_.empty()) return;
    const int saved = errno;
    ::unlink(path_.c_str());
    path_.clear();
    errno = saved;
}

void RemoveStalePartialFiles(const std::string& recordFolder) {
    if (recordFolder.empty()) return;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(recordFolder, error)) RemoveStale(entry.path().string());
}

}  // namespace cb
