#include "devices/events/EventValues.h"

#include <atomic>

namespace devices::events {

namespace {

enum class Path : uint8_t { Any, Cable, Receiver };

struct EventRow {
    hid::DeviceKind kind;
    Path path;
    uint16_t low, high;
    EventAction action;
};

// First matching row wins; values no row names do nothing.
constexpr EventRow kEventRows[] = {
    {hid::kKindMouse, Path::Any, 0x401, 0x402, EventAction::Reload},
    {hid::kKindMouse, Path::Cable, 0x403, 0x403, EventAction::ReactiveTrigger},
    {hid::kKindMouse, Path::Cable, 0x404, 0xFFFF, EventAction::DeviceEvent},
    {hid::kKindMouse, Path::Receiver, 0x403, 0xFFFF, EventAction::DeviceEvent},

    {hid::kKindKeyboard, Path::Any, 0x401, 0x401, EventAction::Reload},
    {hid::kKindKeyboard, Path::Any, 0x402, 0x402, EventAction::ReapplyAndReload},
    {hid::kKindKeyboard, Path::Any, 0x403, 0x403, EventAction::DeviceEvent},
    {hid::kKindKeyboard, Path::Cable, 0x500, 0x5FF, EventAction::KeyPressThenEvent},
    {hid::kKindKeyboard, Path::Cable, 0x600, 0x6FF, EventAction::KeyRelease},
    {hid::kKindKeyboard, Path::Any, 0x404, 0xFFFF, EventAction::DeviceEvent},

    {hid::kKindMousePad, Path::Any, 0x401, 0x401, EventAction::Reload},
    {hid::kKindHeadset, Path::Any, 0x401, 0x401, EventAction::Reload},
};

bool PathMatches(Path p, bool receiver) {
    return p == Path::Any || (p == Path::Receiver) == receiver;
}

constexpr EventKindTraits kPartneredTraits{50, 500, "MS 设备同步线程设定退出", true};
constexpr EventKindTraits kSingleTraits{500, 1000, "MS设备同步线程设定退出", false};

std::atomic<bool> g_reapplyMark{false};

}  // namespace

EventAction ClassifyEvent(hid::DeviceKind kind, bool receiver, uint16_t value) {
    for (const EventRow& row : kEventRows) {
        if (row.kind == kind && PathMatches(row.path, receiver) && value >= row.low &&
            value <= row.high) {
            return row.action;
        }
    }
    return EventAction::None;
}

std::optional<ProfileSwitch> ParseDeviceEvent(uint16_t value) {
    switch (value >> 8) {
        case 0x10:
            return ProfileSwitch{value & 0x0F, -1};
        case 0x11:
            return ProfileSwitch{value & 0x0F, (value >> 4) & 0x0F};
        default:
            return std::nullopt;
    }
}

const EventKindTraits& TraitsOf(hid::DeviceKind kind) {
    return kind == hid::kKindMouse || kind == hid::kKindKeyboard ? kPartneredTraits : kSingleTraits;
}

bool IsReceiverTypeCode(hid::DeviceTypeCode typeCode) {
    return typeCode == hid::kTypeMouseReceiver || typeCode == hid::kTypeKeyboardReceiver;
}

void SetReapplyMark() {
    g_reapplyMark.store(true);
}

bool ReapplyMarkSet() {
    return g_reapplyMark.load();
}

bool TakeReapplyMark() {
    return g_reapplyMark.exchange(false);
}

}  // namespace devices::events
