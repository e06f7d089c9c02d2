#include "profiles/ColorOptions.h"

#include <cstdio>
#include <utility>

#include "profiles/AppFolders.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

namespace profiles {
namespace {

constexpr const char* kInfoKey = "coloroptioninfo";
constexpr const char* kPresetsKey = "palletDialogcoloroption";
constexpr const char* kPresetIndexKey = "palletDialogcoloroption_selectitem";
constexpr const char* kCollectionKey = "palletDialogcollectcoloroption";
constexpr const char* kCollectionIndexKey = "palletDialogcollectcoloroption_selectitem";
constexpr const char* kColorKey = "color";
constexpr const char* kUserDataKey = "UserData";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The colour of an element with a string "color", if any.
std::optional<std::uint32_t> ElementColor(const Json::Value& element) {
    const Json::Value& color = json::Member(element, kColorKey);
    if (!color.isString()) return std::nullopt;
    return ParseColorText(color.asString());
}

// The integer member when it lies in 0..kColorSlotCount-1.
std::optional<int> SlotIndexMember(const Json::Value& info, const char* key) {
    const Json::Value& v = json::Member(info, key);
    if (!v.isNumeric() || v.isBool()) return std::nullopt;
    const std::int64_t n = json::Int(v, -1);
    if (n < 0 || n >= kColorSlotCount) return std::nullopt;
    return static_cast<int>(n);
}

}  // namespace

std::string ColorText(std::uint32_t argb) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(argb));
    return text;
}

std::uint32_t ParseColorText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const bool prefixed = text.size() > i + 2 && text[i] == '0' &&
                          (text[i + 1] == 'x' || text[i + 1] == 'X') && HexDigit(text[i + 2]) >= 0;
    if (prefixed) i += 2;
    std::uint64_t value = 0;
    for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
        value = value * 16 + static_cast<std::uint64_t>(HexDigit(text[i]));
        if (value > 0xFFFFFFFFull) return 0xFFFFFFFFu;
    }
    return static_cast<std::uint32_t>(value);
}

std::string ColorOptionsUserPath() {
    return GetAppDataRoot() + kColorOptionFileName;
}

std::string ColorOptionsDefaultPath() {
    return GetDefaultDataFolder() + kColorOptionFileName;
}

bool ColorSlot::Filled() const {
    return userData == "1";
}

CColorOptionFile::CColorOptionFile(std::string userPath, std::string defaultPath)
    : userPath_(std::move(userPath)), defaultPath_(std::move(defaultPath)) {}

bool CColorOptionFile::IsColorFileValue(const Json::Value& root) {
    return root.isObject();
}

Json::Value CColorOptionFile::EnsureUserFile() const {
    const CJsonFile file;
    Json::Value user = file.ReadJsonFile(userPath_);
    if (IsColorFileValue(user)) return user;
    Json::Value fallback = file.ReadJsonFile(defaultPath_);
    if (!IsColorFileValue(fallback)) fallback = Json::Value();
    file.WriteJsonFile(userPath_, fallback);
    return fallback;
}

ColorOptions CColorOptionFile::Decode(const Json::Value& root) {
    ColorOptions out;
    const Json::Value& info = json::Member(root, kInfoKey);
    if (!info.isObject()) return out;
    out.presetIndex = SlotIndexMember(info, kPresetIndexKey);
    const Json::Value& presets = json::Member(info, kPresetsKey);
    const Json::Value& collection = json::Member(info, kCollectionKey);
    for (int i = 0; i < kColorSlotCount; ++i) {
        const auto index = static_cast<Json::ArrayIndex>(i);
        out.presets[index] = ElementColor(json::Element(presets, index));
        const Json::Value& element = json::Element(collection, index);
        if (const auto color = ElementColor(element))
            out.collection[index] =
                ColorSlot{*color, json::String(json::Member(element, kUserDataKey))};
    }
    const Json::Value& collectionIndex = json::Member(info, kCollectionIndexKey);
    out.hasCollectionIndex = collectionIndex.isNumeric() && !collectionIndex.isBool();
    return out;
}

ColorOptions CColorOptionFile::Load() const {
    return Decode(CJsonFile().ReadJsonFile(userPath_));
}

Json::Value CColorOptionFile::ReadForUpdate() const {
    Json::Value root = CJsonFile().ReadJsonFile(userPath_);
    if (!root.isObject()) root = Json::Value(Json::objectValue);
    return root;
}

bool CColorOptionFile::SavePresets(
    const std::array<std::optional<std::uint32_t>, kColorSlotCount>& colors,
    int presetIndex) const {
    Json::Value root = ReadForUpdate();
    Json::Value& info = json::ObjectMember(root, kInfoKey);
    for (int i = 0; i < kColorSlotCount; ++i) {
        const auto index = static_cast<Json::ArrayIndex>(i);
        if (!colors[index]) continue;
        Json::Value& element = json::ArrayElement(json::ObjectMember(info, kPresetsKey), index);
        json::ObjectMember(element, kColorKey) = ColorText(*colors[index]);
    }
    json::ObjectMember(info, kPresetIndexKey) = json::IntValue(presetIndex);
    return CJsonFile().WriteJsonFile(userPath_, root);
}

bool CColorOptionFile::SaveCollection(
    const std::array<std::optional<ColorSlot>, kColorSlotCount>& slots, int collectionIndex) const {
    Json::Value root = ReadForUpdate();
    Json::Value& info = json::ObjectMember(root, kInfoKey);
    for (int i = 0; i < kColorSlotCount; ++i) {
        const auto index = static_cast<Json::ArrayIndex>(i);
        if (!slots[index]) continue;
        Json::Value& element = json::ArrayElement(json::ObjectMember(info, kCollectionKey), index);
        json::ObjectMember(element, kColorKey) = ColorText(slots[index]->color);
        json::ObjectMember(element, kUserDataKey) = slots[index]->userData;
    }
    json::ObjectMember(info, kCollectionIndexKey) = json::IntValue(collectionIndex);
    return CJsonFile().WriteJsonFile(userPath_, root);
}

}  // namespace profiles
