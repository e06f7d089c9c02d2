#pragma once
// The two pieces of a device that live outside its page: the selector item
// in "device_select_layout" (with the timers that read the device, repaint
// its lights, poll its power and watch its receiver link) and the power item
// in "device_power_switch".
#include <cstddef>
#include <cstdint>
#include <string>

#include "hid/Catalog.h"
#include "ui/Containers.h"

namespace app::pages {

class CTervanicUSBDevice;

// Selector item timer ids and periods.
enum DeviceOptionTimer : unsigned {
    kLightRefreshTimer = 1000,
    kConnectTimer = 1001,
    kReloadTimer = 1002,
    kPowerTimer = 1005,
    kLinkMonitorTimer = 1007,
};
constexpr unsigned kConnectDelayMs = 500;
constexpr unsigned kLinkRetryMs = 3000;
constexpr unsigned kLinkMonitorMs = 2000;
constexpr unsigned kPowerFirstMs = 50;
constexpr unsigned kPowerPeriodMs = 5000;
constexpr unsigned kLightFirstMs = 5;
constexpr unsigned kLightCableMs = 10;
constexpr unsigned kLightReceiverMs = 50;
constexpr unsigned kLightHiddenMs = 250;
constexpr int kLinkRetryWrap = 20;

// The icon files of a device type: "common/device_ico/<base>_normal.png" etc.
struct DeviceIcons {
    std::string normal, selected, synchroSelected, synchroNormal;
    std::string nameTextKey;  // the text control whose text names the kind
};
// The icons of a type code and channel; false for a mouse pad on a channel
// other than 0 or 1 (it keeps the images it has).
bool IconsForType(hid::DeviceTypeCode typeCode, int channel, DeviceIcons& out);

class CMpDevicePowerUI : public ui::CHorizontalLayoutUI {
  public:
    static constexpr size_t kMaxPowerInfo = 64;

    std::string_view GetClass() const override { return "MpDevicePower"; }
    void* GetInterface(std::string_view name) override;

    void SetType(hid::DeviceTypeCode typeCode, int channel);
    hid::DeviceTypeCode TypeCode() const { return typeCode_; }
    int Channel() const { return channel_; }
    // The battery area is shown only for kinds that report power.
    void ShowPowerArea(bool show);
    // Battery, charge state, wireless flag and (pads) the phone: bytes 0, 1,
    // 3 and 5 of the status block; at most 64 bytes are taken, missing bytes
    // count as 0.
    void SetPowerInfo(const uint8_t* bytes, size_t length);

  private:
    ui::CControlUI* Part(const char* name);
    hid::DeviceTypeCode typeCode_ = 0;
    int channel_ = 0;
};

class CDeviceOptionUI : public ui::CHorizontalLayoutUI {
  public:
    std::string_view GetClass() const override { return "DeviceOption"; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(ui::TEventUI& event) override;

    void SetDevice(CTervanicUSBDevice* device) { device_ = device; }
    CTervanicUSBDevice* Device() const { return device_; }
    void SetType(hid::DeviceTypeCode typeCode, int channel);
    hid::DeviceTypeCode TypeCode() const { return typeCode_; }
    int Channel() const { return channel_; }
    const DeviceIcons& Icons() const { return icons_; }
    void SetPowerSwitch(const std::string& name, int index);
    const std::string& PowerSwitchName() const { return powerSwitchName_; }
    int PowerIndex() const { return powerIndex_; }
    int LinkRetryCount() const { return linkRetryCount_; }
    void SetDeviceName(const std::string& name);

    // The "device_select" option: group, tab binding, selection.
    void BindPage(const std::string& group, const std::string& tabLayout, int index);
    int BoundPageIndex() const;
    bool IsSelected() const;
    void Select(bool selected);
    // The "synchro_device_select" mark and the icons it switches.
    bool IsSynchro() const;
    void SetSynchro(bool on);

    // Timer 1001 in 500 ms (after a connection).
    void StartConnectTimer();
    // Timer 1007 (receiver link watch), only while the device's channel is open.
    void StartLinkMonitor(unsigned ms);
    void StartReloadTimer(unsigned ms);
    // The position of this item in "device_select_layout".
    int ItemIndex() const;

  private:
    void OnTimer(unsigned id);
    void OnConnectTimer();
    void OnLightRefreshTimer();
    void OnPowerTimer();
    void OnLinkMonitorTimer();
    // Asks the main window to show (1) or hide as lost (0) this item.
    void SendItemMessage(int show);
    void ApplyIcons();
    ui::CControlUI* Part(const char* name);

    CTervanicUSBDevice* device_ = nullptr;
    hid::DeviceTypeCode typeCode_ = 0;
    int channel_ = 0;
    DeviceIcons icons_;
    std::string powerSwitchName_;
    int powerIndex_ = -1;
    int linkRetryCount_ = 0;
};

}  // namespace app::pages
