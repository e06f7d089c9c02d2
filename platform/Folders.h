#pragma once
// Where the program finds its own files and where it keeps the user's.
// Every folder string ends with "/".
#include <string>

namespace platform {

// The folder with skin/, Font/, DefaultData/: the executable's folder, or
// ../share/brommelivantos/ beside it once installed. BROMMELIVANTOS_PROGRAM_DIR
// overrides it (tests).
std::string ProgramFolder();
// $XDG_DATA_HOME or ~/.local/share/
std::string DataHomeFolder();
// $XDG_CONFIG_HOME or ~/.config/
std::string ConfigHomeFolder();
// $XDG_RUNTIME_DIR, or the temporary folder when it is not set.
std::string RuntimeFolder();
// $TMPDIR or /tmp/
std::string TempFolder();

// Converts "\" separators to "/" (skin names are written with either).
std::string ToSlashPath(std::string path);
// Ensures a trailing "/".
std::string WithTrailingSlash(std::string folder);
// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& folder);

}  // namespace platform
