#include "platform/Folders.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platform {
namespace fs = std::filesystem;
namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

std::string HomeFolder() { return WithTrailingSlash(EnvOr("HOME", "/tmp")); }

std::string ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    return WithTrailingSlash(exe.parent_path().string());
}

}  // namespace

std::string ToSlashPath(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

std::string WithTrailingSlash(std::string folder) {
    folder = ToSlashPath(std::move(folder));
    if (folder.empty() || folder.back() != '/') folder.push_back('/');
    return folder;
}

std::string ProgramFolder() {
    if (const char* v = std::getenv("BROMMELIVANTOS_PROGRAM_DIR"); v && *v) return WithTrailingSlash(v);
    const std::string exeDir = ExecutableFolder();
    std::error_code ec;
    if (fs::exists(exeDir + "skin", ec) || fs::exists(exeDir + "DefaultData", ec)) return exeDir;
    const std::string shared = exeDir + "../share/brommelivantos/";
    if (fs::exists(shared, ec)) return WithTrailingSlash(fs::weakly_canonical(shared, ec).string());
    return exeDir;
}

std::string DataHomeFolder() { return WithTrailingSlash(EnvOr("XDG_DATA_HOME", HomeFolder() + ".local/share")); }

std::string ConfigHomeFolder() { return WithTrailingSlash(EnvOr("XDG_CONFIG_HOME", HomeFolder() + ".config")); }

std::string TempFolder() { return WithTrailingSlash(EnvOr("TMPDIR", "/tmp")); }

std::string RuntimeFolder() { return WithTrailingSlash(EnvOr("XDG_RUNTIME_DIR", TempFolder())); }

bool MakeFolders(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

}  // namespace platform
