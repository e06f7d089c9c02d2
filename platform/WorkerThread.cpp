#include "platform/WorkerThread.h"

#include "platform/Debug.h"

namespace platform {

bool WorkerThread::Start(std::string name, Body body) {
    if (thread_.joinable()) return false;
    name_ = std::move(name);
    stop_.Reset();
    finished_.Reset();
    thread_ = std::thread([this, body = std::move(body)] {
        body(stop_);
        finished_.Set();
    });
    return true;
}

void WorkerThread::Stop(int graceMs) {
    if (!thread_.joinable()) return;
    stop_.Set();
    if (thread_.get_id() == std::this_thread::get_id()) {
        // A thread cannot join itself; its owner joins it later.
        return;
    }
    if (!finished_.Wait(graceMs)) {
        DebugOutF("thread %s did not stop within %d ms, still waiting", name_.c_str(), graceMs);
    }
    thread_.join();
}

}  // namespace platform
