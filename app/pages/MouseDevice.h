#pragma once
// The mouse's device object: its page and the glue between the page's
// controls and the mouse engine (which does the wire work). The engine and
// the profile exist from Setup on; before that every operation is a no-op.
//
// Threads: page work runs on the UI thread. The lighting thread runs the
// mouse's own preview steps (wave, flow, reactive) under the preview lock;
// the reactive trigger arrives on the cable event reader and only arms the
// preview.
#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "app/pages/MousePreview.h"
#include "app/pages/UsbDevice.h"
#include "devices/mouse/MouseEngine.h"
#include "profiles/MouseProfiledata.h"

namespace app::pages {

class CTervanicMouseDevice : public CTervanicUSBDevice {
  public:
    static constexpr int kStageCount = 5;
    static constexpr int kPollingOptions = 5;
    static constexpr const char* kDefaultProfileName = "Profile1";

    CTervanicMouseDevice();
    ~CTervanicMouseDevice() override;
    // The mouse shares the base class name.
    std::string_view GetClass() const override { return "TervanicUSBDevice"; }
    void* GetInterface(std::string_view name) override;

    // --- base overrides ----------------------------------------------------
    void Setup(const DevicePageSetup& setup) override;
    void BindPageButtons() override;
    void SetFunctionMode(int mode) override;
    void ApplyProfileToPage() override;
    void RefreshPage() override;
    void ReadDevice() override;
    void ReloadSettings() override;
    bool IsReceiverLinkUp() override;
    void RefreshPowerStatus() override { ReadPowerStatus(true); }
    void OnReactiveTrigger() override;

    // --- appended operations ------------------------------------------------
    void InitMousePage();

    // --- profile and engine -------------------------------------------------
    // nullptr before Setup.
    devices::mouse::CMouseEngine* Engine() { return engine_.get(); }
    profiles::CMouseProfiledata& Profile() { return profile_; }
    // The profile file of the device folder (name without ".Json"); by
    // default the selected entry of the profile list, else "Profile1".
    void SetProfileName(const std::string& name);
    const std::string& ProfileName() const { return profileName_; }
    std::string ProfilePath() const;
    // Loads the profile file (a missing file takes the factory profile).
    void LoadProfile();
    bool SaveProfile();
    // WriteSettings(0, 0, 1, screen width, screen height); 0 before Setup.
    int SendSettings();
    // Keys naming a macro beyond the macro list get their default back; the
    // page is refreshed when any changed.
    bool DropStaleMacroAssignments();
    // The factory profile replaces the profile (saved) and is shown.
    bool LoadDefaultProfile();
    // The whole profile to page and mouse, in the apply order of a profile
    // switch: page, stale macros, refresh, settings, macros, key table.
    devices::mouse::MouseApplyResults ApplyWholeProfile();
    uint16_t ScreenWidth() const { return screenW_; }
    uint16_t ScreenHeight() const { return screenH_; }

    std::vector<profiles::DPIStage> GetDPIStages() { return profile_.GetDPIStages(); }
    // Keeps the stages and writes "DPIStages" into the profile record.
    void SetDPIStages(const std::vector<profiles::DPIStage>& stages) {
        profile_.SetDPIStages(stages);
    }
    std::array<uint32_t, 3> GetSystemStages() { return profile_.GetSystemStages(); }
    void SetSystemStages(const std::array<uint32_t, 3>& w) {
        profile_.SetSystemStages(w[0], w[1], w[2]);
    }

    // --- page operations of the settings controls ---------------------------
    // Slider and edit of stage n show steps; the active stage is marked.
    void ShowStage(int n, int steps);
    // Stage n's row enabled; the last enabled stage's check cannot be cleared.
    void EnableStage(int n, bool on);
    // The profile's active stage becomes n and its option is selected.
    void SelectStage(int n);
    void ShowPolling(int n);
    void ShowScroll(int page, int lines);
    // The DPI text of a slider position (the mouse's conversion).
    int StepsToDpi(int steps) const;
    int TypedDpiToSteps(const std::string& text) const;

    // The caption of an assignment, empty when the name table has none.
    std::string AssignmentCaption(uint8_t type, uint8_t p1, uint8_t p2);

  protected:
    void ProfileSwitched(int profile, int dpiStage) override;
    std::span<const devices::events::LightModeRow> LightModes() const override;
    bool RunKindStep(const devices::LightState& state, devices::LightPreview& p) override;

  private:
    // Profile "LightInfo" into the light state; a changed mode restarts the
    // preview.
    void LoadLightState();
    void ShowKeyList();
    void ShowDpiStages();
    void ShowSystemValues();
    void ShowDpiRanges();
    void RefreshKeyCaptions();
    void RefreshKeyInfoRow(size_t position, ui::CControlUI* button);
    void RefreshLogoTip();
    std::string Text(const std::string& key) const;
    ui::CControlUI* Find(const std::string& name) const;
    template <class T>
    T* FindAs(const std::string& name, const char* iface) const;

    profiles::CMouseProfiledata profile_;
    std::unique_ptr<devices::mouse::CMouseEngine> engine_;
    std::string profileName_;
    uint16_t screenW_ = 0;
    uint16_t screenH_ = 0;
    ui::CControlUI* logo_ = nullptr;
    ui::CControlUI* settingLayout_ = nullptr;

    // Preview state, touched by the lighting thread under the preview lock.
    CMousePreview mousePreview_;
    int previewMode_ = -1;
};

}  // namespace app::pages
