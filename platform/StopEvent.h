#pragma once
// A manual-reset event: once set it stays set until Reset, and every waiter
// wakes. Worker threads wait on it instead of sleeping, so a stop is immediate.
#include <condition_variable>
#include <mutex>

namespace platform {

class StopEvent {
public:
    StopEvent() = default;
    StopEvent(const StopEvent&) = delete;
    StopEvent& operator=(const StopEvent&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    // Waits up to timeoutMs (negative: no limit). Returns true when set.
    bool Wait(int timeoutMs) const;
    // Sleeps timeoutMs unless the event is set first; true when it was set.
    bool SleepFor(int timeoutMs) const { return Wait(timeoutMs); }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    bool set_ = false;
};

}  // namespace platform
