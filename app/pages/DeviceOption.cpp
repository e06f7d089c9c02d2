#include "app/pages/DeviceOption.h"

#include <array>
#include <string_view>

#include "app/AppMessages.h"
#include "app/pages/UsbDevice.h"
#include "editors/CustomControls.h"
#include "platform/Debug.h"
#include "ui/Controls.h"
#include "ui/PaintManager.h"
#include "ui/Resources.h"
#include "ui/Text.h"
#include "ui/Window.h"

namespace app::pages {

namespace {

struct IconRow {
    hid::DeviceTypeCode typeCode;
    int channel;  // -1: any
    const char* base;
};

// Icon bases by type code (and the pad's channel); anything else is unknown.
constexpr IconRow kIconRows[] = {
    {hid::kTypeKeyboard, -1, "kb_device"},
    {hid::kTypeMouse, -1, "ms_device"},
    {hid::kTypeMousePad, 0, "hard_mp_device"},
    {hid::kTypeMousePad, 1, "soft_mp_device"},
    {4, -1, "hd_device"},
    {hid::kTypeHeadset, -1, "hd_device"},
    {5, -1, "hub_device"},
};
constexpr const char* kUnknownBase = "unknow_device";

DeviceIcons IconsOfBase(const std::string& base) {
    const std::string stem = "common/device_ico/" + base;
    return {stem + "_normal.png", stem + "_selected.png", stem + "_synchro_selected.png",
            stem + "_synchro_normal.png", base + "_name_text"};
}

// The phone picture of a charging pad by status byte 5.
struct PhoneRow {
    const char* text;
    const char* image;
};
constexpr std::array<PhoneRow, 4> kPhones = {{
    {"Phone_type_no_device", "file='power/Phone_type_no_device.png'"},
    {"Phone_type_iphone", "file='power/Phone_type_iphone.png'"},
    {"Phone_type_samsung", "file='power/Phone_type_samsung.png'"},
    {"Phone_type_other", "file='power/Phone_type_other.png'"},
}};

constexpr std::array<const char*, 3> kChargeImages = {
    "file='power/powered.png'", "file='power/powering.png'", "file='power/power.png'"};

ui::COptionUI* AsOption(ui::CControlUI* c) {
    return c ? static_cast<ui::COptionUI*>(c->GetInterface("Option")) : nullptr;
}

}  // namespace

bool IconsForType(hid::DeviceTypeCode typeCode, int channel, DeviceIcons& out) {
    for (const IconRow& row : kIconRows) {
        if (row.typeCode != typeCode) continue;
        if (row.channel >= 0 && row.channel != channel) continue;
        out = IconsOfBase(row.base);
        return true;
    }
    if (typeCode == hid::kTypeMousePad) return false;
    out = IconsOfBase(kUnknownBase);
    return true;
}

// ---- power item ---------------------------------------------------------

void* CMpDevicePowerUI::GetInterface(std::string_view name) {
    if (ui::EqualsNoCase(name, "MpDevicePower")) return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

ui::CControlUI* CMpDevicePowerUI::Part(const char* name) {
    return ui::CPaintManagerUI::FindSubControlByName(this, name);
}

void CMpDevicePowerUI::SetType(hid::DeviceTypeCode typeCode, int channel) {
    typeCode_ = typeCode;
    channel_ = channel;
}

void CMpDevicePowerUI::ShowPowerArea(bool show) {
    if (ui::CControlUI* area = Part("device_power_Layout")) area->SetVisible(show);
}

void CMpDevicePowerUI::SetPowerInfo(const uint8_t* bytes, size_t length) {
    std::array<uint8_t, kMaxPowerInfo> info{};
    if (bytes) std::copy_n(bytes, std::min(length, info.size()), info.begin());
    const int battery = info[0];
    if (ui::CControlUI* value = Part("device_power_value"))
        value->SetText(std::to_string(battery) + "%");
    if (auto* bar = dynamic_cast<ui::CProgressUI*>(Part("device_Power_progress")))
        bar->SetValue(100 - battery);
    if (ui::CControlUI* logo = Part("device_wuxian_logo")) logo->SetVisible(info[3] != 0);
    if (ui::CControlUI* status = Part("device_power_status");
        status && info[1] < kChargeImages.size())
        status->SetBkImage(kChargeImages[info[1]]);
    if (typeCode_ != hid::kTypeMousePad) return;
    if (ui::CControlUI* phone = Part("device_phone_type")) {
        const PhoneRow& row = kPhones[info[5] >= 1 && info[5] <= 3 ? info[5] : 0];
        phone->SetVisible(true);
        phone->SetToolTip(row.text);
        phone->SetBkImage(row.image);
    }
}

// ---- selector item ------------------------------------------------------

void* CDeviceOptionUI::GetInterface(std::string_view name) {
    if (ui::EqualsNoCase(name, "DeviceOption")) return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

ui::CControlUI* CDeviceOptionUI::Part(const char* name) {
    return ui::CPaintManagerUI::FindSubControlByName(this, name);
}

void CDeviceOptionUI::SetType(hid::DeviceTypeCode typeCode, int channel) {
    typeCode_ = typeCode;
    channel_ = channel;
    if (!IconsForType(typeCode, channel, icons_)) return;
    ApplyIcons();
    // The kind's translated name when the language has one.
    ui::CControlUI* name = Part("device_select_name");
    if (name && ui::CResourceManager::Instance().HasText(icons_.nameTextKey)) {
        name->SetResourceText(true);
        name->SetText(icons_.nameTextKey);
    }
}

void CDeviceOptionUI::SetDeviceName(const std::string& deviceName) {
    ui::CControlUI* name = Part("device_select_name");
    if (!name) return;
    name->SetToolTip(deviceName);
    if (!name->IsResourceText()) name->SetText(deviceName);
}

void CDeviceOptionUI::ApplyIcons() {
    ui::COptionUI* select = AsOption(Part("device_select"));
    if (!select) return;
    const bool synchro = IsSynchro();
    select->SetNormalImage(synchro ? icons_.synchroNormal : icons_.normal);
    select->SetSelectedImage(synchro ? icons_.synchroSelected : icons_.selected);
    select->Invalidate();
}

void CDeviceOptionUI::SetPowerSwitch(const std::string& name, int index) {
    powerSwitchName_ = name;
    powerIndex_ = index;
}

void CDeviceOptionUI::BindPage(const std::string& group, const std::string& tabLayout, int index) {
    ui::COptionUI* select = AsOption(Part("device_select"));
    if (!select) return;
    select->SetGroup(group);
    select->SetBindTabLayoutName(tabLayout);
    select->SetBindTabLayoutIndex(index);
}

int CDeviceOptionUI::BoundPageIndex() const {
    auto* self = const_cast<CDeviceOptionUI*>(this);
    ui::COptionUI* select = AsOption(self->Part("device_select"));
    return select ? select->GetBindTabLayoutIndex() : -1;
}

bool CDeviceOptionUI::IsSelected() const {
    auto* self = const_cast<CDeviceOptionUI*>(this);
    ui::COptionUI* select = AsOption(self->Part("device_select"));
    return select && select->IsSelected();
}

void CDeviceOptionUI::Select(bool selected) {
    if (ui::COptionUI* select = AsOption(Part("device_select"))) select->Selected(selected, false);
}

bool CDeviceOptionUI::IsSynchro() const {
    auto* self = const_cast<CDeviceOptionUI*>(this);
    ui::COptionUI* mark = AsOption(self->Part("synchro_device_select"));
    return mark && mark->IsSelected();
}

void CDeviceOptionUI::SetSynchro(bool on) {
    if (ui::COptionUI* mark = AsOption(Part("synchro_device_select"))) mark->Selected(on, false);
    ApplyIcons();
}

int CDeviceOptionUI::ItemIndex() const {
    auto* parent = dynamic_cast<ui::CContainerUI*>(GetParent());
    return parent ? parent->GetItemIndex(const_cast<CDeviceOptionUI*>(this)) : -1;
}

// ---- timers -------------------------------------------------------------

void CDeviceOptionUI::StartConnectTimer() {
    SetTimer(kConnectTimer, kConnectDelayMs);
}

void CDeviceOptionUI::StartLinkMonitor(unsigned ms) {
    if (device_ && device_->IsOpen()) SetTimer(kLinkMonitorTimer, ms);
}

void CDeviceOptionUI::StartReloadTimer(unsigned ms) {
    SetTimer(kReloadTimer, ms);
}

void CDeviceOptionUI::DoEvent(ui::TEventUI& event) {
    if (event.Type == ui::UIEVENT_TIMER) {
        OnTimer(unsigned(event.wParam));
        return;
    }
    CHorizontalLayoutUI::DoEvent(event);
}

void CDeviceOptionUI::OnTimer(unsigned id) {
    KillTimer(id);
    if (!device_) return;
    switch (id) {
        case kConnectTimer:
            OnConnectTimer();
            break;
        case kLightRefreshTimer:
            OnLightRefreshTimer();
            break;
        case kReloadTimer:
            device_->ReloadSettings();
            break;
        case kPowerTimer:
            OnPowerTimer();
            break;
        case kLinkMonitorTimer:
            OnLinkMonitorTimer();
            break;
        default:
            break;
    }
}

void CDeviceOptionUI::OnConnectTimer() {
    if (device_->OnReceiver() && device_->IsOpen()) {
        if (!device_->IsReceiverLinkUp()) {
            linkRetryCount_ = (linkRetryCount_ + 1) % kLinkRetryWrap;
            if (IsOwnVisible()) SendItemMessage(0);
            SetTimer(kConnectTimer, kLinkRetryMs);
            return;
        }
        SendItemMessage(1);
    }
    device_->ReadDevice();
    linkRetryCount_ = 0;
    SetTimer(kLightRefreshTimer, kLightFirstMs);
    if (device_->PowerItem() && device_->IsOpen()) SetTimer(kPowerTimer, kPowerFirstMs);
    if (device_->OnReceiver()) StartLinkMonitor(kLinkMonitorMs);
}

// While the window is hidden or minimised nothing can be seen: the lights
// are only kept roughly current, at a slow pace, so a hidden program stays idle.
void CDeviceOptionUI::OnLightRefreshTimer() {
    ui::CWindowWnd* wnd = device_->MainWindow();
    const bool shown = !wnd || (wnd->IsWindowVisible() && !wnd->IsMinimized());
    device_->RefreshLightButtons();
    ui::CControlUI* panel = device_->SelectPanel();
    if (shown && panel && IsSelected() && device_->HoverFlag()) panel->Invalidate();
    if (!device_->IsOpen()) return;
    const unsigned period = device_->OnReceiver() ? kLightReceiverMs : kLightCableMs;
    SetTimer(kLightRefreshTimer, shown ? period : kLightHiddenMs);
}

void CDeviceOptionUI::OnPowerTimer() {
    device_->RefreshPowerStatus();
    if (device_->PowerItem()) SetTimer(kPowerTimer, kPowerPeriodMs);
}

void CDeviceOptionUI::OnLinkMonitorTimer() {
    if (!device_->OnReceiver()) {
        if (device_->IsOpen()) platform::DebugOut("2.4gcesvdfherhue  12312423");
        return;
    }
    const bool up = device_->IsReceiverLinkUp();
    if (up && !IsOwnVisible()) {
        SendItemMessage(1);
        if (device_->PowerItem()) device_->RefreshPowerStatus();
        platform::DebugOut("2.4gcesvdfherhue  12312423 123342341");
    } else if (!up && IsOwnVisible()) {
        SendItemMessage(0);
        platform::DebugOut("2.4gcesvdfherhue");
    }
    SetTimer(kLinkMonitorTimer, kLinkRetryMs);
}

// The message names the item by its own position, which for the mouse and
// keyboard is their DeviceKind (their items are built first, in that order)
// and stays right for the items built later.
void CDeviceOptionUI::SendItemMessage(int show) {
    if (ui::CWindowWnd* wnd = device_->MainWindow())
        wnd->SendMessage(kMsgDeviceItem, ui::WPARAM(ItemIndex()), ui::LPARAM(show));
}

}  // namespace app::pages
