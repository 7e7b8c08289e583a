#include "cbplatform/registry.h"

#include <SimpleIni.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <list>

namespace cb::registry {

namespace {

std::string ValueKey(const std::string& valueName) { return valueName.empty() ? "@" : valueName; }

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

class IniKeys final : public Keys {
  public:
    IniKeys() : ini_(/*isUtf8=*/true, /*multiKey=*/false, /*multiLine=*/false) {}

    bool Load(const std::string& path) {
        if (!std::filesystem::exists(path)) return true;
        return ini_.LoadFile(path.c_str()) >= 0;
    }
    bool Save(const std::string& path) {
        std::string text;
        if (ini_.Save(text) < 0) return false;
        return WriteReplacing(path, text);
    }

    void SetValue(const std::string& keyPath, const std::string& valueName,
                  const std::string& value) override {
        ini_.SetValue(keyPath.c_str(), ValueKey(valueName).c_str(), value.c_str());
    }
    void DeleteTree(const std::string& keyPath) override {
        CSimpleIniA::TNamesDepend sections;
        ini_.GetAllSections(sections);
        const std::string below = keyPath + "\\";
        std::list<std::string> doomed;
        for (const auto& section : sections) {
            const std::string name = section.pItem;
            if (StartsWithNoCase(name, below) ||
                (name.size() == keyPath.size() && StartsWithNoCase(name, keyPath)))
                doomed.push_back(name);
        }
        for (const auto& name : doomed) ini_.Delete(name.c_str(), nullptr, true);
    }
    std::optional<std::string> GetValue(const std::string& keyPath,
                                        const std::string& valueName) const override {
        const char* value = ini_.GetValue(keyPath.c_str(), ValueKey(valueName).c_str(), nullptr);
        if (!value) return std::nullopt;
        return std::string(value);
    }

  private:
    // Writes a sibling temporary file, flushes it to disk and renames it over the target.
    static bool WriteReplacing(const std::string& path, const std::string& text) {
        const std::string temporary = path + ".new";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        std::size_t done = 0;
        bool ok = true;
        while (ok && done < text.size()) {
            const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
            ok = put > 0;
            if (ok) done += static_cast<std::size_t>(put);
        }
        ok = ok && ::fsync(fd) == 0;
        ok = (::close(fd) == 0) && ok;
        if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0;
        if (!ok) std::remove(temporary.c_str());
        return ok;
    }

    CSimpleIniA ini_;
};

// Holds an exclusive lock on the registry's lock file for one read-modify-write.
class FileLock {
  public:
    explicit FileLock(const std::string& path)
        : fd_(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return fd_ >= 0; }

  private:
    int fd_;
};

}  // namespace

std::string FilePath() {
    if (const char* explicitPath = std::getenv("CB_REGISTRY"); explicitPath && *explicitPath)
        return explicitPath;
    std::filesystem::path base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        base = data;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::filesystem::path(home) / ".local" / "share";
    } else {
        base = "/tmp";
    }
    return (base / "cinebrix" / "registry.ini").string();
}

bool Update(const std::function<void(Keys&)>& change) {
    const std::string path = FilePath();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    FileLock lock(path);
    if (!lock.held()) return false;
    IniKeys keys;
    if (!keys.Load(path)) return false;
    change(keys);
    return keys.Save(path);
}

std::optional<std::string> GetValue(const std::string& keyPath, const std::string& valueName) {
    IniKeys keys;
    if (!keys.Load(FilePath())) return std::nullopt;
    return keys.GetValue(keyPath, valueName);
}

}  // namespace cb::registry
