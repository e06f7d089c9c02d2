#pragma once
// The wire core of a device object: what the connection code, the event
// readers and the lighting threads need from a device, without any control.
// The device object of a kind (its page) derives from it or owns one, and
// overrides the operations of its kind (ReadDevice, RefreshPowerStatus, the
// event callbacks, the lighting mode table).
//
// Threads: the event readers (in the event channel) and the lighting thread
// call the virtual operations below on their own threads. A subclass that
// overrides any of them calls StopThreads() in its own destructor, so no
// thread calls into a half-destroyed object.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "devices/DeviceChannel.h"
#include "devices/LightPreview.h"
#include "devices/events/DeviceThread.h"
#include "devices/events/EffectSequence.h"
#include "devices/events/EventChannel.h"
#include "hid/Catalog.h"

namespace devices::events {

// One lighting mode of a kind: its mode index, the thresholds (counted
// passes) for speed 0..4 and the preview step it runs.
struct LightModeRow {
    int mode;
    std::array<uint8_t, 5> thresholds;
    void (LightPreview::*step)();
};

// The previews every kind shares, in the mouse's numbering: 1 spectrum,
// 2 breathing, 3 static, 4 blink, 7 breathing over the fixed colours, 8 blink
// over them, 10 off. A kind's own table adds or replaces rows.
std::span<const LightModeRow> BasePreviewModes();

// Thresholds of the parameterised previews of the effect sequence.
inline constexpr std::array<uint8_t, 5> kSequenceThresholds = {8, 6, 4, 2, 1};

class CDeviceCore : public IEventSink {
  public:
    CDeviceCore(hid::DeviceKind kind, size_t lightCount, bool showPower);
    ~CDeviceCore() override;
    CDeviceCore(const CDeviceCore&) = delete;
    CDeviceCore& operator=(const CDeviceCore&) = delete;

    hid::DeviceKind Kind() const { return kind_; }
    DeviceChannel& Command() { return command_; }
    CEventChannel& Events() { return events_; }
    bool ShowsPower() const { return showPower_; }

    // The interface row the device serves; storing it sets the type code
    // and channel together.
    hid::HidInterfaceEntry InterfaceRow() const;
    void SetInterfaceRow(const hid::HidInterfaceEntry& row);
    hid::DeviceTypeCode TypeCode() const;

    // --- light buttons and preview ------------------------------------
    size_t LightCount() const { return lightCount_; }
    // One RGBA value per light button (red lowest byte, intensity highest).
    void SetLightColor(size_t index, uint32_t rgba);
    uint32_t GetLightColor(size_t index) const;
    std::vector<Rgba> LightColours() const;
    void SetLightState(const LightState& state);
    LightState GetLightState() const;
    CEffectSequence& Sequence() { return sequence_; }

    // Starts the lighting thread (from ReadDevice); false when it runs.
    bool StartLightThread();
    void StopLightThread();
    bool LightThreadRunning() const { return lightThread_.IsRunning(); }
    // Light steps run since construction.
    uint64_t LightSteps() const { return lightSteps_.load(); }

    // Stops the lighting thread and closes both event interfaces.
    void StopThreads();

    // --- the kind's operations (defaults do nothing) --------------------
    virtual void ReadDevice() {}
    virtual void RefreshPowerStatus() {}

    // IEventSink: a kind without these events ignores them.
    void StartReloadTimer(int) override {}
    void OnProfileSwitch(int, int) override {}

  protected:
    // The kind's lighting modes; a mode index without a row runs the
    // effect sequence.
    virtual std::span<const LightModeRow> LightModes() const { return BasePreviewModes(); }
    // After every pass of the lighting thread (keyboard, headset: paint and
    // stream the frame).
    virtual void AfterLightPass() {}
    // A kind's own preview step for a mode of its table, run with the light
    // lock held instead of the row's step; false leaves the row's step to run.
    virtual bool RunKindStep(const LightState& state, LightPreview& preview) {
        (void)state;
        (void)preview;
        return false;
    }
    // Runs fn on the preview with the light lock held.
    void WithPreview(const std::function<void(LightPreview&)>& fn);

  private:
    void LightThreadProc(platform::StopEvent& stop);
    // Threshold of the current mode at the current speed.
    int CurrentThreshold(const LightState& state) const;
    void RunLightStep(const LightState& state);
    void RunSequenceStep();
    void SequenceWave(const LightState& state);

    const hid::DeviceKind kind_;
    const size_t lightCount_;
    const bool showPower_;
    DeviceChannel command_;
    CEventChannel events_;

    mutable std::mutex rowMutex_;
    hid::HidInterfaceEntry row_;

    mutable std::mutex lightMutex_;
    LightState lightState_;
    LightPreview preview_;
    int wavePosition_ = 0;
    CEffectSequence sequence_;
    int sequenceCounter_ = 0;
    std::atomic<uint64_t> lightSteps_{0};
    CDeviceThread lightThread_;
};

// Types a kind's device object starts with before any row is stored.
hid::DeviceTypeCode CableTypeOfKind(hid::DeviceKind kind);

}  // namespace devices::events
