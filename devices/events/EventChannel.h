#pragma once
// The event channel of a device object: the device's key-event collection
// on the cable and (mouse, keyboard) on the receiver, each with its open
// flag and its reader thread. The readers turn input reports into calls on
// an IEventSink, made on the reader's own thread: an implementation that
// touches controls marshals the call to the UI thread.
//
// Locks: the ioLock of the channel guards opening and closing of the cable
// interface, the receiverLock that of the receiver interface; a reader holds
// the lock only while it decodes a report, never while it waits for one.
#include <atomic>
#include <cstdint>
#include <string>

#include "devices/DeviceChannel.h"
#include "devices/events/DeviceThread.h"
#include "devices/events/EventValues.h"
#include "hid/Catalog.h"

namespace devices::events {

class IEventSink {
  public:
    virtual ~IEventSink() = default;
    // Values 0x401 / 0x402: start the reload timer (1002) of the tab item.
    virtual void StartReloadTimer(int delayMs) = 0;
    // Mouse, 0x403 on the cable: the reactive light preview.
    virtual void OnReactiveTrigger() {}
    // Keyboard on the cable: a device key pressed (kind 1) or released (2).
    virtual void OnKeyTrigger(int deviceKey, int kind) {
        (void)deviceKey;
        (void)kind;
    }
    // The device switched its current profile (and DPI stage, -1: unchanged);
    // the device object stores it and refreshes its page.
    virtual void OnProfileSwitch(int profile, int dpiStage) = 0;
};

class CEventChannel {
  public:
    CEventChannel(hid::DeviceKind kind, IEventSink& sink);
    // Closes both interfaces and stops both readers.
    ~CEventChannel();
    CEventChannel(const CEventChannel&) = delete;
    CEventChannel& operator=(const CEventChannel&) = delete;

    // Under the interface's lock: close it, open the path (read and write),
    // set the open flag on success; then start the interface's reader (also
    // after a failed open: it idles until the interface is open).
    bool OpenEventInterface(const std::string& path, hid::DeviceTypeCode typeCode);
    // Wakes a waiting read by closing the interface under its lock (the
    // abort path), then stops and joins the reader.
    void CloseEventInterface(hid::DeviceTypeCode typeCode);
    bool ReopenEventInterface(const std::string& path, hid::DeviceTypeCode typeCode);

    bool IsInterfaceOpen(hid::DeviceTypeCode typeCode) const;
    bool IsReaderRunning(hid::DeviceTypeCode typeCode) const;
    // Reports decoded since construction (both readers).
    uint64_t EventsRead() const { return eventsRead_.load(); }

    hid::DeviceKind Kind() const { return kind_; }
    DeviceChannel& Channel() { return channel_; }

  private:
    struct Reader {
        std::atomic<bool> open{false};
        CDeviceThread thread;
    };
    bool UsesReceiver(hid::DeviceTypeCode typeCode) const;
    Reader& ReaderOf(bool receiver) { return receiver ? receiverReader_ : cableReader_; }
    const Reader& ReaderOf(bool receiver) const {
        return receiver ? receiverReader_ : cableReader_;
    }
    std::recursive_mutex& LockOf(bool receiver);
    hid::CHidDevice& InterfaceOf(bool receiver);

    void ReaderProc(bool receiver, platform::StopEvent& stop);
    // The first usage value of a report, read under the interface's lock.
    std::optional<uint16_t> DecodeEvent(bool receiver, const uint8_t* report, size_t length);
    size_t InputLength(bool receiver);
    void Dispatch(bool receiver, uint16_t value);
    void DeviceEvent(uint16_t value);

    const hid::DeviceKind kind_;
    IEventSink& sink_;
    DeviceChannel channel_;
    std::atomic<uint64_t> eventsRead_{0};
    Reader cableReader_;
    Reader receiverReader_;
};

}  // namespace devices::events
