#include "profiles/AppFolders.h"

#include <cstdlib>

#include "platform/Folders.h"

namespace profiles {
namespace {

// $XDG_CACHE_HOME when it is an absolute path, else ~/.cache/.
std::string CacheHomeFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/') return platform::WithTrailingSlash(cache);
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return platform::WithTrailingSlash(home) + ".cache/";
    return platform::TempFolder();
}

std::string CreatedFolder(const std::string& folder) {
    // Creation failures are not reported: later reads give null values and
    // later writes fail.
    platform::MakeFolders(folder);
    return folder;
}

}  // namespace

std::string GetAppDataRoot() {
    return CreatedFolder(platform::DataHomeFolder() + kAppDataFolderName + "/");
}

std::string DeviceFolderPath(const std::string& deviceFolderName) {
    return platform::DataHomeFolder() + kAppDataFolderName + "/" + deviceFolderName + "/";
}

std::string GetDeviceFolder(const std::string& deviceFolderName) {
    GetAppDataRoot();
    return CreatedFolder(DeviceFolderPath(deviceFolderName));
}

std::string GetDefaultDataFolder() {
    return platform::ProgramFolder() + "DefaultData/";
}

std::string GetDefaultProfilePath(const std::string& deviceFolderName) {
    return GetDefaultDataFolder() + deviceFolderName + ".Json";
}

std::string GetUpdateFolder() {
    return CreatedFolder(CacheHomeFolder() + kAppDataFolderName + "/UpdateData/");
}

}  // namespace profiles
