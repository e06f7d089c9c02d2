#pragma once
// CTervanicUSBDevice: a device object, at once the device's page (the page
// skin is loaded into this horizontal layout) and the owner of its command
// and event channels (CDeviceCore). The kinds derive from it and override
// the operations of their kind.
//
// Threads: the event readers and the lighting thread call the IEventSink
// callbacks and the light setters on their own threads; everything that
// touches a control is queued to the UI thread here, guarded by the page's
// life token, so a callback never reaches a destroyed page.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/ShellDevice.h"
#include "devices/events/DeviceCore.h"
#include "hid/Catalog.h"
#include "ui/Containers.h"
#include "ui/Window.h"

namespace editors {
class CDeviceKeyButtonUI;
class CSelectPanelUI;
}  // namespace editors

namespace app::pages {

class CDeviceOptionUI;
class CMpDevicePowerUI;

// What the main window stores in a device object when it builds the page.
struct DevicePageSetup {
    std::string pageFile;
    ui::CWindowWnd* mainWnd = nullptr;
    int keyCount = 0;
    int lightZoneCount = 0;
    hid::DeviceKind kind = hid::kKindMouse;
    int showPower = 0;
    int reservedValue = 0;      // mouse only
    std::string appDataFolder;  // ends with "/"
    std::string deviceName;     // also names the device's data folder
    CMpDevicePowerUI* power = nullptr;
    hid::HidInterfaceEntry row;
    int configIndex = -1;
    std::string lightConfigName;
};

// Function modes of a page (tabs "deng_Op_tab" .. "Virtual7.1_Op_tab").
enum FunctionMode {
    kModeLighting = 1,
    kModeKeys = 2,
    kModeMacros = 3,
    kModeSystem = 4,
    kModeCursor = 5,
    kModeHeadsetSound = 6,
    kModeVoiceEffects = 7,
    kModeSurround = 8,
};

class CTervanicUSBDevice : public ui::CHorizontalLayoutUI,
                           public devices::events::CDeviceCore,
                           public IShellDevice {
  public:
    explicit CTervanicUSBDevice(hid::DeviceKind kind);
    ~CTervanicUSBDevice() override;

    std::string_view GetClass() const override { return "TervanicUSBDevice"; }
    void* GetInterface(std::string_view name) override;

    // --- set-up by the main window -------------------------------------
    virtual void Setup(const DevicePageSetup& setup);
    const DevicePageSetup& Values() const { return setup_; }
    const std::string& DeviceName() const { return setup_.deviceName; }
    // The device's data folder: application data root + device name + "/".
    std::string DeviceFolder() const;
    ui::CWindowWnd* MainWindow() const { return setup_.mainWnd; }
    void SetOptionItem(CDeviceOptionUI* item) { option_ = item; }
    CDeviceOptionUI* OptionItem() const { return option_; }
    CMpDevicePowerUI* PowerItem() const { return setup_.power; }

    // --- page -------------------------------------------------------------
    // Collects "SelectPanel" and its "key_N" / "light_N" buttons.
    virtual void BindPageButtons();
    editors::CSelectPanelUI* SelectPanel() const { return panel_; }
    const std::vector<editors::CDeviceKeyButtonUI*>& KeyButtons() const { return keys_; }
    const std::vector<editors::CDeviceKeyButtonUI*>& LightButtons() const { return lights_; }
    // Paints the light buttons from the preview colours (host light control on).
    virtual void RefreshLightButtons();
    virtual void SetFunctionMode(int mode);
    int GetFunctionMode() const { return functionMode_; }
    virtual void ApplyProfileToPage() {}
    virtual void RefreshPage() {}

    // --- device operations --------------------------------------------------
    // The settings read after device event 0x401 / 0x402 (timer 1002).
    virtual void ReloadSettings() {}
    // Whether the device answers through its receiver (the cable: always).
    virtual bool IsReceiverLinkUp() { return true; }
    bool IsOpen() { return Command().IsOpen(); }
    bool OnReceiver() { return Command().OnReceiver(); }
    int HostLightControl() const { return lightControl_; }
    bool HoverFlag() const { return hover_ != 0; }
    bool HiddenPause() const { return hiddenPause_; }

    // IShellDevice.
    void SetHoverFlag(int hover) override { hover_ = hover; }
    void SetLightControlStatus(int status) override;
    void SetHiddenPause(bool paused) override { hiddenPause_ = paused; }
    void ReloadTexts() override;
    void BeginGameLight(int mode) override;
    void EndGameLight() override;

    // IEventSink (reader threads): queued to the UI thread.
    void StartReloadTimer(int delayMs) override;
    void OnProfileSwitch(int profile, int dpiStage) override;

  protected:
    // On the UI thread after the device switched its profile (and stage).
    virtual void ProfileSwitched(int profile, int dpiStage) {
        (void)profile;
        (void)dpiStage;
    }
    // The status command and the power item (mouse, keyboard, pad). With
    // linkCheck the read is skipped while the receiver link is down.
    void ReadPowerStatus(bool linkCheck);
    // Runs fn on the UI thread while this page lives.
    void OnUiThread(std::function<void()> fn);

  private:
    DevicePageSetup setup_;
    CDeviceOptionUI* option_ = nullptr;
    editors::CSelectPanelUI* panel_ = nullptr;
    std::vector<editors::CDeviceKeyButtonUI*> keys_;
    std::vector<editors::CDeviceKeyButtonUI*> lights_;
    int functionMode_ = kModeLighting;
    int lightControl_ = 1;
    int hover_ = 0;
    bool hiddenPause_ = false;
    devices::LightState gameSaved_;
    bool inGameLight_ = false;
};

// The device objects of the three kinds whose page half is small: they read
// their status and watch their link; their editors arrive with their kinds.
class CTervanicKeyboardDevice : public CTervanicUSBDevice {
  public:
    CTervanicKeyboardDevice() : CTervanicUSBDevice(hid::kKindKeyboard) {}
    ~CTervanicKeyboardDevice() override;
    std::string_view GetClass() const override { return "TervanicKeyboardDevice"; }
    void ReadDevice() override;
    void RefreshPowerStatus() override { ReadPowerStatus(true); }
    bool IsReceiverLinkUp() override;
};

class CTervanicMousePadDevice : public CTervanicUSBDevice {
  public:
    CTervanicMousePadDevice() : CTervanicUSBDevice(hid::kKindMousePad) {}
    ~CTervanicMousePadDevice() override;
    std::string_view GetClass() const override { return "TervanicMousePadDevice"; }
    void ReadDevice() override;
    void RefreshPowerStatus() override { ReadPowerStatus(false); }
};

class CTervanicZE6533Device : public CTervanicUSBDevice {
  public:
    CTervanicZE6533Device() : CTervanicUSBDevice(hid::kKindHeadset) {}
    ~CTervanicZE6533Device() override;
    std::string_view GetClass() const override { return "TervanicZE6533Device"; }
    void ReadDevice() override;
};

// Registers the selector item, power item and the device classes that skins
// may create by name with the control factory.
void RegisterPageControls();

}  // namespace app::pages
