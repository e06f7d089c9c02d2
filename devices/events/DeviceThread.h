#pragma once
// A device worker thread (event reader, lighting thread, light
// synchronisation): a WorkerThread whose stop writes one trace line by
// outcome. The thread body never resets its stop event: WorkerThread creates
// it unset before the thread runs, so a stop that comes first is kept.
#include <string>

#include "platform/StopEvent.h"
#include "platform/WorkerThread.h"

namespace devices::events {

// Trace lines written when a stopped thread ended in time or not.
inline constexpr const char* kThreadEndedTrace = "线程退出：：对象处于激发状态\n";
inline constexpr const char* kThreadTimeoutTrace = "线程退出：：对象处于非激发状态，超时\n";

class CDeviceThread {
  public:
    CDeviceThread() = default;
    ~CDeviceThread() { Stop(1000); }
    CDeviceThread(const CDeviceThread&) = delete;
    CDeviceThread& operator=(const CDeviceThread&) = delete;

    bool Start(std::string name, platform::WorkerThread::Body body);
    // Sets the stop event and waits up to graceMs for the thread, writing the
    // trace line of the outcome; a thread that is late is still joined (its
    // waits are all interruptible), never left running.
    void Stop(int graceMs);
    void RequestStop() { worker_.RequestStop(); }
    bool IsRunning() const { return worker_.IsRunning(); }

  private:
    platform::WorkerThread worker_;
    platform::StopEvent done_;
};

}  // namespace devices::events
