#include "devices/events/DeviceLinks.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "platform/Debug.h"

namespace devices::events {

// How a device kind connects: its cable and receiver type codes (0: none)
// and its trace lines.
struct CDeviceLinks::LinkKind {
    hid::DeviceKind kind;
    hid::DeviceTypeCode cable;
    hid::DeviceTypeCode receiver;
    const char* addTrace;
    const char* removeTrace;
    const char* lostTrace;
};

namespace {

using LinkKind = CDeviceLinks::LinkKind;

constexpr LinkKind kMouseLink{hid::kKindMouse,    hid::kTypeMouse,    hid::kTypeMouseReceiver,
                              "添加一个鼠标设备", "删除一个鼠标设备", "鼠标设备丢失"};
constexpr LinkKind kKeyboardLink{hid::kKindKeyboard, hid::kTypeKeyboard, hid::kTypeKeyboardReceiver,
                                 "添加一个键盘设备", "删除一个键盘设备", "键盘设备丢失"};
constexpr LinkKind kPadLink{hid::kKindMousePad,   hid::kTypeMousePad,   0,
                            "添加一个鼠标垫设备", "删除一个鼠标垫设备", nullptr};
constexpr LinkKind kHeadsetLink{hid::kKindHeadset, hid::kTypeHeadset, 0, nullptr, nullptr, nullptr};

const LinkKind* LinkKindOfType(hid::DeviceTypeCode t) {
    for (const LinkKind* k : {&kKeyboardLink, &kMouseLink, &kPadLink, &kHeadsetLink}) {
        if (t == k->cable || (k->receiver != 0 && t == k->receiver)) return k;
    }
    return nullptr;
}

void Trace(const char* line) {
    if (line) platform::DebugOut(line);
}

// The constant row behind a slot (the slot without its run-time fields).
hid::HidInterfaceEntry TableRow(size_t index) {
    const auto& table = hid::InterfaceTable();
    return index < table.size() ? table[index] : hid::HidInterfaceEntry{};
}

}  // namespace

CDeviceLinks::CDeviceLinks(hid::scan::CInterfaceSlots& slots, CDeviceRegistry& registry,
                           ILinkUi& ui)
    : slots_(slots), registry_(registry), ui_(ui) {}

void CDeviceLinks::OnInterfaceArrived(size_t slot) {
    if (!slots_.IsValid(slot)) return;
    const hid::InterfaceSlot s = slots_.Slot(slot);
    const LinkKind* kind = LinkKindOfType(s.typeCode);
    if (!kind) return;
    const int commandRow =
        hid::FindInterfaceRow(s.typeCode, hid::kChannelCommand, s.vendorId, s.productId);
    if (!DeviceExists(slot) && commandRow >= 0) ui_.CreateDevicePage(size_t(commandRow));
    Trace(kind->addTrace);
    Connect(slot, *kind);
}

void CDeviceLinks::OnInterfaceRemoved(size_t slot) {
    if (!slots_.IsValid(slot)) return;
    const LinkKind* kind = LinkKindOfType(slots_.Slot(slot).typeCode);
    if (!kind) return;
    Trace(kind->removeTrace);
    Disconnect(slot, *kind);
}

bool CDeviceLinks::DeviceExists(size_t slot) const {
    if (!slots_.IsValid(slot)) return false;
    return registry_.FindByRow(TableRow(hid::ResolvePrimaryRow(slot))) != nullptr;
}

void CDeviceLinks::ConnectMouse(size_t slot) {
    Connect(slot, kMouseLink);
}
void CDeviceLinks::ConnectKeyboard(size_t slot) {
    Connect(slot, kKeyboardLink);
}
void CDeviceLinks::ConnectMousePad(size_t slot) {
    Connect(slot, kPadLink);
}
void CDeviceLinks::ConnectHeadset(size_t slot) {
    Connect(slot, kHeadsetLink);
}
void CDeviceLinks::DisconnectMouse(size_t slot) {
    Disconnect(slot, kMouseLink);
}
void CDeviceLinks::DisconnectKeyboard(size_t slot) {
    Disconnect(slot, kKeyboardLink);
}
void CDeviceLinks::DisconnectMousePad(size_t slot) {
    Disconnect(slot, kPadLink);
}
void CDeviceLinks::DisconnectHeadset(size_t slot) {
    Disconnect(slot, kHeadsetLink);
}

hid::HidInterfaceEntry CDeviceLinks::IdentifyingRow(size_t slot, const LinkKind& kind) const {
    const hid::HidInterfaceEntry row = TableRow(slot);
    if (kind.receiver != 0 && row.typeCode == kind.receiver && row.hasPartner != 0) {
        return TableRow(row.partnerIndex);
    }
    return row;
}

CDeviceCore* CDeviceLinks::FindDevice(hid::DeviceKind kind,
                                      const hid::HidInterfaceEntry& row) const {
    const DeviceLists lists = registry_.Snapshot();
    for (CDeviceCore* d : lists.Of(kind)) {
        if (hid::SameInterface(d->InterfaceRow(), row)) return d;
    }
    return nullptr;
}

bool CDeviceLinks::OpenCommand(CDeviceCore& device, const std::string& path, bool receiver,
                               bool setLink, const hid::HidInterfaceEntry& row) {
    DeviceChannel& channel = device.Command();
    std::lock_guard lock(channel.IoLock());
    hid::CHidDevice& iface = receiver ? channel.ReceiverInterface() : channel.CableInterface();
    if (!iface.Open(path, true, true, true, false)) return false;
    if (setLink) channel.SetLinkType(receiver ? 2 : 1);
    device.SetInterfaceRow(row);
    channel.SetOpen(true);
    return true;
}

void CDeviceLinks::Connect(size_t slot, const LinkKind& kind) {
    if (!slots_.IsValid(slot)) return;
    const hid::InterfaceSlot s = slots_.Slot(slot);
    if (s.channel == hid::kChannelEvent) {
        ConnectEventChannel(slot, s.typeCode);
        return;
    }
    if (kind.receiver != 0 && slots_.PartnerActive(slot)) {
        // Already connected through its other path; a new cable takes over.
        if (s.typeCode == kind.cable) SwitchLink(slot);
        return;
    }
    const hid::HidInterfaceEntry row = IdentifyingRow(slot, kind);
    CDeviceCore* device = FindDevice(kind.kind, row);
    if (!device) return;
    const bool receiver = kind.receiver != 0 && s.typeCode == kind.receiver;
    // A failed open leaves the device disconnected; its slot stays claimed.
    if (!device->Command().IsOpen())
        OpenCommand(*device, s.path, receiver, kind.receiver != 0, row);
    ui_.OnConnected(*device, receiver ? LinkType::Receiver : LinkType::Cable,
                    device->Command().IsOpen());
}

void CDeviceLinks::Disconnect(size_t slot, const LinkKind& kind) {
    if (!slots_.IsValid(slot)) return;
    const hid::InterfaceSlot s = slots_.Slot(slot);
    if (s.channel == hid::kChannelEvent) {
        DisconnectEventChannel(slot, s.typeCode);
        return;
    }
    Trace(kind.lostTrace);
    if (kind.receiver != 0 && slots_.PartnerActive(slot)) {
        // The device goes on through its receiver.
        if (s.typeCode == kind.cable) SwitchLink(slot);
        return;
    }
    CDeviceCore* device = FindDevice(kind.kind, IdentifyingRow(slot, kind));
    if (!device) return;
    {
        DeviceChannel& channel = device->Command();
        std::lock_guard lock(channel.IoLock());
        channel.SetOpen(false);
        channel.CableInterface().Close();
        channel.ReceiverInterface().Close();
    }
    ui_.OnLost(*device);
}

void CDeviceLinks::SwitchLink(size_t slot) {
    if (!slots_.IsValid(slot)) return;
    const hid::InterfaceSlot s = slots_.Slot(slot);
    const hid::InterfaceSlot partner = slots_.Slot(s.partnerIndex);
    const hid::DeviceKind kind = hid::KindOfRow(slot);
    CDeviceCore* device = FindDevice(kind, TableRow(slot));
    if (!device && s.hasPartner != 0) device = FindDevice(kind, TableRow(s.partnerIndex));
    if (!device) return;
    DeviceChannel& channel = device->Command();
    bool toCable = false;
    {
        std::lock_guard lock(channel.IoLock());
        channel.SetOpen(false);
        toCable = channel.OnReceiver();
        hid::CHidDevice& iface = toCable ? channel.CableInterface() : channel.ReceiverInterface();
        if (!iface.Open(toCable ? s.path : partner.path, true, true, true, false)) return;
        channel.SetLinkType(toCable ? 1 : 2);
        channel.SetOpen(true);
    }
    if (toCable) {
        SwitchedToCable(*device);
    } else {
        SwitchedToReceiver(*device);
    }
}

void CDeviceLinks::PollReceiverLink(CDeviceCore& device) {
    for (int query = 1; query <= kLinkPolls; ++query) {
        if (device.Command().IsLinkUp()) return;
        if (query == kLinkPolls) return;
        platform::DebugOut("获取2.4G模式失败");
        std::this_thread::sleep_for(std::chrono::milliseconds(linkPollPauseMs_));
    }
}

void CDeviceLinks::SwitchedToReceiver(CDeviceCore& device) {
    if (device.ShowsPower()) {
        PollReceiverLink(device);
        platform::DebugOut("获取2");
        device.RefreshPowerStatus();
    }
    if (!ui_.HasSelectorItem(device)) return;
    device.Command().BeginWrite();
    ui_.OnSwitchedToReceiver(device);
    device.ReadDevice();
}

void CDeviceLinks::SwitchedToCable(CDeviceCore& device) {
    if (ui_.HasSelectorItem(device)) ui_.OnSwitchedToCable(device);
    if (device.ShowsPower()) device.RefreshPowerStatus();
}

void CDeviceLinks::ConnectEventChannel(size_t slot, hid::DeviceTypeCode typeCode) {
    if (!slots_.IsValid(slot)) return;
    CDeviceCore* device = FindDevice(hid::KindOfRow(slot), TableRow(hid::ResolvePrimaryRow(slot)));
    if (device) device->Events().OpenEventInterface(slots_.Slot(slot).path, typeCode);
}

void CDeviceLinks::DisconnectEventChannel(size_t slot, hid::DeviceTypeCode typeCode) {
    if (!slots_.IsValid(slot)) return;
    CDeviceCore* device = FindDevice(hid::KindOfRow(slot), TableRow(hid::ResolvePrimaryRow(slot)));
    if (device) device->Events().CloseEventInterface(typeCode);
}

}  // namespace devices::events
