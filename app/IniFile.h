#pragma once
// Small INI files ("[section]" and "key=value" lines), read whole and written
// atomically. They hold the language choice (in place of the registry) and
// the skin choice "main.ini".
#include <map>
#include <optional>
#include <string>

namespace app {

class CIniFile {
  public:
    explicit CIniFile(std::string path) : path_(std::move(path)) {}

    std::optional<std::string> Read(const std::string& section, const std::string& key) const;
    // Replaces one value and rewrites the file; false when it could not be written.
    bool Write(const std::string& section, const std::string& key, const std::string& value);
    const std::string& Path() const { return path_; }

  private:
    using Sections = std::map<std::string, std::map<std::string, std::string>>;
    Sections Load() const;
    std::string path_;
};

// The registry stand-in: $XDG_CONFIG_HOME/BROMMELIVANTOS/registry.ini, the
// section named like the registry key ("SOFTWARE\BROMMELIVANTOS").
std::string RegistryFilePath();
std::string RegistryKeyName();

}  // namespace app
