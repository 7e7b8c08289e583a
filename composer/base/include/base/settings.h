#pragma once
// The settings file and other INI files, with private-profile semantics: section and key names are
// compared without regard to case, an empty section means "General", an empty key means "END", a
// value is read back at most 99 characters long (the rest is cut), a value enclosed in matching
// quotes is read without them, and a missing file, section or key reads as the default. Writing
// creates the file and its folder when needed and replaces the file only once the new text is
// complete. Failures to write are silent: settings are a convenience, never a reason to stop.
#include <string>

namespace composer {

// Longest value text that a read returns, in characters.
inline constexpr std::size_t kMaxIniValueChars = 99;

// Reads and writes the program's settings file (SettingsFilePath()).
std::string ReadSetting(const std::string& section, const std::string& key,
                        const std::string& defaultValue = "");
void WriteSetting(const std::string& section, const std::string& key, const std::string& value);

// The same on a named INI file (the guide file, for instance).
std::string ReadIniValue(const std::string& section, const std::string& key, const std::string& defaultValue,
                         const std::string& file);
void WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file);

// Where the settings live. The settings file is named after the program ("cinebrix-composer.ini") and
// lies beside it when the program's folder is writable, else in $XDG_CONFIG_HOME/cinebrix-composer/
// (~/.config/cinebrix-composer/). $CB_SETTINGS_DIR, when set and not empty, names the folder instead.
// The guide file "UserGuide.ini" lies in the same folder.
std::string SettingsFolder();
// The rule without the overrides: the given program folder when it is writable, else UserConfigFolder().
std::string SettingsFolderFor(const std::string& programFolder);
// $XDG_CONFIG_HOME/cinebrix-composer, else ~/.config/cinebrix-composer.
std::string UserConfigFolder();
std::string SettingsFilePath();
std::string GuideFilePath();

// Commands run without the windows (--render, --info) read the settings but never change the
// files: after SetSettingsFilesWritable(false) every write of a setting or guide value is dropped,
// for the rest of the run. The windowed program writes them (at close, as the user expects).
void SetSettingsFilesWritable(bool writable);

// Fixes the settings folder and the settings file's base name (tests, and a program that knows
// better); an empty folder returns to the rule above, an empty base name to the program's name.
void SetSettingsLocation(const std::string& folder, const std::string& baseName = "");

// The folder and base name of the running program file (from /proc/self/exe).
std::string ProgramFolder();
std::string ProgramBaseName();

}  // namespace composer
