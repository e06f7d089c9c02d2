#include "devices/events/EventChannel.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/Debug.h"
#include "platform/TickClock.h"

namespace devices::events {

namespace {

constexpr size_t kMinReportBuffer = 64;

// One pass of a worker loop: until the next tick change or the stop.
bool NextPass(platform::StopEvent& stop) {
    return platform::TickClock::WaitForTickChange(platform::TickClock::TickIndex(), stop);
}

}  // namespace

CEventChannel::CEventChannel(hid::DeviceKind kind, IEventSink& sink) : kind_(kind), sink_(sink) {}

CEventChannel::~CEventChannel() {
    CloseEventInterface(hid::kTypeMouse);
    CloseEventInterface(hid::kTypeMouseReceiver);
}

bool CEventChannel::UsesReceiver(hid::DeviceTypeCode typeCode) const {
    return TraitsOf(kind_).hasReceiver && IsReceiverTypeCode(typeCode);
}

std::recursive_mutex& CEventChannel::LockOf(bool receiver) {
    return receiver ? channel_.ReceiverLock() : channel_.IoLock();
}

hid::CHidDevice& CEventChannel::InterfaceOf(bool receiver) {
    return receiver ? channel_.ReceiverInterface() : channel_.CableInterface();
}

bool CEventChannel::OpenEventInterface(const std::string& path, hid::DeviceTypeCode typeCode) {
    const bool receiver = UsesReceiver(typeCode);
    Reader& reader = ReaderOf(receiver);
    bool opened = false;
    {
        std::lock_guard lock(LockOf(receiver));
        reader.open.store(false);
        InterfaceOf(receiver).Close();
        opened = InterfaceOf(receiver).Open(path, true, true, true, false);
        reader.open.store(opened);
    }
    if (!reader.thread.IsRunning()) {
        reader.thread.Start(
            receiver ? "event reader (receiver)" : "event reader",
            [this, receiver](platform::StopEvent& stop) { ReaderProc(receiver, stop); });
    }
    return opened;
}

void CEventChannel::CloseEventInterface(hid::DeviceTypeCode typeCode) {
    const bool receiver = UsesReceiver(typeCode);
    Reader& reader = ReaderOf(receiver);
    {
        // Closing aborts a read that waits with no time-out, so the reader
        // sees its stop event at once instead of being abandoned.
        std::lock_guard lock(LockOf(receiver));
        reader.open.store(false);
        InterfaceOf(receiver).Close();
    }
    reader.thread.Stop(TraitsOf(kind_).readerGraceMs);
}

bool CEventChannel::ReopenEventInterface(const std::string& path, hid::DeviceTypeCode typeCode) {
    CloseEventInterface(typeCode);
    return OpenEventInterface(path, typeCode);
}

bool CEventChannel::IsInterfaceOpen(hid::DeviceTypeCode typeCode) const {
    return ReaderOf(UsesReceiver(typeCode)).open.load();
}

bool CEventChannel::IsReaderRunning(hid::DeviceTypeCode typeCode) const {
    return ReaderOf(UsesReceiver(typeCode)).thread.IsRunning();
}

size_t CEventChannel::InputLength(bool receiver) {
    std::lock_guard lock(LockOf(receiver));
    if (!ReaderOf(receiver).open.load()) return 0;
    return std::max<size_t>(InterfaceOf(receiver).Caps().inputReportByteLength, kMinReportBuffer);
}

std::optional<uint16_t> CEventChannel::DecodeEvent(bool receiver, const uint8_t* report,
                                                   size_t length) {
    std::lock_guard lock(LockOf(receiver));
    hid::CHidDevice& dev = InterfaceOf(receiver);
    if (!ReaderOf(receiver).open.load() || !dev.UnpackInputReport(report, length)) {
        return std::nullopt;
    }
    for (const hid::HidDataItem& item : dev.InputItems()) {
        if (!item.isButtonData && item.isDataSet && item.reportId == report[0]) {
            return static_cast<uint16_t>(item.value & 0xFFFF);
        }
    }
    return std::nullopt;
}

void CEventChannel::ReaderProc(bool receiver, platform::StopEvent& stop) {
    std::vector<uint8_t> report;
    while (NextPass(stop)) {
        const size_t length = InputLength(receiver);
        if (length == 0) continue;
        report.assign(length, 0);
        size_t got = 0;
        // No time-out: a close from another thread ends the read at once.
        if (!InterfaceOf(receiver).ReadReport(report.data(), report.size(), &got, hid::kInfinite) ||
            got == 0) {
            continue;
        }
        const auto value = DecodeEvent(receiver, report.data(), got);
        if (!value) continue;
        eventsRead_.fetch_add(1);
        platform::DebugOut("接收到自动添加设备的同步信息要求  TEST");
        Dispatch(receiver, *value);
    }
    platform::DebugOut(TraitsOf(kind_).readerStopTrace);
}

void CEventChannel::Dispatch(bool receiver, uint16_t value) {
    switch (ClassifyEvent(kind_, receiver, value)) {
        case EventAction::None:
            break;
        case EventAction::ReapplyAndReload:
            SetReapplyMark();
            [[fallthrough]];
        case EventAction::Reload:
            sink_.StartReloadTimer(TraitsOf(kind_).reloadDelayMs);
            platform::DebugOut("接收到自动添加设备的同步信息要求");
            break;
        case EventAction::ReactiveTrigger:
            sink_.OnReactiveTrigger();
            break;
        case EventAction::KeyPressThenEvent:
            sink_.OnKeyTrigger(value - 0x500, 1);
            DeviceEvent(value);
            break;
        case EventAction::KeyRelease:
            sink_.OnKeyTrigger(value - 0x600, 2);
            break;
        case EventAction::DeviceEvent:
            DeviceEvent(value);
            break;
    }
}

void CEventChannel::DeviceEvent(uint16_t value) {
    if (const auto change = ParseDeviceEvent(value)) {
        sink_.OnProfileSwitch(change->profile, change->dpiStage);
    }
}

}  // namespace devices::events
