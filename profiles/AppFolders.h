#pragma once
// The folders of the program's data. Every folder string ends with "/".
//
//   application data root  $XDG_DATA_HOME/BROMMELIVANTOS/   (created)
//   device folder          root + device folder name + "/" (created)
//   default data folder    program folder + "DefaultData/"  (read only)
//   update folder          $XDG_CACHE_HOME/BROMMELIVANTOS/UpdateData/ (created)
#include <string>

namespace profiles {

inline constexpr const char* kAppDataFolderName = "BROMMELIVANTOS";

std::string GetAppDataRoot();
// deviceFolderName is the catalogue's device name ("mouse", "keyboard",
// "MousePad", "HD").
std::string GetDeviceFolder(const std::string& deviceFolderName);
// The same path without creating anything (for viewers).
std::string DeviceFolderPath(const std::string& deviceFolderName);
std::string GetDefaultDataFolder();
// The kind's factory profile: default data folder + name + ".Json".
std::string GetDefaultProfilePath(const std::string& deviceFolderName);
// Where downloaded installers are kept: a per-user folder, so that no other
// user can place or swap a file that the program later runs.
std::string GetUpdateFolder();

}  // namespace profiles
