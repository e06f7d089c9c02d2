#include "devices/macro/MacroFiles.h"

#include <cctype>

#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

namespace devices::macro {
namespace json = profiles::json;

std::vector<MacroListEntry> MacroListFromJson(const Json::Value& file) {
    const Json::Value& list = json::Member(file, "MacroInfo");
    std::vector<MacroListEntry> entries;
    entries.reserve(json::Size(list));
    for (Json::ArrayIndex i = 0; i < json::Size(list); ++i) {
        const Json::Value& e = list[i];
        entries.push_back(
            {json::String(json::Member(e, "MacroName")), json::String(json::Member(e, "Guid"))});
    }
    return entries;
}

std::optional<std::vector<MacroListEntry>> ReadMacroList(const std::string& path) {
    const Json::Value file = profiles::CJsonFile().ReadJsonFile(path);
    if (file.isNull()) return std::nullopt;
    return MacroListFromJson(file);
}

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == '\0') return false;
    return true;
}

std::string MacroFilePath(const std::string& folder, const std::string& guid) {
    return IsPlainFileName(guid) ? folder + guid + ".mac" : std::string();
}

uint32_t ParseDelay(const Json::Value& delay) {
    constexpr uint32_t kMax = 0xFFFF;
    if (delay.isString()) {
        const std::string text = delay.asString();
        uint32_t value = 0;
        for (char c : text) {
            if (!std::isdigit(static_cast<unsigned char>(c))) break;
            value = value * 10 + static_cast<uint32_t>(c - '0');
            if (value > kMax) return kMax;
        }
        return value;
    }
    const int64_t n = json::Int(delay, 0);
    if (n <= 0) return 0;
    return n > kMax ? kMax : static_cast<uint32_t>(n);
}

MacroImageEvent EventFromJson(const Json::Value& event) {
    MacroImageEvent e;
    e.type = static_cast<uint8_t>(json::ByteMember(event, "Type") & 0x7F);
    e.press = json::String(json::Member(event, "Action")) == "down";
    e.code = json::ByteMember(event, "Button");
    e.delayMs = ParseDelay(json::Member(event, "Delay"));
    return e;
}

std::vector<MacroImageEvent> MacroEventsFromJson(const Json::Value& file) {
    const Json::Value& list = json::Member(file, "Events");
    std::vector<MacroImageEvent> events;
    events.reserve(json::Size(list));
    for (Json::ArrayIndex i = 0; i < json::Size(list); ++i)
        events.push_back(EventFromJson(list[i]));
    return events;
}

std::vector<MacroImageEvent> ReadMacroEvents(const std::string& path) {
    if (path.empty()) return {};
    return MacroEventsFromJson(profiles::CJsonFile().ReadJsonFile(path));
}

}  // namespace devices::macro
