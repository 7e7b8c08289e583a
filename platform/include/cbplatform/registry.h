// The class registry: the keys under the classes root (CLSID\{...}, ProgIDs, TypeLib, Interface),
// kept in one INI file. Sections are key paths, "@" is a key's default value. Names of keys and
// values compare without regard to case. Every change is one locked read-modify-write that
// replaces the file atomically, so a crash or a second writer never leaves it half-written.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cbplatform/com_types.h"

namespace cb::registry {

// $CB_REGISTRY, else $XDG_DATA_HOME/cinebrix/registry.ini, else ~/.local/share/cinebrix/registry.ini.
CB_PLATFORM_API std::string FilePath();

// The keys of the registry while a change is being made.
class CB_PLATFORM_API Keys {
  public:
    virtual void SetValue(const std::string& keyPath, const std::string& valueName,
                          const std::string& value) = 0;
    // Removes the key, its values and every key below it.
    virtual void DeleteTree(const std::string& keyPath) = 0;
    virtual std::optional<std::string> GetValue(const std::string& keyPath,
                                                const std::string& valueName) const = 0;

  protected:
    ~Keys() = default;
};

// Runs change on the current keys and stores the result; false (nothing written) when the
// file could not be locked, read or replaced.
CB_PLATFORM_API bool Update(const std::function<void(Keys&)>& change);

// A value's text; valueName "" is the key's default value.
CB_PLATFORM_API std::optional<std::string> GetValue(const std::string& keyPath,
                                                    const std::string& valueName = "");

}  // namespace cb::registry
