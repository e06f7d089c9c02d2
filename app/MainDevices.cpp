// The main window's devices: the scan, the pages with their selector and
// power items, showing, hiding and selecting items, switching pages and
// function tabs, and synchronised lighting across devices.
#include <algorithm>

#include "app/AppMessages.h"
#include "app/MainDeviceLinks.h"
#include "app/MainWnd.h"
#include "app/pages/DeviceOption.h"
#include "app/pages/DeviceSettings.h"
#include "app/pages/MouseDevice.h"
#include "app/pages/UsbDevice.h"
#include "devices/events/DeviceLinks.h"
#include "devices/events/LightSync.h"
#include "hid/scan/InterfaceSlots.h"
#include "hid/scan/ScanThread.h"
#include "platform/Debug.h"
#include "profiles/AppFolders.h"
#include "sim/SimBus.h"
#include "ui/Controls.h"
#include "ui/PaintManager.h"
#include "ui/Text.h"

namespace app {

using pages::CDeviceOptionUI;
using pages::CMpDevicePowerUI;
using pages::CTervanicUSBDevice;

constexpr const char* kPowerItemSkin = "XML\\CustomControlXML\\MpDevicePower.xml";
constexpr const char* kPageSwitch = "device_switch";
constexpr const char* kPowerSwitch = "device_power_switch";
constexpr const char* kSelectLayout = "device_select_layout";
constexpr const char* kNoDeviceLink = "No_device_Link";

// ---- scan -----------------------------------------------------------------

std::vector<hid::InterfaceSlot> CMainWnd::Slots() const {
    std::vector<hid::InterfaceSlot> copy;
    if (!scanSlots_) return copy;
    for (size_t i = 0; i < scanSlots_->Count(); ++i)
        copy.push_back(scanSlots_->Slot(i));
    return copy;
}

void CMainWnd::StartDeviceScan() {
    hid::scan::ScanOptions options;
    options.udevMonitor = true;
    scan_ = std::make_unique<hid::scan::CScanThread>(*scanSlots_, *linkUi_, options);
    if (!scan_->Start()) FinishEmptyScanPass();
    lightSync_ = std::make_unique<devices::events::CLightSyncThread>(registry_);
    lightSync_->Start();
}

void CMainWnd::StopDeviceThreads() {
    if (scan_) scan_->Stop(1000);
    if (lightSync_) lightSync_->Stop(1000);
}

void CMainWnd::OnInterfaceMessage(ui::UINT msg, ui::WPARAM slot) {
    if (!links_) return;
    if (msg == kMsgInterfaceRemoved) {
        links_->OnInterfaceRemoved(size_t(slot));
        return;
    }
    links_->OnInterfaceArrived(size_t(slot));
    RestoreAndRaise();
}

bool CMainWnd::PlugDemoDevices() {
    std::string error;
    if (!sim::EnableSimulation("all", &error)) {
        platform::DebugOutF("demo devices: %s", error.c_str());
        return false;
    }
    if (scan_) scan_->Wake();
    return true;
}

// ---- building the pages -------------------------------------------------

namespace {

ui::CContainerUI* MakeDevice(hid::DeviceKind kind) {
    switch (kind) {
        case hid::kKindMouse:
            return new pages::CTervanicMouseDevice;
        case hid::kKindKeyboard:
            return new pages::CTervanicKeyboardDevice;
        case hid::kKindMousePad:
            return new pages::CTervanicMousePadDevice;
        case hid::kKindHeadset:
            return new pages::CTervanicZE6533Device;
        default:
            return nullptr;
    }
}

}  // namespace

// A skin whose root is already of the wanted class is that piece; any other
// root is loaded into a new object of the class.
ui::CControlUI* CMainWnd::BuildPiece(const char* skin, const char* iface,
                                     const std::function<ui::CContainerUI*()>& make) {
    ui::CDialogBuilder builder;
    std::unique_ptr<ui::CControlUI> root(builder.Create(skin, this, &pm_));
    if (!root) {
        platform::DebugOutF("device skin %s: %s", skin, builder.GetLastError().c_str());
        return nullptr;
    }
    if (root->GetInterface(iface)) return root.release();
    ui::CContainerUI* holder = make();
    if (!holder) return nullptr;
    // The object takes the size the skin gives its root.
    holder->SetFixedHeight(root->GetFixedHeight());
    holder->SetFixedWidth(root->GetFixedWidth());
    holder->Add(root.release());
    return holder;
}

CTervanicUSBDevice* CMainWnd::AsDevice(ui::CControlUI* page) const {
    return page ? static_cast<CTervanicUSBDevice*>(page->GetInterface("TervanicUSBDevice"))
                : nullptr;
}

void CMainWnd::AddToKindList(CTervanicUSBDevice* device, hid::DeviceKind kind) {
    std::vector<IShellDevice*>* lists[] = {&devices_.mice, &devices_.keyboards, &devices_.mousePads,
                                           &devices_.headsets};
    if (kind >= 0 && size_t(kind) < std::size(lists)) lists[kind]->push_back(device);
    registry_.Add(device);
}

bool CMainWnd::CreateDevicePage(hid::DeviceKind, size_t row, int channel) {
    const auto& table = hid::InterfaceTable();
    if (row >= table.size()) return false;
    const hid::HidInterfaceEntry& entry = table[row];
    const hid::DeviceTypeCode typeCode = hid::KindTypeOf(entry.typeCode);
    const hid::HidInterfaceEntry& ids =
        entry.hasPartner != 0 && typeCode != entry.typeCode ? table[entry.partnerIndex] : entry;
    const hid::DeviceKind kind =
        hid::FindDeviceKind(ids.vendorId, ids.productId, typeCode, channel);
    if (kind < 0) return false;
    const hid::DeviceCatalogEntry& cat = hid::DeviceCatalog()[size_t(kind)];

    std::unique_ptr<ui::CControlUI> powerPiece(
        BuildPiece(kPowerItemSkin, "MpDevicePower", [] { return new CMpDevicePowerUI; }));
    std::unique_ptr<ui::CControlUI> itemPiece(
        powerPiece ? BuildPiece(cat.optionXml, "DeviceOption", [] { return new CDeviceOptionUI; })
                   : nullptr);
    std::unique_ptr<ui::CControlUI> pagePiece(
        itemPiece
            ? BuildPiece(cat.pageXml, "TervanicUSBDevice", [kind] { return MakeDevice(kind); })
            : nullptr);
    auto* power = powerPiece
                      ? static_cast<CMpDevicePowerUI*>(powerPiece->GetInterface("MpDevicePower"))
                      : nullptr;
    auto* item = itemPiece ? static_cast<CDeviceOptionUI*>(itemPiece->GetInterface("DeviceOption"))
                           : nullptr;
    CTervanicUSBDevice* device = AsDevice(pagePiece.get());
    auto* pageTabs = dynamic_cast<ui::CTabLayoutUI*>(FindControl(kPageSwitch));
    auto* powerTabs = dynamic_cast<ui::CTabLayoutUI*>(FindControl(kPowerSwitch));
    auto* selector = dynamic_cast<ui::CContainerUI*>(FindControl(kSelectLayout));
    if (!power || !item || !device || !pageTabs || !powerTabs || !selector) {
        platform::DebugOutF("device page of %s not built", cat.name);
        return false;
    }

    powerTabs->Add(powerPiece.release());
    power->SetType(typeCode, channel);
    power->ShowPowerArea(cat.showPower != 0);

    pages::DevicePageSetup setup;
    setup.pageFile = cat.pageXml;
    setup.mainWnd = this;
    setup.keyCount = cat.keyCount;
    setup.lightZoneCount = cat.lightZoneCount;
    setup.kind = kind;
    setup.showPower = cat.showPower;
    setup.reservedValue = cat.reservedValue;
    setup.appDataFolder = profiles::GetAppDataRoot();
    setup.deviceName = cat.name;
    setup.power = power;
    setup.row = entry;
    setup.configIndex = cat.configIndex;
    setup.lightConfigName = cat.lightConfigName;
    device->Setup(setup);
    device->BindPageButtons();
    device->SetLightControlStatus(lightControlStatus_);
    device->SetHoverFlag(hover_);
    pageTabs->Add(pagePiece.release());
    AddToKindList(device, kind);

    selector->Add(itemPiece.release());
    item->SetSynchro(false);
    item->BindPage(cat.optionHeaderName, kPageSwitch, pageTabs->GetCount() - 1);
    item->SetPowerSwitch(cat.powerSwitchName, powerTabs->GetCount() - 1);
    item->SetType(typeCode, channel);
    item->SetVisible(false);
    item->SetDeviceName(cat.name);
    item->SetDevice(device);
    device->SetOptionItem(item);
    platform::DebugOutF("device page of %s built (item %d)", cat.name, DeviceItemCount() - 1);
    return true;
}

// ---- items ----------------------------------------------------------------

int CMainWnd::DeviceItemCount() const {
    auto* selector = dynamic_cast<ui::CContainerUI*>(FindControl(kSelectLayout));
    return selector ? selector->GetCount() : 0;
}

CDeviceOptionUI* CMainWnd::DeviceItem(int index) const {
    auto* selector = dynamic_cast<ui::CContainerUI*>(FindControl(kSelectLayout));
    if (!selector || index < 0 || index >= selector->GetCount()) return nullptr;
    ui::CControlUI* c = selector->GetItemAt(index);
    return c ? static_cast<CDeviceOptionUI*>(c->GetInterface("DeviceOption")) : nullptr;
}

int CMainWnd::FindDeviceItem(const CTervanicUSBDevice* device) const {
    for (int i = 0; i < DeviceItemCount(); ++i)
        if (CDeviceOptionUI* item = DeviceItem(i); item && item->Device() == device) return i;
    return -1;
}

size_t CMainWnd::VisibleItemCount() const {
    size_t n = 0;
    for (int i = 0; i < DeviceItemCount(); ++i)
        if (CDeviceOptionUI* item = DeviceItem(i); item && item->IsOwnVisible()) ++n;
    return n;
}

void CMainWnd::ShowDeviceItem(int index, bool visible, bool select) {
    CDeviceOptionUI* item = DeviceItem(index);
    if (!item) return;
    item->SetVisible(visible);
    auto* pageTabs = dynamic_cast<ui::CTabLayoutUI*>(FindControl(kPageSwitch));
    auto* powerTabs = dynamic_cast<ui::CTabLayoutUI*>(FindControl(kPowerSwitch));
    if (select) {
        if (pageTabs) pageTabs->SelectItem(item->BoundPageIndex());
        if (powerTabs) {
            powerTabs->SetVisible(item->PowerIndex() >= 0);
            if (item->PowerIndex() >= 0) powerTabs->SelectItem(item->PowerIndex());
        }
    }
    item->Select(select);
    if (select) SelectCurrentDevice();
    const size_t visibleItems = VisibleItemCount();
    if (ui::CControlUI* none = FindControl(kNoDeviceLink)) none->SetVisible(visibleItems == 0);
    if (visibleItems == 0) {
        if (powerTabs) powerTabs->SelectItem(0);
        if (pageTabs) pageTabs->SelectItem(0);
        for (int i = 0; i < DeviceItemCount(); ++i)
            DeviceItem(i)->Select(false);
        SelectCurrentDevice();
    }
    const bool sync = devices::events::UpdateSyncAvailability(registry_, visibleItems);
    for (int i = 0; i < DeviceItemCount(); ++i)
        if (CTervanicUSBDevice* d = DeviceItem(i)->Device())
            if (ui::CControlUI* same =
                    ui::CPaintManagerUI::FindSubControlByName(d, "deng_same_mode"))
                same->SetVisible(sync);
    UpdateSynchroMarks();
}

void CMainWnd::UpdateSynchroMarks() {
    int marked = 0;
    for (int i = 0; i < DeviceItemCount(); ++i)
        if (CDeviceOptionUI* item = DeviceItem(i); item->IsOwnVisible() && item->IsSynchro())
            ++marked;
    if (marked >= 2) return;
    for (int i = 0; i < DeviceItemCount(); ++i)
        if (DeviceItem(i)->IsSynchro()) DeviceItem(i)->SetSynchro(false);
}

void CMainWnd::HideLostDevice(int index) {
    CDeviceOptionUI* item = DeviceItem(index);
    if (!item) return;
    int other = -1;
    if (item->IsOwnVisible() && item->IsSelected()) {
        CloseChildWindows();
        // The macro recorder stops here once it exists.
        for (int i = 0; i < DeviceItemCount(); ++i) {
            if (i != index && DeviceItem(i)->IsOwnVisible()) {
                other = i;
                break;
            }
        }
    }
    ShowDeviceItem(index, false, false);
    if (other >= 0) ShowDeviceItem(other, true, true);
}

void CMainWnd::SelectCurrentDevice() {
    current_ = nullptr;
    currentItem_ = -1;
    for (int i = 0; i < DeviceItemCount(); ++i) {
        CDeviceOptionUI* item = DeviceItem(i);
        if (!item->IsOwnVisible() || !item->IsSelected()) continue;
        current_ = item->Device();
        currentItem_ = i;
        if (auto* powerTabs = dynamic_cast<ui::CTabLayoutUI*>(FindControl(kPowerSwitch))) {
            powerTabs->SetVisible(item->PowerIndex() >= 0);
            if (item->PowerIndex() >= 0) powerTabs->SelectItem(item->PowerIndex());
        }
        break;
    }
    SetSelectedDevice(current_);
}

void CMainWnd::SelectVisibleNeighbour(int step) {
    const int from = currentItem_;
    if (from < 0) return;
    for (int i = from + step; i >= 0 && i < DeviceItemCount(); i += step) {
        if (DeviceItem(i)->IsOwnVisible()) {
            ShowDeviceItem(i, true, true);
            return;
        }
    }
}

void CMainWnd::SelectPreviousDevice() {
    SelectVisibleNeighbour(-1);
}

void CMainWnd::SelectNextDevice() {
    SelectVisibleNeighbour(1);
}

void CMainWnd::SetPageFunction(int mode) {
    if (current_) current_->SetFunctionMode(mode);
    // The profile editor takes the mode here once it exists.
}

// ---- messages and control events ------------------------------------------

void CMainWnd::OnDeviceItemMessage(ui::WPARAM w, ui::LPARAM l) {
    const int index = int(w);
    if (l == 0) {
        platform::DebugOut("2.4gcesvdfherhue 1");
        HideLostDevice(index);
        return;
    }
    CDeviceOptionUI* item = DeviceItem(index);
    if (!item || item->IsOwnVisible()) return;
    ShowDeviceItem(index, true, VisibleItemCount() == 0);
}

void CMainWnd::OnDeviceSwitching(const ui::TNotifyUI& msg, const RouteHit&) {
    if (!msg.pSender) return;
    if (msg.pSender->IsName("device_select_prev"))
        SelectPreviousDevice();
    else
        SelectNextDevice();
}

void CMainWnd::OnDeviceSelection(const ui::TNotifyUI&, const RouteHit&) {
    SelectCurrentDevice();
}

namespace {

struct TabMode {
    const char* name;
    int mode;
};
constexpr TabMode kTabModes[] = {
    {"deng_Op_tab", pages::kModeLighting},      {"key_Op_tab", pages::kModeKeys},
    {"macro_Op_tab", pages::kModeMacros},       {"system_Op_tab", pages::kModeSystem},
    {"cursor_Op_tab", pages::kModeCursor},      {"6533_voice_Op_tab", pages::kModeHeadsetSound},
    {"magic_Op_tab", pages::kModeVoiceEffects}, {"Virtual7.1_Op_tab", pages::kModeSurround},
};

}  // namespace

void CMainWnd::OnPageTabs(const ui::TNotifyUI& msg, const RouteHit&) {
    if (!msg.pSender) return;
    for (const TabMode& t : kTabModes) {
        if (msg.pSender->IsName(t.name)) {
            SetPageFunction(t.mode);
            return;
        }
    }
}

void CMainWnd::OnDeviceSettings(const ui::TNotifyUI& msg, const RouteHit& hit) {
    pages::HandleDeviceSettings(current_, msg, hit);
}

void CMainWnd::OnDemoDevices(const ui::TNotifyUI&, const RouteHit&) {
    PlugDemoDevices();
}

}  // namespace app
