#pragma once
// The name lists a device object shows on its page: macro names from its
// macro list file, built-in lighting modes and zone names from the default
// data's "default_light.json", and custom effect names from its light
// configuration file.
#include <string>
#include <vector>

namespace profiles {

struct BuiltInLightMode {
    std::string name;     // text of the lighting editor's mode list
    bool visible = true;  // whether the mode is offered
    int code = 0;         // the mode number the device is sent
};

struct ConfigLists {
    std::vector<std::string> macroNames;
    std::vector<BuiltInLightMode> modes;
    std::vector<std::string> zoneNames;
    std::vector<std::string> customEffectNames;

    // The mode code at a mode index; -1 when the list has no such mode.
    int ModeCode(int modeIndex) const;
    // The mode index of a code; -1 when no built-in mode has it.
    int ModeIndexOf(int code) const;
};

struct ConfigListFiles {
    std::string macroList;     // "macro.config" or "korva_macro.config" in the device folder
    std::string defaultLight;  // "default_light.json" in the default data folder
    std::string lightConfig;   // "korva_light.config" in the device folder
    int lightTable = 0;        // keyboard 0, mouse 1, mouse pad 2, headset 3
};

// Refreshes lists from the files. The macro names are emptied and refilled;
// each other list is replaced only when the file has its element for the
// light table, and otherwise keeps its previous content.
void LoadConfigLists(ConfigLists& lists, const ConfigListFiles& files);

}  // namespace profiles
