#pragma once
// CMouseEngine: the mouse's use of the command set, without any page. The
// mouse page owns one and calls it; the command-line tool and the tests use
// it directly.
//
// It keeps what the mouse told it: DeviceInfo with its DPI rules, the key
// table image and the key map, the mirror of the settings page and the
// current profile. The key table image and the mirror carry a valid flag:
// while one is not valid, an operation that needs it first repeats the read
// and sends nothing (result 0) when that fails too, so a write never starts
// from an empty image.
//
// Through the receiver every step is preceded by a link check and the
// operation ends at the first one that fails.
//
// Threads: every operation runs on the thread that owns the page, except
// OnDeviceEvent and the state getters, which the event readers may call.
#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "devices/DeviceChannel.h"
#include "devices/DeviceInfo.h"
#include "devices/mouse/MouseDpi.h"
#include "devices/mouse/MouseKeys.h"
#include "devices/mouse/MouseSettingsPage.h"
#include "profiles/ConfigLists.h"
#include "profiles/MouseProfiledata.h"

namespace devices::mouse {

struct MouseEngineFolders {
    std::string deviceFolder;       // macro files, gun files, lists (ends with "/")
    std::string defaultDataFolder;  // "mouse.Json", "default_light.json" (ends with "/")
};

// What a device event changed (high byte 0x10: profile; 0x11: profile and
// active DPI stage). refresh is false for any other value.
struct MouseDeviceEvent {
    bool refresh = false;
    int profile = -1;
    int activeStage = -1;  // -1 when the event does not carry one
};

// Results of the whole-profile apply, step by step.
struct MouseApplyResults {
    bool droppedStaleMacros = false;
    int settings = 0;             // WriteSettings: 1 written
    std::vector<int> usedMacros;  // CollectUsedMacros
    int macros = 0;               // UploadMacros: 0 done, -1 failure, > 0 overflow
    std::optional<int> keys;      // WriteProfileKeyAssignments, only after macros == 0
};

class CMouseEngine {
  public:
    static constexpr const char* kFolderName = "mouse";
    static constexpr const char* kMacroListFile = "macro.config";
    static constexpr int kShootGuns = 4;

    CMouseEngine(DeviceChannel& channel, profiles::CMouseProfiledata& profile,
                 MouseEngineFolders folders);

    void SetScreenSize(uint16_t width, uint16_t height);
    uint16_t ScreenWidth() const { return screenWidth_; }
    uint16_t ScreenHeight() const { return screenHeight_; }

    // --- lists --------------------------------------------------------------
    // Macro names, built-in modes with their codes, zone and effect names.
    void LoadConfigLists();
    const profiles::ConfigLists& Lists() const { return lists_; }

    // --- reads ----------------------------------------------------------------
    // DeviceInfo and the key table (inside a write group), then the key map
    // and the DPI rules. 1 when both were read.
    int ReadStartup();
    // The settings page into the mirror and the current profile; the light
    // state and the active stage go into the profile, which is saved. 1 when
    // read; otherwise mirror and profile stay as they were.
    int ReloadSettings();
    // The settings page into the mirror only (the profile is not touched).
    int ReadMirror();

    // --- writes ----------------------------------------------------------------
    // The page built from the profile, at profileNumber × 128. 1 when written.
    int WriteSettings(int profileNumber, uint8_t byte0, uint8_t byte59, uint16_t width,
                      uint16_t height);
    // The form every caller uses: profile 0, byte 0 = 0, byte 59 = 1, the screen.
    int WriteSettings();
    // Writes a page as it stands at the current profile's offset (for tools
    // that edit the mouse's own page); the mirror takes it on success.
    int WriteMirrorPage(const MouseSettingsPage& page);

    // Distinct macro numbers of the key list, in order of first use over the
    // positions the mouse has; numbers not below the macro list's count are
    // left out. The order is the upload order WriteKeyAssignments numbers by.
    std::vector<int> CollectUsedMacros(const std::vector<profiles::KeyRecord>& keys);
    // 0 done or nothing to do; -1 failure (image, link or write); a positive
    // number when the macros exceed the macro memory: the 4-byte events that
    // must go, plus one. Nothing is sent unless everything fits.
    int UploadMacros(const std::vector<int>& macroNumbers);
    // The key table image with the key list's assignments at the mapped keys;
    // macro numbers become upload places. 1 written; otherwise the failing
    // result (0 when nothing was sent), after closing the write group.
    int WriteKeyAssignments(int bank, const std::vector<profiles::KeyRecord>& keys);
    int WriteProfileKeyAssignments(int bank);
    // Key list entries naming a macro beyond the macro names get their default
    // back; true (and the profile saved) when any changed.
    bool DropStaleMacroAssignments();
    // The factory profile of "DefaultData" replaces the profile and is saved.
    bool LoadDefaultProfile();
    // The four guns "ShootData_0..3.Shoot" as one image of four macros. 1
    // written, 0 not sent (closed, link down), -1 image refused (above 65535
    // bytes), else the failing write result.
    int UploadShootData();

    // The profile apply of a profile switch: drop stale macros, refresh (the
    // page's), settings, used macros, upload, and the key table only when the
    // upload returned 0.
    MouseApplyResults ApplyWholeProfile(const std::function<void()>& refreshPage = {});

    // --- device events --------------------------------------------------------
    MouseDeviceEvent OnDeviceEvent(uint16_t value);

    // --- state ----------------------------------------------------------------
    const DeviceInfo& Info() const { return info_; }
    bool InfoValid() const { return infoValid_; }
    const CMouseDpiRules& Dpi() const { return dpi_; }
    bool KeyTableValid() const { return keyTableValid_; }
    const std::vector<uint8_t>& KeyTableImage() const { return keyTable_; }
    const KeyMap& Map() const { return keyMap_; }
    bool SettingsValid() const;
    MouseSettingsPage Mirror() const;
    int CurrentProfile() const;
    profiles::LightInfo LightState() const;
    // The page sets the light state from the profile ("LightInfo").
    void SetLightState(const profiles::LightInfo& light);

  private:
    // Receiver rule: true on the cable; through the receiver the link check.
    bool LinkStep();
    bool ReadInfoInto();
    int ReadPage(uint8_t& profile, MouseSettingsPage& page);
    bool EnsureKeyTable();
    bool EnsureMirror();
    void StoreMirror(const MouseSettingsPage& page, int profile);
    MouseSettingsSource SourceFromProfile();
    int MacroCount() const;
    std::string MacroListPath() const { return folders_.deviceFolder + kMacroListFile; }
    void SaveProfile();

    DeviceChannel& channel_;
    profiles::CMouseProfiledata& profile_;
    MouseEngineFolders folders_;
    profiles::ConfigLists lists_;
    uint16_t screenWidth_ = 0;
    uint16_t screenHeight_ = 0;

    DeviceInfo info_;
    bool infoValid_ = false;
    CMouseDpiRules dpi_;
    std::vector<uint8_t> keyTable_;
    bool keyTableValid_ = false;
    KeyMap keyMap_;

    mutable std::mutex stateMutex_;  // mirror, profile number, light state
    MouseSettingsPage mirror_;
    bool mirrorValid_ = false;
    int currentProfile_ = 0;
    profiles::LightInfo light_;
};

// The renumbering shared by CollectUsedMacros and WriteKeyAssignments.
struct MacroRenumbering {
    // Per position: the assignment to write (macro numbers replaced by upload
    // places, unknown macros by the position's default); nullopt where the
    // mouse has no key or the key list has no entry.
    std::array<std::optional<KeyAssignmentBytes>, kKeyPositions> assignments;
    std::vector<int> uploadList;  // macro numbers in upload order
};
MacroRenumbering RenumberMacros(const std::vector<profiles::KeyRecord>& keys, const KeyMap& map,
                                int macroCount);

}  // namespace devices::mouse
