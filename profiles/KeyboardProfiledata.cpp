#include "profiles/KeyboardProfiledata.h"

#include <algorithm>

#include "profiles/FieldTables.h"
#include "profiles/JsonAccess.h"

namespace profiles {
namespace {

constexpr HalfField kKeyboardSystemFields[] = {
    {"Repeat", 0, 0},       {"RepeatDelay", 0, 16}, {"Key6Flag", 1, 0},
    {"PollingRate", 1, 16}, {"WFlag", 2, 0},        {"WinFlag", 2, 16},
};

constexpr ByteField kColorFields[] = {
    {"Red", 0, false}, {"Green", 1, false}, {"Blue", 2, false}, {"Alpha", 3, false}};

Json::Value ColorValue(const CustomLightColor& c) {
    Json::Value obj(Json::objectValue);
    WriteByteFields(obj, kColorFields,
                    std::array<std::uint8_t, 4>{c.red, c.green, c.blue, c.alpha});
    return obj;
}

bool IsColor(const Json::Value& v) {
    return v.isObject();
}

}  // namespace

std::array<std::uint32_t, 3> CKeyboardProfiledata::GetSystemStages() {
    systemStages_ = {};
    ReadHalfFields(json::Member(GetActiveRoot(), "SystemStages"), kKeyboardSystemFields,
                   systemStages_);
    return systemStages_;
}

void CKeyboardProfiledata::SetSystemStages(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2) {
    systemStages_ = {w0, w1, w2};
    WriteHalfFields(json::ObjectMember(MutableRoot(), "SystemStages"), kKeyboardSystemFields,
                    systemStages_);
}

std::vector<CustomLightColor> CKeyboardProfiledata::GetCustomLightColors(int group, int count) {
    count = std::clamp(count, 0, kMaxCustomColors);
    customColors_.assign(static_cast<std::size_t>(count), CustomLightColor{});
    if (group < 0 || group >= kMaxCustomGroups) return customColors_;
    Json::Value& groups =
        json::ObjectMember(json::ObjectMember(MutableRoot(), "CustomLightMode"), "LightColorInfo");
    Json::Value& colors = json::ArrayElement(groups, static_cast<Json::ArrayIndex>(group));
    if (!colors.isArray()) colors = Json::Value(Json::arrayValue);
    for (int k = 0; k < count; ++k) {
        Json::Value& element = json::ArrayElement(colors, static_cast<Json::ArrayIndex>(k));
        if (!IsColor(element)) element = ColorValue(CustomLightColor{});
        auto b = ReadByteFields<4>(element, kColorFields);
        customColors_[static_cast<std::size_t>(k)] = {b[0], b[1], b[2], b[3]};
    }
    return customColors_;
}

void CKeyboardProfiledata::SetCustomLightColors(const std::vector<CustomLightColor>& colors,
                                                int group) {
    if (group < 0 || group >= kMaxCustomGroups) return;
    Json::Value& groups =
        json::ObjectMember(json::ObjectMember(MutableRoot(), "CustomLightMode"), "LightColorInfo");
    Json::Value& list = json::ArrayElement(groups, static_cast<Json::ArrayIndex>(group));
    const std::size_t n = std::min(colors.size(), static_cast<std::size_t>(kMaxCustomColors));
    for (std::size_t k = 0; k < n; ++k) {
        json::ArrayElement(list, static_cast<Json::ArrayIndex>(k)) = ColorValue(colors[k]);
    }
    customColors_.assign(colors.begin(), colors.begin() + static_cast<std::ptrdiff_t>(n));
}

int CKeyboardProfiledata::GetCustomLightModeGroupIndex() {
    customGroupIndex_ = static_cast<int>(json::IntMember(
        json::Member(GetActiveRoot(), "CustomLightMode"), "CustomLightModeGroupIndex"));
    return customGroupIndex_;
}

void CKeyboardProfiledata::SetCustomLightModeGroupIndex(int index) {
    customGroupIndex_ = index;
    json::ObjectMember(json::ObjectMember(MutableRoot(), "CustomLightMode"),
                       "CustomLightModeGroupIndex") = json::IntValue(index);
}

}  // namespace profiles
