#include "profiles/Ze6533Profiledata.h"

#include <algorithm>

#include "profiles/JsonAccess.h"

namespace profiles {
namespace {

constexpr const char* kSystemSetKeys[8] = {"MagicEnable",        "MagicType",      "EqType",
                                           "CustomEqSeletIndex", "MicInSelect",    "MicInValue",
                                           "MicMoniterSelect",   "MicMoniterValue"};

// Reads band b of a curve array, creating a missing or malformed band as
// {"value": 0}.
int ReadBand(Json::Value& curve, int b) {
    Json::Value& band = json::ArrayElement(curve, static_cast<Json::ArrayIndex>(b));
    const Json::Value& value = json::Member(band, "value");
    if (!value.isNumeric()) {
        json::ObjectMember(band, "value") = json::IntValue(0);
        return 0;
    }
    return static_cast<int>(json::Int(value));
}

// The ten bands of curves[index], created where missing.
std::vector<int> ReadCurve(Json::Value& curves, int index) {
    Json::Value& curve = json::ArrayElement(curves, static_cast<Json::ArrayIndex>(index));
    if (!curve.isArray()) curve = Json::Value(Json::arrayValue);
    std::vector<int> values(CZe6533Profiledata::kBands);
    for (int b = 0; b < CZe6533Profiledata::kBands; ++b)
        values[static_cast<std::size_t>(b)] = ReadBand(curve, b);
    return values;
}

void WriteCurve(Json::Value& curves, int index, const CZe6533Profiledata::Bands& values) {
    Json::Value& curve = json::ArrayElement(curves, static_cast<Json::ArrayIndex>(index));
    for (int b = 0; b < CZe6533Profiledata::kBands; ++b) {
        Json::Value& band = json::ArrayElement(curve, static_cast<Json::ArrayIndex>(b));
        json::ObjectMember(band, "value") = json::IntValue(values[static_cast<std::size_t>(b)]);
    }
}

bool IsCustomIndex(int index) {
    return index >= 0 && index < CZe6533Profiledata::kMaxCustomEqualisers;
}

}  // namespace

std::array<std::int32_t, 8> CZe6533Profiledata::GetSystemSetStages() {
    const Json::Value& section = json::Member(GetActiveRoot(), "SystemSetStages");
    for (std::size_t i = 0; i < 8; ++i) {
        systemSetStages_[i] =
            static_cast<std::int32_t>(json::IntMember(section, kSystemSetKeys[i]));
    }
    return systemSetStages_;
}

void CZe6533Profiledata::SetSystemSetStages(const std::array<std::int32_t, 8>& values) {
    systemSetStages_ = values;
    Json::Value& section = json::ObjectMember(MutableRoot(), "SystemSetStages");
    for (std::size_t i = 0; i < 8; ++i)
        json::ObjectMember(section, kSystemSetKeys[i]) = json::IntValue(values[i]);
}

int CZe6533Profiledata::NormalisePreset(int preset) {
    return (preset <= 0 || preset > kCustomEqPreset) ? 1 : preset;
}

std::vector<int> CZe6533Profiledata::GetEQValues(int preset) {
    preset = NormalisePreset(preset);
    if (preset == kCustomEqPreset) {
        values_.clear();
    } else {
        values_ = ReadCurve(json::ObjectMember(MutableRoot(), "EQHzValueInfo"), preset);
    }
    return values_;
}

void CZe6533Profiledata::SetEQValues(int preset, const Bands& values) {
    preset = NormalisePreset(preset);
    if (preset == kCustomEqPreset) return;
    WriteCurve(json::ObjectMember(MutableRoot(), "EQHzValueInfo"), preset, values);
}

std::vector<std::string> CZe6533Profiledata::GetCustomEQNames() {
    const Json::Value& list = json::Member(GetActiveRoot(), "CustomEQNameInfo");
    std::vector<std::string> names;
    for (Json::ArrayIndex i = 0; i < json::Size(list); ++i)
        names.push_back(json::String(json::Member(list[i], "Name")));
    return names;
}

void CZe6533Profiledata::SetCustomEQNames(const std::vector<std::string>& names) {
    Json::Value list(Json::arrayValue);
    const std::size_t n = std::min(names.size(), static_cast<std::size_t>(kMaxCustomEqualisers));
    for (std::size_t i = 0; i < n; ++i) {
        Json::Value item(Json::objectValue);
        item["Name"] = names[i];
        list.append(item);
    }
    json::ObjectMember(MutableRoot(), "CustomEQNameInfo") = list;
}

std::vector<int> CZe6533Profiledata::GetCustomEQValues(int index) {
    if (!IsCustomIndex(index)) {
        values_.assign(kBands, 0);
    } else {
        values_ = ReadCurve(json::ObjectMember(MutableRoot(), "CustomEQHzValueInfo"), index);
    }
    return values_;
}

void CZe6533Profiledata::SetCustomEQValues(int index, const Bands& values) {
    if (!IsCustomIndex(index)) return;
    WriteCurve(json::ObjectMember(MutableRoot(), "CustomEQHzValueInfo"), index, values);
}

}  // namespace profiles
