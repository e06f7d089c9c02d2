#pragma once
// What an arriving or leaving interface does to the device objects: the
// connect, disconnect and switch operations over the device's command
// channel and event channel. The main window calls OnInterfaceArrived and
// OnInterfaceRemoved from its arrival and removal message handlers (0x0C12,
// 0x0C13), on its UI thread; everything that concerns pages and selector
// items goes through ILinkUi.
//
// Locks: opening, closing and switching an interface of the command channel
// happen under the channel's ioLock, so they never cut into an exchange of a
// worker thread; the event channel takes its own locks.
#include <cstddef>

#include "devices/events/DeviceRegistry.h"
#include "hid/Catalog.h"
#include "hid/scan/InterfaceSlots.h"

namespace devices::events {

class ILinkUi {
  public:
    virtual ~ILinkUi() = default;
    // No device object serves the product yet: build its page for this
    // command row (channel 0) and add its device to the registry.
    virtual void CreateDevicePage(size_t commandRow) = 0;
    // A device's command interface was opened (or was open already) by a
    // connect: on the cable show its selector item (selected only when no
    // other item is visible) and start its connection timer; on the
    // receiver only start the timer, which shows the item once the device
    // answers. `channelOpen` is false when the open failed.
    virtual void OnConnected(CDeviceCore& device, LinkType link, bool channelOpen) = 0;
    // The device left: hide its item (HideLostDevice).
    virtual void OnLost(CDeviceCore& device) = 0;
    // After a switch to the receiver: set the item's receiver check timer to
    // 2000 ms and close the settings window if it is open.
    virtual void OnSwitchedToReceiver(CDeviceCore& device) = 0;
    // After a switch to the cable: start the connection timer, show the
    // item if hidden (message 0x0D03 with the kind and 1), close the
    // settings window if it is open.
    virtual void OnSwitchedToCable(CDeviceCore& device) = 0;
    // Whether the device has a selector item (every registered one has).
    virtual bool HasSelectorItem(const CDeviceCore& device) const {
        (void)device;
        return true;
    }
};

class CDeviceLinks {
  public:
    static constexpr int kLinkPolls = 26;
    static constexpr int kLinkPollPauseMs = 50;

    CDeviceLinks(hid::scan::CInterfaceSlots& slots, CDeviceRegistry& registry, ILinkUi& ui);

    // Arrival of slot s: build the page if no device serves it, then connect
    // by type code. Bringing the window to the front stays with the caller.
    void OnInterfaceArrived(size_t slot);
    void OnInterfaceRemoved(size_t slot);

    // A device object already serves the device behind the slot.
    bool DeviceExists(size_t slot) const;

    void ConnectMouse(size_t slot);
    void ConnectKeyboard(size_t slot);
    void ConnectMousePad(size_t slot);
    void ConnectHeadset(size_t slot);
    void DisconnectMouse(size_t slot);
    void DisconnectKeyboard(size_t slot);
    void DisconnectMousePad(size_t slot);
    void DisconnectHeadset(size_t slot);
    // The device is present on both paths and the cable path (slot) changed:
    // move the command channel to the other path.
    void SwitchLink(size_t slot);
    void ConnectEventChannel(size_t slot, hid::DeviceTypeCode typeCode);
    void DisconnectEventChannel(size_t slot, hid::DeviceTypeCode typeCode);

    // Pause between failed link queries after a switch to the receiver.
    void SetLinkPollPauseMs(int ms) { linkPollPauseMs_ = ms < 0 ? 0 : ms; }

    struct LinkKind;

  private:
    void Connect(size_t slot, const LinkKind& kind);
    void Disconnect(size_t slot, const LinkKind& kind);
    // The row a device of this kind stores for the slot (the cable row for
    // a receiver slot with a partner).
    hid::HidInterfaceEntry IdentifyingRow(size_t slot, const LinkKind& kind) const;
    CDeviceCore* FindDevice(hid::DeviceKind kind, const hid::HidInterfaceEntry& row) const;
    bool OpenCommand(CDeviceCore& device, const std::string& path, bool receiver, bool setLink,
                     const hid::HidInterfaceEntry& row);
    void SwitchedToReceiver(CDeviceCore& device);
    void SwitchedToCable(CDeviceCore& device);
    void PollReceiverLink(CDeviceCore& device);

    hid::scan::CInterfaceSlots& slots_;
    CDeviceRegistry& registry_;
    ILinkUi& ui_;
    int linkPollPauseMs_ = kLinkPollPauseMs;
};

}  // namespace devices::events
