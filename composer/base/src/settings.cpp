#include "base/settings.h"

#include <SimpleIni.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/text_number.h"

namespace composer {

namespace fs = std::filesystem;

namespace {

std::string fixedFolder;    // SetSettingsLocation's folder, or empty
std::string fixedBaseName;  // SetSettingsLocation's base name, or empty
bool filesWritable = true;  // SetSettingsFilesWritable

std::string SectionOrGeneral(const std::string& section) { return section.empty() ? "General" : section; }
std::string KeyOrEnd(const std::string& key) { return key.empty() ? "END" : key; }

// A value enclosed in a matching pair of quotes is read without them.
std::string WithoutQuotes(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// A line break would end the value early and turn the rest into a line of its own.
std::string OnOneLine(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    return value;
}

enum class IniLoad { Missing, Loaded, Failed };

IniLoad LoadIni(CSimpleIniA& ini, const std::string& file) {
    std::error_code error;
    if (!fs::exists(file, error)) return IniLoad::Missing;
    if (!fs::is_regular_file(file, error)) return IniLoad::Failed;
    return ini.LoadFile(file.c_str()) >= 0 ? IniLoad::Loaded : IniLoad::Failed;
}

// Writes the whole text beside the file first, then replaces the file, so a reader never sees half a file.
bool ReplaceFile(const std::string& file, const std::string& text) {
    std::error_code error;
    const fs::path target(file);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
    const std::string partial = file + ".part" + std::to_string(::getpid());
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            fs::remove(partial, error);
            return false;
        }
    }
    fs::rename(partial, target, error);
    if (error) fs::remove(partial, error);
    return !error;
}

bool IsWritableFolder(const std::string& folder) {
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

fs::path ProgramFile() {
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error);
}

}  // namespace

std::string ReadIniValue(const std::string& section, const std::string& key, const std::string& defaultValue,
                         const std::string& file) {
    CSimpleIniA ini(/*isUtf8=*/true, /*multiKey=*/false, /*multiLine=*/false);
    const char* value = nullptr;
    if (LoadIni(ini, file) == IniLoad::Loaded)
        value = ini.GetValue(SectionOrGeneral(section).c_str(), KeyOrEnd(key).c_str(), nullptr);
    return FirstChars(value ? WithoutQuotes(value) : defaultValue, kMaxIniValueChars);
}

void WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) {
    if (!filesWritable) return;
    CSimpleIniA ini(/*isUtf8=*/true, /*multiKey=*/false, /*multiLine=*/false);
    // A file that exists but cannot be read is left alone rather than replaced by this one value.
    if (LoadIni(ini, file) == IniLoad::Failed) return;
    ini.SetValue(SectionOrGeneral(section).c_str(), KeyOrEnd(key).c_str(), OnOneLine(value).c_str());
    std::string text;
    if (ini.Save(text) >= 0) ReplaceFile(file, text);
}

std::string ReadSetting(const std::string& section, const std::string& key, const std::string& defaultValue) {
    return ReadIniValue(section, key, defaultValue, SettingsFilePath());
}

void WriteSetting(const std::string& section, const std::string& key, const std::string& value) {
    WriteIniValue(section, key, value, SettingsFilePath());
}

std::string ProgramFolder() { return ProgramFile().parent_path().string(); }

std::string ProgramBaseName() {
    const std::string stem = ProgramFile().stem().string();
    return stem.empty() ? "cinebrix-composer" : stem;
}

void SetSettingsFilesWritable(bool writable) { filesWritable = writable; }

void SetSettingsLocation(const std::string& folder, const std::string& baseName) {
    fixedFolder = folder;
    fixedBaseName = baseName;
}

std::string UserConfigFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/cinebrix-composer";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/cinebrix-composer";
    return "/tmp/cinebrix-composer";
}

std::string SettingsFolderFor(const std::string& programFolder) {
    return IsWritableFolder(programFolder) ? programFolder : UserConfigFolder();
}

std::string SettingsFolder() {
    if (!fixedFolder.empty()) return fixedFolder;
    if (const char* folder = std::getenv("CB_SETTINGS_DIR"); folder && *folder) return folder;
    return SettingsFolderFor(ProgramFolder());
}

std::string SettingsFilePath() {
    const std::string baseName = fixedBaseName.empty() ? ProgramBaseName() : fixedBaseName;
    return SettingsFolder() + "/" + baseName + ".ini";
}

std::string GuideFilePath() { return SettingsFolder() + "/UserGuide.ini"; }

}  // namespace composer
