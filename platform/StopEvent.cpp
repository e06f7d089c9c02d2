#include "platform/StopEvent.h"

#include <chrono>

namespace platform {

void StopEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    cv_.notify_all();
}

void StopEvent::Reset() {
    std::lock_guard lock(mutex_);
    set_ = false;
}

bool StopEvent::IsSet() const {
    std::lock_guard lock(mutex_);
    return set_;
}

bool StopEvent::Wait(int timeoutMs) const {
    std::unique_lock lock(mutex_);
    if (timeoutMs < 0) {
        cv_.wait(lock, [this] { return set_; });
        return true;
    }
    return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return set_; });
}

}  // namespace platform
