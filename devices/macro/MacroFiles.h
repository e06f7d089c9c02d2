#pragma once
// Reading the files a device uploads macros from: the macro list file
// ("macro.config": "MacroInfo"[i] = {"MacroName", "Guid"}) and the event files
// (a macro "Guid" + ".mac", a fire-key gun "ShootData_g.Shoot"), whose
// "Events" are objects {"Type", "Action", "Button", "Delay"}.
//
// The files come from outside (hand edits, imports): every member of the
// wrong type reads as missing, numbers are cut to their field, and a file
// that cannot be read gives an empty answer. Nothing here throws.
#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devices/MacroImage.h"

namespace devices::macro {

struct MacroListEntry {
    std::string name;
    std::string guid;
};

// The "MacroInfo" entries in list order; nullopt when the file is missing or
// not JSON (a list without "MacroInfo" is an empty list).
std::optional<std::vector<MacroListEntry>> ReadMacroList(const std::string& path);
std::vector<MacroListEntry> MacroListFromJson(const Json::Value& file);

// Whether a "Guid" can name a file of the device folder: not empty, no
// folder separators, not "." or "..".
bool IsPlainFileName(const std::string& name);

// The path of a macro's event file in a folder ending with "/"; empty when
// the identifier is not a plain file name.
std::string MacroFilePath(const std::string& folder, const std::string& guid);

// "Delay" as a string of digits or a number, 0..65535 (larger values are held
// at 65535, negative or non-numeric ones read as 0).
uint32_t ParseDelay(const Json::Value& delay);

// One event: type byte (bit 7 set when "Action" is "down"), code = "Button".
MacroImageEvent EventFromJson(const Json::Value& event);

// The "Events" of an event file; empty for a missing or invalid file.
std::vector<MacroImageEvent> ReadMacroEvents(const std::string& path);
std::vector<MacroImageEvent> MacroEventsFromJson(const Json::Value& file);

}  // namespace devices::macro
