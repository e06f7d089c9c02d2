#include "platform/TickClock.h"

#include <atomic>
#include <chrono>
#include <cmath>

#include "platform/StopEvent.h"

namespace platform {
namespace {

constexpr int64_t kTickNs = 15'625'000;

std::atomic<bool> g_manual{false};
std::atomic<uint64_t> g_manualTicks{0};

int64_t MonotonicNs() {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return duration_cast<nanoseconds>(steady_clock::now() - start).count();
}

}  // namespace

uint64_t TickClock::TickIndex() {
    if (g_manual.load()) return g_manualTicks.load();
    return static_cast<uint64_t>(MonotonicNs() / kTickNs);
}

uint32_t TickClock::TickCount() {
    // 15.625 ms = 125 / 8 ms; the count wraps like a 32-bit millisecond counter.
    return static_cast<uint32_t>(TickIndex() * 125 / 8);
}

bool TickClock::WaitForTickChange(uint64_t fromIndex, StopEvent& stop) {
    while (TickIndex() == fromIndex) {
        int waitMs = 1;
        if (!g_manual.load()) {
            const int64_t next = static_cast<int64_t>(fromIndex + 1) * kTickNs;
            waitMs = static_cast<int>(std::ceil((next - MonotonicNs()) / 1e6));
            if (waitMs < 1) waitMs = 1;
        }
        if (stop.Wait(waitMs)) return false;
    }
    return !stop.IsSet();
}

void TickClock::UseManual(bool manual) {
    if (manual && !g_manual.load()) g_manualTicks.store(TickIndex());
    g_manual.store(manual);
}

void TickClock::Advance(uint64_t ticks) { g_manualTicks.fetch_add(ticks); }

bool TickClock::IsManual() { return g_manual.load(); }

}  // namespace platform
