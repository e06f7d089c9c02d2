#pragma once
// A worker thread with its own stop event. Stop() sets the event and joins;
// it never detaches, because the thread may touch objects that die after it.
#include <functional>
#include <string>
#include <thread>

#include "platform/StopEvent.h"

namespace platform {

class WorkerThread {
public:
    using Body = std::function<void(StopEvent& stop)>;

    WorkerThread() = default;
    ~WorkerThread() { Stop(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts the body on a new thread. The stop event is created unset here,
    // before the thread runs, so a Stop() that comes first is never lost.
    // Returns false when a thread is already running.
    bool Start(std::string name, Body body);

    // Sets the stop event and joins. When the thread has not ended after
    // graceMs a trace line is written and the join continues.
    void Stop(int graceMs = 1000);

    // Sets the stop event without waiting.
    void RequestStop() { stop_.Set(); }
    bool IsRunning() const { return thread_.joinable(); }
    bool IsCurrentThread() const { return thread_.get_id() == std::this_thread::get_id(); }
    StopEvent& Event() { return stop_; }
    const std::string& Name() const { return name_; }

private:
    std::thread thread_;
    StopEvent stop_;
    StopEvent finished_;
    std::string name_;
};

}  // namespace platform
