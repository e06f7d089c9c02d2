#include "devices/events/EffectSequence.h"

#include <algorithm>
#include <array>

namespace devices::events {

void CEffectSequence::SetSteps(std::vector<profiles::LightEffectStep> steps) {
    std::lock_guard lock(mutex_);
    steps_ = std::move(steps);
    index_ = 0;
    started_ = false;
}

std::optional<profiles::LightEffectStep> CEffectSequence::Current(uint32_t now) {
    std::lock_guard lock(mutex_);
    if (index_ >= steps_.size()) index_ = 0;
    if (steps_.empty()) return std::nullopt;
    if (!started_) {
        started_ = true;
        stepStart_ = now;
    }
    const uint32_t duration = uint32_t(std::max<int32_t>(steps_[index_].time, 0));
    if (now - stepStart_ >= duration) {
        index_ = (index_ + 1) % steps_.size();
        stepStart_ = now;
    }
    return steps_[index_];
}

size_t CEffectSequence::Index() const {
    std::lock_guard lock(mutex_);
    return index_;
}

size_t CEffectSequence::Count() const {
    std::lock_guard lock(mutex_);
    return steps_.size();
}

LightState StepLightState(const profiles::LightEffectStep& step) {
    LightState s;
    s.mode = step.ledRegMode;
    s.brightness = step.ledBrightness;
    s.speed = step.ledSpeed;
    s.direction = step.ledDirection;
    s.multiColour = step.ledMultiColor != 0;
    s.red = step.red;
    s.green = step.green;
    s.blue = step.blue;
    return s.Clamped();
}

namespace {

struct SharedStates {
    std::mutex mutex;
    std::array<LightState, hid::kDeviceRowCount> states{};
};

SharedStates& Shared() {
    static SharedStates shared;
    return shared;
}

size_t KindSlot(hid::DeviceKind kind) {
    return kind >= 0 && size_t(kind) < hid::kDeviceRowCount ? size_t(kind) : 0;
}

}  // namespace

void StoreSharedSequenceState(hid::DeviceKind kind, const LightState& state) {
    std::lock_guard lock(Shared().mutex);
    Shared().states[KindSlot(kind)] = state;
}

LightState SharedSequenceState(hid::DeviceKind kind) {
    std::lock_guard lock(Shared().mutex);
    return Shared().states[KindSlot(kind)];
}

}  // namespace devices::events
