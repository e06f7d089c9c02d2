#pragma once
// The custom lighting effect of a profile as a sequence of steps, each shown
// for its duration ("Time", in milliseconds of the tick count). The index
// and the step list are guarded by one lock; the lighting thread reads the
// current step and advances the index when the step's time is up.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "devices/LightPreview.h"
#include "hid/Catalog.h"
#include "profiles/ProfileRecords.h"

namespace devices::events {

class CEffectSequence {
  public:
    // Replaces the steps and restarts at step 0.
    void SetSteps(std::vector<profiles::LightEffectStep> steps);
    // The step to show at tick count `now`: wraps an index at or past the
    // count to 0, and advances (wrapping) once the step's time has elapsed
    // since it began. nullopt when the list is empty.
    std::optional<profiles::LightEffectStep> Current(uint32_t now);

    size_t Index() const;
    size_t Count() const;

  private:
    mutable std::mutex mutex_;
    std::vector<profiles::LightEffectStep> steps_;
    size_t index_ = 0;
    uint32_t stepStart_ = 0;
    bool started_ = false;
};

// A step's values as a light state (mode, brightness, speed, direction,
// multi-colour, colour); brightness and speed held to 0..4.
LightState StepLightState(const profiles::LightEffectStep& step);

// The state of the sequence step last shown by any device of a kind, shared
// by the devices of that kind; written by the lighting threads.
void StoreSharedSequenceState(hid::DeviceKind kind, const LightState& state);
LightState SharedSequenceState(hid::DeviceKind kind);

}  // namespace devices::events
