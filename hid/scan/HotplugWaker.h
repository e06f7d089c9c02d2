#pragma once
// The scan's pause between passes: a timed wait that ends early when Wake()
// is called (a stop request, a simulated plug) or, when enabled, when udev
// reports a hidraw node added or removed. The udev monitor only shortens the
// pause; the scan still finds every change by itself.
#include <atomic>
#include <memory>

namespace hid::scan {

class CHotplugWaker {
  public:
    CHotplugWaker();
    ~CHotplugWaker();
    CHotplugWaker(const CHotplugWaker&) = delete;
    CHotplugWaker& operator=(const CHotplugWaker&) = delete;

    // Starts listening for hidraw add and remove events; false when udev is
    // not available (the pause then only ends on time or by Wake()).
    bool EnableUdevMonitor();
    bool UdevMonitorEnabled() const;

    // Waits up to timeoutMs; true when woken early (Wake or a udev event).
    bool Wait(int timeoutMs);
    // Ends the current or next Wait at once. Safe from any thread.
    void Wake();

  private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace hid::scan
