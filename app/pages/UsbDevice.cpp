#include "app/pages/UsbDevice.h"

#include <charconv>

#include "app/AppMessages.h"
#include "app/pages/DeviceOption.h"
#include "editors/CustomControls.h"
#include "platform/Debug.h"
#include "ui/Builder.h"
#include "ui/PaintManager.h"
#include "ui/Text.h"

namespace app::pages {

namespace {

const hid::DeviceCatalogEntry& CatalogRow(hid::DeviceKind kind) {
    return hid::DeviceCatalog()[size_t(kind)];
}

// The number after `prefix` in a control name ("light_12" → 12); -1 when the
// name is not the prefix followed by digits only.
int IndexAfter(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || !ui::EqualsNoCase(name.substr(0, prefix.size()), prefix))
        return -1;
    int value = -1;
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last ? value : -1;
}

// The items of the two inner tab layouts a function mode selects (-1: keep).
struct ModeTabs {
    int function;
    int keyFunction;
};

ModeTabs TabsForMode(int mode, hid::DeviceTypeCode typeCode) {
    switch (mode) {
        case kModeKeys:
        case kModeHeadsetSound:
            return {0, 1};
        case kModeMacros:
        case kModeSurround:
            return {1, -1};
        case kModeSystem:
            if (typeCode == hid::kTypeKeyboard || typeCode == hid::kTypeMouse) return {3, -1};
            return {0, 2};
        case kModeVoiceEffects:
            return {0, 2};
        case kModeCursor:
            return {2, -1};
        default:
            return {0, 0};
    }
}

void SelectTab(ui::CControlUI* root, const char* name, int index) {
    if (index < 0) return;
    auto* tab =
        dynamic_cast<ui::CTabLayoutUI*>(ui::CPaintManagerUI::FindSubControlByName(root, name));
    if (tab) tab->SelectItem(index);
}

}  // namespace

CTervanicUSBDevice::CTervanicUSBDevice(hid::DeviceKind kind)
    : CDeviceCore(kind, size_t(CatalogRow(kind).lightZoneCount), CatalogRow(kind).showPower != 0) {}

CTervanicUSBDevice::~CTervanicUSBDevice() {
    StopThreads();
}

void* CTervanicUSBDevice::GetInterface(std::string_view name) {
    if (ui::EqualsNoCase(name, "TervanicUSBDevice")) return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

void CTervanicUSBDevice::Setup(const DevicePageSetup& setup) {
    setup_ = setup;
    SetInterfaceRow(setup.row);
}

std::string CTervanicUSBDevice::DeviceFolder() const {
    return setup_.appDataFolder + setup_.deviceName + "/";
}

// ---- page ---------------------------------------------------------------

void CTervanicUSBDevice::BindPageButtons() {
    keys_.clear();
    lights_.clear();
    panel_ = nullptr;
    if (setup_.pageFile.empty()) return;
    keys_.assign(size_t(std::max(setup_.keyCount, 0)), nullptr);
    lights_.assign(size_t(std::max(setup_.lightZoneCount, 0)), nullptr);
    for (ui::CControlUI* c : ui::CPaintManagerUI::FindSubControlsByClass(this, "SelectPanel")) {
        panel_ = static_cast<editors::CSelectPanelUI*>(c->GetInterface("SelectPanel"));
        if (panel_) break;
    }
    if (!panel_) return;
    for (ui::CControlUI* c :
         ui::CPaintManagerUI::FindSubControlsByClass(panel_, "DeviceKeyButton")) {
        auto* button =
            static_cast<editors::CDeviceKeyButtonUI*>(c->GetInterface("DeviceKeyButton"));
        if (!button) continue;
        if (const int k = IndexAfter(c->GetName(), "key_"); k >= 0 && size_t(k) < keys_.size()) {
            keys_[size_t(k)] = button;
        } else if (const int l = IndexAfter(c->GetName(), "light_");
                   l >= 0 && size_t(l) < lights_.size()) {
            lights_[size_t(l)] = button;
            button->SetLightPaint(0xFFFFFF, 255, true);
        }
    }
}

void CTervanicUSBDevice::RefreshLightButtons() {
    if (!lightControl_) return;
    const std::vector<devices::Rgba> colours = LightColours();
    const size_t n = std::min(colours.size(), lights_.size());
    for (size_t i = 0; i < n; ++i) {
        if (!lights_[i]) continue;
        const devices::Rgba c = colours[i];
        lights_[i]->SetLightPaint((uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b, c.a, true);
    }
}

void CTervanicUSBDevice::SetFunctionMode(int mode) {
    functionMode_ = mode;
    const ModeTabs tabs = TabsForMode(mode, TypeCode());
    SelectTab(this, "device_function_switch", tabs.function);
    SelectTab(this, "device_key_function_switch", tabs.keyFunction);
}

// ---- shell --------------------------------------------------------------

void CTervanicUSBDevice::SetLightControlStatus(int status) {
    lightControl_ = status;
    if (status && TypeCode() == hid::kTypeKeyboard) Command().HostLightControl();
}

void CTervanicUSBDevice::ReloadTexts() {
    ForEach([](ui::CControlUI* c) { c->ReloadText(); });
    RefreshPage();
}

void CTervanicUSBDevice::BeginGameLight(int mode) {
    Command().SetPaused(false);
    if (!inGameLight_) gameSaved_ = GetLightState();
    inGameLight_ = true;
    devices::LightState state = gameSaved_;
    state.mode = mode;
    SetLightState(state);
}

void CTervanicUSBDevice::EndGameLight() {
    if (!inGameLight_) return;
    inGameLight_ = false;
    SetLightState(gameSaved_);
}

void CTervanicUSBDevice::OnUiThread(std::function<void()> fn) {
    ui::LifeWatch watch = Life();
    ui::RunOnUiThread([watch, fn = std::move(fn)] {
        if (!watch.expired()) fn();
    });
}

void CTervanicUSBDevice::StartReloadTimer(int delayMs) {
    OnUiThread([this, delayMs] {
        if (option_) option_->StartReloadTimer(unsigned(std::max(delayMs, 0)));
    });
}

void CTervanicUSBDevice::OnProfileSwitch(int profile, int dpiStage) {
    OnUiThread([this, profile, dpiStage] { ProfileSwitched(profile, dpiStage); });
}

void CTervanicUSBDevice::ReadPowerStatus(bool linkCheck) {
    if (!IsOpen() || hiddenPause_) return;
    if (linkCheck && !Command().IsLinkUp()) return;
    devices::StatusBlock status;
    if (Command().ReadStatus(status) != 1) return;
    status.SetLink(OnReceiver());
    if (setup_.power) setup_.power->SetPowerInfo(status.bytes.data(), status.bytes.size());
    if (setup_.mainWnd) setup_.mainWnd->SendMessage(kMsgPowerStatusRead, status.WindowValue(), 0);
}

// ---- the smaller kinds --------------------------------------------------

namespace {

// DeviceInfo inside a write group; the kinds that have one read it first.
void ReadInfoBlock(devices::DeviceChannel& channel) {
    devices::DeviceInfo info;
    channel.BeginWrite();
    channel.ReadInfo(info);
    channel.EndWrite();
}

}  // namespace

CTervanicKeyboardDevice::~CTervanicKeyboardDevice() {
    StopThreads();
}

void CTervanicKeyboardDevice::ReadDevice() {
    if (!IsOpen()) return;
    ReadInfoBlock(Command());
    StartLightThread();
}

bool CTervanicKeyboardDevice::IsReceiverLinkUp() {
    return Command().IsLinkUp();
}

CTervanicMousePadDevice::~CTervanicMousePadDevice() {
    StopThreads();
}

void CTervanicMousePadDevice::ReadDevice() {
    if (!IsOpen()) return;
    ReadInfoBlock(Command());
    StartLightThread();
}

CTervanicZE6533Device::~CTervanicZE6533Device() {
    StopThreads();
}

void CTervanicZE6533Device::ReadDevice() {
    if (IsOpen()) StartLightThread();
}

void RegisterPageControls() {
    ui::CControlFactory& f = ui::CControlFactory::Instance();
    f.RegisterControl("CDeviceOptionUI", [] { return new CDeviceOptionUI; });
    f.RegisterControl("CMpDevicePowerUI", [] { return new CMpDevicePowerUI; });
    f.RegisterControl("CTervanicUSBDevice", [] { return new CTervanicUSBDevice(hid::kKindMouse); });
    f.RegisterControl("CTervanicMousePadDevice", [] { return new CTervanicMousePadDevice; });
    f.RegisterControl("CTervanicZE6533Device", [] { return new CTervanicZE6533Device; });
}

}  // namespace app::pages
