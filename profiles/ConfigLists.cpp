#include "profiles/ConfigLists.h"

#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

namespace profiles {
namespace {

// The element of table t in an array of per-table arrays; null when absent
// or not an array.
const Json::Value& TableOf(const Json::Value& file, const char* key, int table) {
    if (table < 0) return Json::Value::nullSingleton();
    const Json::Value& element =
        json::Element(json::Member(file, key), static_cast<Json::ArrayIndex>(table));
    return element.isArray() ? element : Json::Value::nullSingleton();
}

std::vector<std::string> NamesOf(const Json::Value& list, const char* key) {
    std::vector<std::string> names;
    for (Json::ArrayIndex i = 0; i < json::Size(list); ++i)
        names.push_back(json::String(json::Member(list[i], key)));
    return names;
}

std::vector<BuiltInLightMode> ModesOf(const Json::Value& list) {
    std::vector<BuiltInLightMode> modes;
    for (Json::ArrayIndex i = 0; i < json::Size(list); ++i) {
        const Json::Value& e = list[i];
        modes.push_back({json::String(json::Member(e, "LightName")), json::BoolMember(e, "visible"),
                         static_cast<int>(json::IntMember(e, "value"))});
    }
    return modes;
}

}  // namespace

int ConfigLists::ModeCode(int modeIndex) const {
    if (modeIndex < 0 || static_cast<std::size_t>(modeIndex) >= modes.size()) return -1;
    return modes[static_cast<std::size_t>(modeIndex)].code;
}

int ConfigLists::ModeIndexOf(int code) const {
    for (std::size_t i = 0; i < modes.size(); ++i) {
        if (modes[i].code == code) return static_cast<int>(i);
    }
    return -1;
}

void LoadConfigLists(ConfigLists& lists, const ConfigListFiles& files) {
    CJsonFile jsonFile;
    const Json::Value macros = jsonFile.ReadJsonFile(files.macroList);
    lists.macroNames = NamesOf(json::Member(macros, "MacroInfo"), "MacroName");

    const Json::Value light = jsonFile.ReadJsonFile(files.defaultLight);
    const Json::Value& modes = TableOf(light, "DefaultLightName", files.lightTable);
    if (!modes.isNull()) lists.modes = ModesOf(modes);
    const Json::Value& zones = TableOf(light, "AreaLightName", files.lightTable);
    if (!zones.isNull()) lists.zoneNames = NamesOf(zones, "LightName");

    const Json::Value config = jsonFile.ReadJsonFile(files.lightConfig);
    const Json::Value& effects = TableOf(config, "LightInfo", files.lightTable);
    if (!effects.isNull()) lists.customEffectNames = NamesOf(effects, "LightName");
}

}  // namespace profiles
