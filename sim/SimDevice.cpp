#include "sim/SimDevice.h"

#include <chrono>

namespace sim {

SimDevice::SimDevice(std::string name, uint16_t vendorId, uint16_t productId, uint16_t version)
    : name_(std::move(name)), vendorId_(vendorId), productId_(productId), version_(version) {}

SimDevice::~SimDevice() = default;

bool SimDevice::OnSetOutputReport(const SimCollection&, const uint8_t*, size_t) {
    return false;
}

void SimDevice::Emit(uint16_t collectionNumber, std::vector<uint8_t> report) {
    {
        std::lock_guard<std::mutex> lock(inputMutex_);
        input_.push_back(Pending{collectionNumber, std::move(report)});
    }
    inputCv_.notify_all();
}

bool SimDevice::TakeInput(uint16_t collectionNumber, std::vector<uint8_t>& out, int timeoutMs,
                          const std::function<bool()>& aborted) {
    std::unique_lock<std::mutex> lock(inputMutex_);
    auto pending = input_.end();
    auto ready = [&] {
        if (aborted && aborted()) return true;
        for (auto it = input_.begin(); it != input_.end(); ++it) {
            if (it->collection == collectionNumber) {
                pending = it;
                return true;
            }
        }
        return false;
    };
    if (timeoutMs < 0) {
        inputCv_.wait(lock, ready);
    } else if (!inputCv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
        return false;
    }
    if (aborted && aborted()) return false;
    out = std::move(pending->report);
    input_.erase(pending);
    return true;
}

void SimDevice::WakeReaders() {
    // Taking the lock orders the wake-up after a waiter's predicate check, so
    // an abort flag set just before this call is never missed.
    { std::lock_guard<std::mutex> lock(inputMutex_); }
    inputCv_.notify_all();
}

void SimDevice::ClearInput() {
    std::lock_guard<std::mutex> lock(inputMutex_);
    input_.clear();
}

}  // namespace sim
