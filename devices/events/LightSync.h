#pragma once
// Synchronised lighting: while the command channels of several devices are
// paused, one thread animates all their light buttons with one shared
// effect (the common light state set by the "same mode" control).
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "devices/LightPreview.h"
#include "devices/events/DeviceRegistry.h"
#include "devices/events/DeviceThread.h"

namespace devices::events {

// The common effect: type 0 breathing, 1 static, 2 blink, 3 spectrum, 4 off.
struct CommonLightState {
    int type = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    bool multiColour = false;
    Rgb colour;
};

// The thread's counters, all 0 at start.
struct SyncCounters {
    uint32_t units = 0;
    uint32_t referenceTick = 0;
    int breathingPhase = 0;
    size_t breathingColour = 0;
    int spectrumPosition = 0;
    bool blinkOn = false;
    size_t blinkPosition = 0;
    uint32_t lastBlinkTick = 0;
};

inline constexpr int kCommonTypeCount = 5;
inline constexpr int kSyncSpeedCount = 15;
// Passes between two steps, per common type and speed (0: every pass).
int SyncPeriod(int type, int speed);

// One step of the common effect at tick count `now`; the colour and
// intensity packed as RGBA (red lowest byte, intensity highest). nullopt
// for a type above 4.
std::optional<uint32_t> StepCommonLight(const CommonLightState& state, SyncCounters& counters,
                                        uint32_t now);

// The first device whose command channel is open and paused (mice, then
// keyboards, mouse pads, headsets); nullptr when none takes part.
CDeviceCore* FirstSynchronisedDevice(const DeviceLists& lists);
// Sets every light below its count on every paused device (mice, mouse
// pads, headsets, keyboards) to `rgba`.
void ApplySynchronisedColour(const DeviceLists& lists, uint32_t rgba);

// Synchronised lighting needs two visible selector items: with fewer it ends
// for every device (their paused flags are cleared). Returns whether it is
// available.
bool UpdateSyncAvailability(CDeviceRegistry& registry, size_t visibleItems);

class CLightSyncThread {
  public:
    explicit CLightSyncThread(CDeviceRegistry& registry);
    ~CLightSyncThread();

    void SetCommonState(const CommonLightState& state);
    CommonLightState CommonState() const;

    bool Start();
    void Stop(int graceMs = 1000);
    bool IsRunning() const { return thread_.IsRunning(); }
    // Steps applied since construction.
    uint64_t Steps() const { return steps_.load(); }
    // Idle time between active tests while nothing is synchronised.
    void SetIdlePauseMs(int ms) { idlePauseMs_.store(ms < 1 ? 1 : ms); }

  private:
    void ThreadProc(platform::StopEvent& stop);

    CDeviceRegistry& registry_;
    mutable std::mutex stateMutex_;
    CommonLightState state_;
    std::atomic<uint64_t> steps_{0};
    std::atomic<int> idlePauseMs_{1000};
    CDeviceThread thread_;
};

}  // namespace devices::events
