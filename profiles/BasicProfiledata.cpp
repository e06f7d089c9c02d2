#include "profiles/BasicProfiledata.h"

#include <sys/stat.h>

#include <cstdio>

#include "profiles/FieldTables.h"
#include "profiles/JsonAccess.h"

namespace profiles {
namespace {

constexpr ByteField kLightFields[] = {
    {"SelectItem", 0, false},   {"Light", 1, false},       {"Speed", 2, false},
    {"Fx", 3, false},           {"MultiColor", 4, true},   {"Red", 5, false},
    {"Green", 6, false},        {"Blue", 7, false},        {"ZZCCLedMode", 11, false},
    {"CustomGroup", 12, false}, {"OldLedmode", 13, false},
};

constexpr ByteField kAudioLightFields[] = {
    {"AudioMode", 0, false}, {"BkColorR", 1, false},   {"BkColorG", 2, false},
    {"BkColorB", 3, false},  {"FgColorR", 4, false},   {"FgColorG", 5, false},
    {"FgColorB", 6, false},  {"7ColorFlags", 7, true}, {"ColorTypeFlags", 8, true},
};

constexpr ByteField kLightListFields[] = {
    {"LEDREGMode", 0, false},  {"LEDBrightness", 1, false}, {"LEDSpeed", 2, false},
    {"LEDDirection", 3, true}, {"LEDMultiColor", 4, true},  {"red", 5, false},
    {"green", 6, false},       {"blue", 7, false},
};

// Custom effect steps read every field as an integer.
constexpr ByteField kEffectStepFields[] = {
    {"LEDREGMode", 0, false},   {"LEDBrightness", 1, false}, {"LEDSpeed", 2, false},
    {"LEDDirection", 3, false}, {"LEDMultiColor", 4, false}, {"red", 5, false},
    {"green", 6, false},        {"blue", 7, false},
};

LightListEntry LightListEntryOf(const Json::Value& element) {
    auto b = ReadByteFields<8>(element, kLightListFields);
    LightListEntry e{b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], 0};
    e.present = element.isNull() ? 0 : 1;
    return e;
}

LightEffectStep EffectStepOf(const Json::Value& element) {
    auto b = ReadByteFields<8>(element, kEffectStepFields);
    LightEffectStep s{b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], 0, 0};
    s.time = static_cast<std::int32_t>(json::IntMember(element, "Time"));
    s.cyle = static_cast<std::int32_t>(json::IntMember(element, "Cyle"));
    return s;
}

std::vector<KeyRecord> ReadKeyList(const Json::Value& root) {
    const Json::Value& keys = json::Member(root, "KeyList");
    std::vector<KeyRecord> list;
    list.reserve(json::Size(keys));
    for (Json::ArrayIndex i = 0; i < json::Size(keys); ++i) {
        const Json::Value& key = keys[i];
        KeyRecord r;
        r.index = r.defaultIndex = static_cast<std::uint16_t>(i);
        r.SetAssignment(json::IntMember(key, "Assignment"));
        r.SetDefaultAssignment(json::IntMember(key, "DefaultAssignment"));
        list.push_back(r);
    }
    return list;
}

void WriteKeyList(Json::Value& root, const std::vector<KeyRecord>& list) {
    Json::Value& keys = json::ObjectMember(root, "KeyList");
    for (std::size_t i = 0; i < list.size(); ++i) {
        Json::Value& key = json::ArrayElement(keys, static_cast<Json::ArrayIndex>(i));
        json::ObjectMember(key, "Assignment") = json::IntValue(list[i].Assignment());
    }
}

// A file that exists but does not parse (a hand edit gone wrong) is about to
// be replaced by the factory settings: keep it beside as ".unreadable".
void KeepUnreadableFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) return;
    ::rename(path.c_str(), (path + ".unreadable").c_str());
}

Json::Value& AsObject(Json::Value& root) {
    if (!root.isObject()) root = Json::Value(Json::objectValue);
    return root;
}

}  // namespace

void CBasicProfiledata::SetProfilePath(const std::string& path) {
    if (!path.empty()) profilePath_ = path;
}

void CBasicProfiledata::SetDefaultProfilePath(const std::string& path) {
    if (!path.empty()) defaultProfilePath_ = path;
}

void CBasicProfiledata::SetDeviceIndex(int index) {
    if (index >= 0 && index <= kMaxDeviceIndex) deviceIndex_ = index;
}

Json::Value CBasicProfiledata::DeviceEntryOf(const Json::Value& file) const {
    const Json::Value& entry =
        json::Element(json::Member(file, "Device"), static_cast<Json::ArrayIndex>(deviceIndex_));
    // An entry of any other type is as good as missing.
    return entry.isObject() ? entry : Json::Value();
}

Json::Value CBasicProfiledata::LoadInto(Json::Value& root, const std::string& path) {
    Json::Value file = jsonFile_.ReadJsonFile(path);
    root = DeviceEntryOf(file);
    if (root.isNull()) {
        if (file.isNull()) KeepUnreadableFile(path);
        root = DeviceEntryOf(jsonFile_.ReadJsonFile(defaultProfilePath_));
        if (!file.isObject()) file = Json::Value(Json::objectValue);
        json::ArrayElement(json::ObjectMember(file, "Device"),
                           static_cast<Json::ArrayIndex>(deviceIndex_)) = root;
        jsonFile_.WriteJsonFile(path, file);
    }
    return root;
}

Json::Value CBasicProfiledata::LoadProfile(const std::string& path) {
    return LoadInto(activeRoot_, path);
}

Json::Value CBasicProfiledata::LoadSecondaryProfile(const std::string& path) {
    return LoadInto(secondaryRoot_, path);
}

bool CBasicProfiledata::UseProfileTree(const Json::Value& file) {
    activeRoot_ = DeviceEntryOf(file);
    return !activeRoot_.isNull();
}

Json::Value& CBasicProfiledata::MutableRoot() {
    return AsObject(activeRoot_);
}

Json::Value CBasicProfiledata::LoadLightConfig(const std::string& path) {
    lightConfig_ = jsonFile_.ReadJsonFile(path);
    lightConfigLoadedFrom_ = path;
    return lightConfig_;
}

std::string CBasicProfiledata::ResolveEffectPath(const std::string& name) const {
    if (!name.empty() && name.front() == '/') return name;
    // Relative names belong to the device folder, where the light
    // configuration lives, whatever folder the program was started from.
    const std::string& config =
        lightConfigLoadedFrom_.empty() ? lightConfigPath_ : lightConfigLoadedFrom_;
    const std::size_t slash = config.rfind('/');
    if (slash == std::string::npos) return name;
    return config.substr(0, slash + 1) + name;
}

std::vector<LightEffectStep> CBasicProfiledata::GetCustomEffectList() {
    effectSteps_.clear();
    if (!lightConfig_.isNull()) {
        const Json::Value& effects = json::Element(json::Member(lightConfig_, "LightInfo"),
                                                   static_cast<Json::ArrayIndex>(deviceIndex_));
        const std::string guid =
            json::String(json::Member(json::Element(effects, light_.selectItem), "Guid"));
        const Json::Value effect = jsonFile_.ReadJsonFile(ResolveEffectPath(guid + ".light"));
        const Json::Value& steps = json::Member(effect, "LEDEffectList");
        for (Json::ArrayIndex i = 0; i < json::Size(steps); ++i)
            effectSteps_.push_back(EffectStepOf(steps[i]));
    }
    return effectSteps_;
}

LightInfo CBasicProfiledata::GetLightInfo() {
    const Json::Value& section = json::Member(activeRoot_, "LightInfo");
    light_ = section.isObject()
                 ? LightInfo::FromBytes(ReadByteFields<LightInfo::kSize>(section, kLightFields))
                 : defaultLight_;
    return light_;
}

void CBasicProfiledata::SetLightInfo(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2,
                                     std::uint32_t w3) {
    SetLightInfo(LightInfo::FromWords(w0, w1, w2, w3));
}

void CBasicProfiledata::SetLightInfo(const LightInfo& info) {
    light_ = info;
    WriteByteFields(json::ObjectMember(MutableRoot(), "LightInfo"), kLightFields, info.Bytes());
}

AudioLightInfo CBasicProfiledata::GetAudioLightInfo() {
    const Json::Value& section = json::Member(activeRoot_, "AudioLightInfo");
    audioLight_ = section.isObject()
                      ? AudioLightInfo::FromBytes(
                            ReadByteFields<AudioLightInfo::kSize>(section, kAudioLightFields))
                      : AudioLightInfo{};
    return audioLight_;
}

void CBasicProfiledata::SetAudioLightInfo(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2) {
    SetAudioLightInfo(AudioLightInfo::FromWords(w0, w1, w2));
}

void CBasicProfiledata::SetAudioLightInfo(const AudioLightInfo& info) {
    audioLight_ = info;
    WriteByteFields(json::ObjectMember(MutableRoot(), "AudioLightInfo"), kAudioLightFields,
                    info.Bytes());
}

std::vector<LightListEntry> CBasicProfiledata::GetLightList() {
    const Json::Value& list = json::Member(activeRoot_, "LightList");
    lightList_.clear();
    for (Json::ArrayIndex i = 0; i < json::Size(list); ++i)
        lightList_.push_back(LightListEntryOf(list[i]));
    return lightList_;
}

std::vector<KeyRecord> CBasicProfiledata::GetKeyList() {
    keyList_ = ReadKeyList(activeRoot_);
    return keyList_;
}

void CBasicProfiledata::SetKeyList(const std::vector<KeyRecord>& list) {
    keyList_ = list;
    WriteKeyList(MutableRoot(), list);
}

std::vector<KeyRecord> CBasicProfiledata::GetSecondaryKeyList() {
    secondaryKeyList_ = ReadKeyList(secondaryRoot_);
    return secondaryKeyList_;
}

void CBasicProfiledata::SetSecondaryKeyList(const std::vector<KeyRecord>& list) {
    secondaryKeyList_ = list;
    WriteKeyList(AsObject(secondaryRoot_), list);
}

bool CBasicProfiledata::Save() {
    return WriteDeviceEntry(activeRoot_, profilePath_);
}

bool CBasicProfiledata::WriteDeviceEntry(const Json::Value& entry, const std::string& path) {
    Json::Value file = jsonFile_.ReadJsonFile(path);
    if (!file.isObject()) file = Json::Value(Json::objectValue);
    json::ArrayElement(json::ObjectMember(file, "Device"),
                       static_cast<Json::ArrayIndex>(deviceIndex_)) = entry;
    return jsonFile_.WriteJsonFile(path, file);
}

bool CBasicProfiledata::SaveSecondaryTo(const std::string& path) {
    return WriteDeviceEntry(secondaryRoot_, path);
}

bool CBasicProfiledata::WriteWholeFile(const Json::Value& value, const std::string& path) {
    return jsonFile_.WriteJsonFile(path, value);
}

}  // namespace profiles
