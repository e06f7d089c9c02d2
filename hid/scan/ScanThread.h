#pragma once
// The device scan: a thread that looks at the HID interfaces every 100 ms,
// claims a slot for every supported interface that appears and releases it
// when the interface goes away, and reports each change to a sink.
//
// The scan never touches device objects. It changes a slot first and then
// calls the sink on its own thread, synchronously: the main window answers
// OnInterfaceArrived / OnInterfaceRemoved by sending itself the arrival and
// removal messages (0x0C12 / 0x0C13, wParam = slot) and returns when they
// were handled. OnFirstPassDone comes once per run, after every interface
// present at start was reported; the window posts the instance message
// from it.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "hid/scan/HotplugWaker.h"
#include "hid/scan/InterfaceSlots.h"
#include "platform/StopEvent.h"
#include "platform/WorkerThread.h"

namespace hid {
class CHidDevice;
}

namespace hid::scan {

class IScanSink {
  public:
    virtual ~IScanSink() = default;
    // Slot `slot` was claimed (its path is set).
    virtual void OnInterfaceArrived(size_t slot) = 0;
    // Slot `slot` was released (already free when this is called).
    virtual void OnInterfaceRemoved(size_t slot) = 0;
    // The first pass of this run is done; every arrival of that pass came first.
    virtual void OnFirstPassDone() = 0;
};

struct ScanOptions {
    int periodMs = 100;
    // Wake the scan early on udev hidraw events (real devices only).
    bool udevMonitor = false;
};

class CScanThread {
  public:
    CScanThread(CInterfaceSlots& slots, IScanSink& sink, ScanOptions options = {});
    ~CScanThread();
    CScanThread(const CScanThread&) = delete;
    CScanThread& operator=(const CScanThread&) = delete;

    // Starts a run; false when one is already running.
    bool Start();
    // Sets the stop event, ends the pause at once and joins.
    void Stop(int graceMs = 1000);
    bool IsRunning() const { return worker_.IsRunning(); }
    // Starts the next pass now (after a plug the caller knows about).
    void Wake() { waker_.Wake(); }

    // Completed passes and failed enumerations since construction.
    uint64_t Passes() const { return passes_.load(); }
    uint64_t FailedEnumerations() const { return failedEnumerations_.load(); }

  private:
    void ScanThreadProc(platform::StopEvent& stop);
    // Enumerates and claims; false when the enumeration failed.
    bool ScanArrivals(const platform::StopEvent& stop);
    void Identify(const std::string& path);
    void PresenceTest();

    CInterfaceSlots& slots_;
    IScanSink& sink_;
    ScanOptions options_;
    CHotplugWaker waker_;
    // The identification object: made on the first run, used only by the scan.
    std::unique_ptr<CHidDevice> ident_;
    std::atomic<uint64_t> passes_{0};
    std::atomic<uint64_t> failedEnumerations_{0};
    platform::WorkerThread worker_;
};

}  // namespace hid::scan
