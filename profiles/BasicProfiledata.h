#pragma once
// CBasicProfiledata: the settings of a device's active profile as a JSON tree
// (the active root, "Device"[device index] of the profile file), converted to
// and from the fixed records the device code sends. The mouse pad uses this
// class itself; the other kinds use its children.
#include <json/value.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "profiles/JsonFile.h"
#include "profiles/ProfileRecords.h"

namespace profiles {

class CBasicProfiledata {
  public:
    // "Device" holds one entry per device; this system uses entry 0 only.
    static constexpr int kMaxDeviceIndex = 3;

    CBasicProfiledata() = default;
    virtual ~CBasicProfiledata() = default;
    CBasicProfiledata(const CBasicProfiledata&) = delete;
    CBasicProfiledata& operator=(const CBasicProfiledata&) = delete;

    // Paths. Empty paths are ignored by the two profile path setters.
    void SetProfilePath(const std::string& path);
    const std::string& GetProfilePath() const { return profilePath_; }
    void SetDefaultProfilePath(const std::string& path);
    const std::string& GetDefaultProfilePath() const { return defaultProfilePath_; }
    void SetLightConfigPath(const std::string& path) { lightConfigPath_ = path; }
    const std::string& GetLightConfigPath() const { return lightConfigPath_; }
    // Indices outside 0..kMaxDeviceIndex are ignored.
    void SetDeviceIndex(int index);
    int GetDeviceIndex() const { return deviceIndex_; }

    // Loads the active root from the profile file at path. A file without a
    // device entry (missing, unreadable, or "Device" empty) takes the entry of
    // the default profile file and is written back with it, keeping its other
    // members. Returns a copy of the active root.
    Json::Value LoadProfile(const std::string& path);
    // The same for the secondary root (editing other profiles' key lists).
    Json::Value LoadSecondaryProfile(const std::string& path);
    // Takes the device entry of an already read profile file as the active
    // root, with no fallback and no write (for viewers and checks); false when
    // the tree has no device entry.
    bool UseProfileTree(const Json::Value& file);
    const Json::Value& GetActiveRoot() const { return activeRoot_; }

    // Reads the light configuration file; a relative custom effect name is
    // then resolved against this file's folder. Returns a copy.
    Json::Value LoadLightConfig(const std::string& path);
    // Steps of the custom effect that "SelectItem" of the current light record
    // selects in the light configuration; empty when there is none.
    std::vector<LightEffectStep> GetCustomEffectList();

    LightInfo GetLightInfo();
    void SetLightInfo(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3);
    void SetLightInfo(const LightInfo& info);
    const LightInfo& GetDefaultLightInfo() const { return defaultLight_; }

    AudioLightInfo GetAudioLightInfo();
    void SetAudioLightInfo(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2);
    void SetAudioLightInfo(const AudioLightInfo& info);

    std::vector<LightListEntry> GetLightList();

    std::vector<KeyRecord> GetKeyList();
    // Writes "Assignment" of element i from record i; never "DefaultAssignment".
    void SetKeyList(const std::vector<KeyRecord>& list);
    std::vector<KeyRecord> GetSecondaryKeyList();
    void SetSecondaryKeyList(const std::vector<KeyRecord>& list);

    // The writes. Each returns whether the file now holds the data.
    virtual bool Save();
    virtual bool WriteDeviceEntry(const Json::Value& entry, const std::string& path);
    virtual bool SaveSecondaryTo(const std::string& path);
    virtual bool WriteWholeFile(const Json::Value& value, const std::string& path);

    const std::vector<LightEffectStep>& CustomEffectSteps() const { return effectSteps_; }

  protected:
    // The active root for setters; a null root becomes an object.
    Json::Value& MutableRoot();
    const CJsonFile& File() const { return jsonFile_; }

  private:
    Json::Value LoadInto(Json::Value& root, const std::string& path);
    Json::Value DeviceEntryOf(const Json::Value& file) const;
    std::string ResolveEffectPath(const std::string& name) const;

    std::string profilePath_;
    std::string defaultProfilePath_;
    std::string lightConfigPath_;
    std::string lightConfigLoadedFrom_;
    int deviceIndex_ = 0;
    LightInfo light_;
    LightInfo defaultLight_;
    AudioLightInfo audioLight_;
    std::vector<LightListEntry> lightList_;
    Json::Value activeRoot_;
    Json::Value secondaryRoot_;
    Json::Value lightConfig_;
    std::vector<LightEffectStep> effectSteps_;
    std::vector<KeyRecord> keyList_;
    std::vector<KeyRecord> secondaryKeyList_;
    CJsonFile jsonFile_;
};

}  // namespace profiles
