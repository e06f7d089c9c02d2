#include "devices/events/LightSync.h"

#include <algorithm>

#include "platform/Debug.h"
#include "platform/TickClock.h"

namespace devices::events {

namespace {

// Every common type has the same row: 8, 6, 4, 2, 1 for speed 0..4, 0 above.
constexpr std::array<int, kSyncSpeedCount> kPeriodRow = {8, 6, 4, 2, 1, 0, 0, 0,
                                                         0, 0, 0, 0, 0, 0, 0};
constexpr std::array<std::array<int, kSyncSpeedCount>, kCommonTypeCount> kPeriods = {
    kPeriodRow, kPeriodRow, kPeriodRow, kPeriodRow, kPeriodRow};

constexpr int kPhaseCycle = 128;
constexpr size_t kColourStep = 16;
constexpr size_t kBlinkStep = 14;

uint32_t Pack(Rgb c, uint8_t intensity) {
    return uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16 | uint32_t(intensity) << 24;
}

uint32_t Breathing(const CommonLightState& s, SyncCounters& c) {
    c.breathingPhase = s.direction != 0 ? (c.breathingPhase + 1) % kPhaseCycle
                                        : (c.breathingPhase + kPhaseCycle - 1) % kPhaseCycle;
    Rgb colour = s.colour;
    if (s.multiColour) {
        if (c.breathingPhase == 0 || c.breathingPhase == 1) {
            c.breathingColour += kColourStep;
            if (c.breathingColour >= light::kWheelCycle) c.breathingColour = 0;
        }
        colour = light::Wheel(c.breathingColour);
    }
    const unsigned intensity = unsigned(light::Level(s.brightness)) *
                               light::BreathingCurve()[size_t(c.breathingPhase)] / 256;
    return Pack(colour, uint8_t(intensity));
}

uint32_t Blink(const CommonLightState& s, SyncCounters& c, uint32_t now) {
    const uint32_t interval = uint32_t(SyncPeriod(0, s.speed)) * 200u;
    if (now - c.lastBlinkTick >= interval) {
        c.blinkOn = !c.blinkOn;
        c.lastBlinkTick = now;
        c.blinkPosition += kBlinkStep;
        if (c.blinkPosition >= light::kWheelCycle) c.blinkPosition = 0;
    }
    if (!c.blinkOn) return 0;
    return Pack(s.multiColour ? light::Wheel(c.blinkPosition) : s.colour,
                light::Level(s.brightness));
}

uint32_t Spectrum(const CommonLightState& s, SyncCounters& c) {
    c.spectrumPosition = (c.spectrumPosition + 1) % int(light::kWheelCycle);
    return Pack(light::Wheel(size_t(c.spectrumPosition)), light::Level(s.brightness));
}

}  // namespace

int SyncPeriod(int type, int speed) {
    if (type < 0 || type >= kCommonTypeCount) return 0;
    if (speed < 0 || speed >= kSyncSpeedCount) return 0;
    return kPeriods[size_t(type)][size_t(speed)];
}

std::optional<uint32_t> StepCommonLight(const CommonLightState& state, SyncCounters& counters,
                                        uint32_t now) {
    switch (state.type) {
        case 0:
            return Breathing(state, counters);
        case 1:
            return Pack(state.colour, light::Level(state.brightness));
        case 2:
            return Blink(state, counters, now);
        case 3:
            return Spectrum(state, counters);
        case 4:
            return 0u;
        default:
            return std::nullopt;
    }
}

CDeviceCore* FirstSynchronisedDevice(const DeviceLists& lists) {
    for (const auto* list : {&lists.mice, &lists.keyboards, &lists.mousePads, &lists.headsets}) {
        for (CDeviceCore* d : *list) {
            if (d->Command().IsOpen() && d->Command().IsPaused()) return d;
        }
    }
    return nullptr;
}

void ApplySynchronisedColour(const DeviceLists& lists, uint32_t rgba) {
    for (const auto* list : {&lists.mice, &lists.mousePads, &lists.headsets, &lists.keyboards}) {
        for (CDeviceCore* d : *list) {
            if (!d->Command().IsPaused()) continue;
            for (size_t i = 0; i < d->LightCount(); ++i)
                d->SetLightColor(i, rgba);
        }
    }
}

bool UpdateSyncAvailability(CDeviceRegistry& registry, size_t visibleItems) {
    if (visibleItems > 1) return true;
    const DeviceLists lists = registry.Snapshot();
    for (const auto* list : {&lists.mice, &lists.keyboards, &lists.mousePads, &lists.headsets}) {
        for (CDeviceCore* d : *list)
            d->Command().SetPaused(false);
    }
    return false;
}

CLightSyncThread::CLightSyncThread(CDeviceRegistry& registry) : registry_(registry) {}

CLightSyncThread::~CLightSyncThread() {
    Stop();
}

void CLightSyncThread::SetCommonState(const CommonLightState& state) {
    std::lock_guard lock(stateMutex_);
    state_ = state;
}

CommonLightState CLightSyncThread::CommonState() const {
    std::lock_guard lock(stateMutex_);
    return state_;
}

bool CLightSyncThread::Start() {
    return thread_.Start("light sync", [this](platform::StopEvent& stop) { ThreadProc(stop); });
}

void CLightSyncThread::Stop(int graceMs) {
    thread_.Stop(graceMs);
}

void CLightSyncThread::ThreadProc(platform::StopEvent& stop) {
    SyncCounters counters;
    counters.referenceTick = platform::TickClock::TickCount();
    for (;;) {
        if (!platform::TickClock::WaitForTickChange(platform::TickClock::TickIndex(), stop)) break;
        // A copy of the lists: the UI thread may append meanwhile.
        const DeviceLists lists = registry_.Snapshot();
        if (!FirstSynchronisedDevice(lists)) {
            if (stop.Wait(idlePauseMs_.load())) break;
            continue;
        }
        const uint32_t now = platform::TickClock::TickCount();
        if (now - counters.referenceTick > 1) {
            counters.referenceTick = now;
            ++counters.units;
        }
        const CommonLightState state = CommonState();
        if (state.type < 0 || state.type >= kCommonTypeCount) continue;
        if (counters.units < uint32_t(SyncPeriod(state.type, state.speed))) continue;
        counters.units = 0;
        if (const auto rgba = StepCommonLight(state, counters, now)) {
            ApplySynchronisedColour(lists, *rgba);
            steps_.fetch_add(1);
        }
    }
    platform::DebugOut("同步灯光线程设定退出");
}

}  // namespace devices::events
