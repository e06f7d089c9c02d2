#pragma once
// A fresh folder under the temporary folder, removed with its content.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

class TempDir {
  public:
    TempDir() {
        std::string pattern =
            std::filesystem::temp_directory_path().string() + "/brom-profiles-XXXXXX";
        path_ = ::mkdtemp(pattern.data()) ? pattern + "/" : std::string();
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Folder path, ending with "/".
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(File(name), std::ios::binary) << text;
        return File(name);
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

  private:
    std::string path_;
};
