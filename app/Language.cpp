#include "app/Language.h"

#include <json/value.h>

#include "app/IniFile.h"
#include "platform/Debug.h"
#include "profiles/AppFolders.h"
#include "profiles/JsonFile.h"
#include "ui/Fonts.h"
#include "ui/Resources.h"

namespace app {

namespace {
constexpr const char* kLanguageValue = "LANGUAGE";
constexpr const char* kGravelin = "Gravelin";

struct FaceRow {
    int index;
    const char* face;
};
constexpr FaceRow kFaces[] = {
    {0, "Times New Roman"},
    {1, "Times New Roman"},
    {2, "Noto Sans CJK TC Regular"},
    {15, "Noto Sans Thai"},
};
}  // namespace

std::string LanguageConfigPath() {
    return profiles::GetDefaultDataFolder() + "Language.config";
}

std::vector<LanguageEntry> ReadLanguageConfig() {
    const Json::Value root = profiles::CJsonFile().ReadJsonFile(LanguageConfigPath());
    std::vector<LanguageEntry> out;
    if (!root.isObject() || !root["Language"].isArray()) return out;
    for (const Json::Value& e : root["Language"]) {
        if (!e.isObject()) continue;
        LanguageEntry entry;
        entry.name = e["Language_name"].isString() ? e["Language_name"].asString() : "";
        entry.file = e["Language_file"].isString() ? e["Language_file"].asString() : "";
        entry.id = e["Language_ID"].isInt() ? e["Language_ID"].asInt() : 0;
        entry.text = e["Language_text"].isString() ? e["Language_text"].asString() : "";
        out.push_back(std::move(entry));
    }
    return out;
}

int ReadLanguageIndex() {
    const auto stored = CIniFile(RegistryFilePath()).Read(RegistryKeyName(), kLanguageValue);
    if (!stored) return 0;
    char* end = nullptr;
    const long id = std::strtol(stored->c_str(), &end, 10);
    if (end == stored->c_str()) return 0;
    const std::vector<LanguageEntry> list = ReadLanguageConfig();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].id == id) return int(i);
    return 0;
}

bool SaveLanguageId(int id) {
    const bool ok =
        CIniFile(RegistryFilePath()).Write(RegistryKeyName(), kLanguageValue, std::to_string(id));
    if (ok) platform::DebugOut("写成功！");
    return ok;
}

std::string FontFaceFor(int index) {
    for (const FaceRow& row : kFaces)
        if (row.index == index) return row.face;
    return kGravelin;
}

void CLanguage::ApplyFace(int index) {
    const std::string face = FontFaceFor(index);
    // The indexes without a face of their own share "Gravelin": no rebuild
    // when it is already in use.
    if (face == kGravelin && face_ == kGravelin) return;
    face_ = face;
    ui::CFontTable::Instance().LoadStandardTable(face);
    ++fontRebuilds_;
}

bool CLanguage::ApplyLanguage(int index) {
    if (index == current_) return false;
    ApplyFace(index);
    current_ = index;
    const std::vector<LanguageEntry> list = ReadLanguageConfig();
    if (index < 0 || size_t(index) >= list.size()) return true;
    const LanguageEntry& entry = list[size_t(index)];
    ui::CResourceManager& rm = ui::CResourceManager::Instance();
    rm.SetLanguage(entry.name);
    rm.LoadLanguage(entry.file);
    rm.ReloadText();
    SaveLanguageId(entry.id);
    return true;
}

}  // namespace app
