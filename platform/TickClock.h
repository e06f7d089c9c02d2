#pragma once
// The system tick: a millisecond count that advances in 15.625 ms steps, the
// grain the lighting effects were tuned for. Tests can switch to a manual
// clock and drive it themselves.
#include <cstdint>

namespace platform {

class StopEvent;

class TickClock {
public:
    static constexpr double kTickMs = 15.625;

    // Milliseconds since an arbitrary start, rounded down to the tick grain.
    static uint32_t TickCount();
    // Number of whole ticks since the start.
    static uint64_t TickIndex();

    // Waits until the tick index differs from `fromIndex` or `stop` is set.
    // Returns false when the stop event ended the wait.
    static bool WaitForTickChange(uint64_t fromIndex, StopEvent& stop);

    // Test control: a manual clock stands still until Advance is called.
    static void UseManual(bool manual);
    static void Advance(uint64_t ticks);
    static bool IsManual();
};

}  // namespace platform
