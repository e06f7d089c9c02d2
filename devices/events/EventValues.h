#pragma once
// What a key-event value read from a device's event collection means, by
// device kind and by the path it came through (cable or receiver).
#include <cstdint>
#include <optional>

#include "hid/Catalog.h"

namespace devices::events {

enum class EventAction : uint8_t {
    None,
    Reload,             // start the reload timer (1002) of the device's tab item
    ReapplyAndReload,   // set the program-wide re-apply mark, then as Reload
    ReactiveTrigger,    // the mouse's reactive light preview
    KeyPressThenEvent,  // keyboard key press (v - 0x500, kind 1), then a device event
    KeyRelease,         // keyboard key release (v - 0x600, kind 2) only
    DeviceEvent,        // profile or DPI switch made on the device
};

EventAction ClassifyEvent(hid::DeviceKind kind, bool receiver, uint16_t value);

// A device event: high byte 0x10 sets the current profile to the low four
// bits; 0x11 also the active DPI stage to bits 4-7. Other values: nullopt.
struct ProfileSwitch {
    int profile = 0;
    int dpiStage = -1;  // -1: unchanged
    friend bool operator==(const ProfileSwitch&, const ProfileSwitch&) = default;
};
std::optional<ProfileSwitch> ParseDeviceEvent(uint16_t value);

// Per kind: the delay of the reload timer, how long a stopping reader is
// waited for, the trace line a reader writes when it stops, and whether the
// kind has a receiver path.
struct EventKindTraits {
    int reloadDelayMs;
    int readerGraceMs;
    const char* readerStopTrace;
    bool hasReceiver;
};
const EventKindTraits& TraitsOf(hid::DeviceKind kind);

// True for the receiver type codes of the mouse and the keyboard.
bool IsReceiverTypeCode(hid::DeviceTypeCode typeCode);

// The program-wide re-apply mark set by the keyboard's 0x402 event.
void SetReapplyMark();
bool ReapplyMarkSet();
// Returns the mark and clears it.
bool TakeReapplyMark();

}  // namespace devices::events
