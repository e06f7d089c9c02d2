#include "devices/events/DeviceCore.h"

#include <algorithm>

#include "platform/Debug.h"
#include "platform/TickClock.h"

namespace devices::events {

namespace {

constexpr std::array<uint8_t, 5> kBaseThresholds = {8, 6, 4, 2, 1};

constexpr LightModeRow kBaseModes[] = {
    {1, kBaseThresholds, &LightPreview::PreviewSpectrum},
    {2, kBaseThresholds, &LightPreview::PreviewBreathing},
    {3, kBaseThresholds, &LightPreview::PreviewStatic},
    {4, kBaseThresholds, &LightPreview::PreviewBlink},
    {7, kBaseThresholds, &LightPreview::PreviewBreathingSet},
    {8, kBaseThresholds, &LightPreview::PreviewBlinkSet},
    {10, kBaseThresholds, &LightPreview::PreviewOff},
};

// Sequence step modes and the preview each selects (3 wave is drawn here).
enum SequenceMode {
    kSeqWave = 0,
    kSeqSpectrum = 1,
    kSeqBreathing = 2,
    kSeqStatic = 3,
    kSeqBlink = 4
};

const LightModeRow* FindRow(std::span<const LightModeRow> rows, int mode) {
    for (const auto& row : rows) {
        if (row.mode == mode) return &row;
    }
    return nullptr;
}

uint32_t Pack(const Rgba& c) {
    return uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16 | uint32_t(c.a) << 24;
}

Rgba Unpack(uint32_t v) {
    return Rgba{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

bool NextPass(platform::StopEvent& stop) {
    return platform::TickClock::WaitForTickChange(platform::TickClock::TickIndex(), stop);
}

const char* LightStopTrace(hid::DeviceKind kind) {
    return kind == hid::kKindKeyboard ? "KB灯光线程设定退出" : "MS灯光线程设定退出";
}

}  // namespace

std::span<const LightModeRow> BasePreviewModes() {
    return kBaseModes;
}

hid::DeviceTypeCode CableTypeOfKind(hid::DeviceKind kind) {
    switch (kind) {
        case hid::kKindMouse:
            return hid::kTypeMouse;
        case hid::kKindKeyboard:
            return hid::kTypeKeyboard;
        case hid::kKindMousePad:
            return hid::kTypeMousePad;
        case hid::kKindHeadset:
            return hid::kTypeHeadset;
        default:
            return 0;
    }
}

CDeviceCore::CDeviceCore(hid::DeviceKind kind, size_t lightCount, bool showPower)
    : kind_(kind),
      lightCount_(lightCount),
      showPower_(showPower),
      events_(kind, *this),
      preview_(lightCount) {
    row_.typeCode = CableTypeOfKind(kind);
}

CDeviceCore::~CDeviceCore() {
    StopThreads();
    command_.SetOpen(false);
}

void CDeviceCore::StopThreads() {
    StopLightThread();
    events_.CloseEventInterface(hid::kTypeMouse);
    events_.CloseEventInterface(hid::kTypeMouseReceiver);
}

hid::HidInterfaceEntry CDeviceCore::InterfaceRow() const {
    std::lock_guard lock(rowMutex_);
    return row_;
}

void CDeviceCore::SetInterfaceRow(const hid::HidInterfaceEntry& row) {
    std::lock_guard lock(rowMutex_);
    row_ = row;
}

hid::DeviceTypeCode CDeviceCore::TypeCode() const {
    std::lock_guard lock(rowMutex_);
    return row_.typeCode;
}

void CDeviceCore::SetLightColor(size_t index, uint32_t rgba) {
    std::lock_guard lock(lightMutex_);
    preview_.SetColour(index, Unpack(rgba));
}

uint32_t CDeviceCore::GetLightColor(size_t index) const {
    std::lock_guard lock(lightMutex_);
    return Pack(preview_.Colour(index));
}

std::vector<Rgba> CDeviceCore::LightColours() const {
    std::lock_guard lock(lightMutex_);
    return preview_.Colours();
}

void CDeviceCore::SetLightState(const LightState& state) {
    std::lock_guard lock(lightMutex_);
    lightState_ = state;
}

LightState CDeviceCore::GetLightState() const {
    std::lock_guard lock(lightMutex_);
    return lightState_;
}

void CDeviceCore::WithPreview(const std::function<void(LightPreview&)>& fn) {
    std::lock_guard lock(lightMutex_);
    fn(preview_);
}

bool CDeviceCore::StartLightThread() {
    return lightThread_.Start("lighting",
                              [this](platform::StopEvent& stop) { LightThreadProc(stop); });
}

void CDeviceCore::StopLightThread() {
    lightThread_.Stop(1000);
}

int CDeviceCore::CurrentThreshold(const LightState& state) const {
    const LightState s = state.Clamped();
    const LightModeRow* row = FindRow(LightModes(), s.mode);
    return row ? row->thresholds[size_t(s.speed)] : 0;
}

void CDeviceCore::LightThreadProc(platform::StopEvent& stop) {
    int counter = 0;
    while (NextPass(stop)) {
        if (!command_.IsOpen()) {
            if (stop.Wait(100)) break;
            continue;
        }
        if (command_.IsPaused()) continue;
        // One counted tick change per pass: the step rate follows the speed.
        ++counter;
        const LightState state = GetLightState();
        if (FindRow(LightModes(), state.mode) == nullptr) {
            RunSequenceStep();
        } else if (counter >= CurrentThreshold(state)) {
            counter = 0;
            RunLightStep(state);
        }
        AfterLightPass();
    }
    platform::DebugOut(LightStopTrace(kind_));
}

void CDeviceCore::RunLightStep(const LightState& state) {
    const LightModeRow* row = FindRow(LightModes(), state.mode);
    if (!row) return;
    WithPreview([&](LightPreview& p) {
        p.SetLightState(state);
        if (!RunKindStep(state, p)) (p.*(row->step))();
    });
    lightSteps_.fetch_add(1);
}

void CDeviceCore::RunSequenceStep() {
    const auto step = sequence_.Current(platform::TickClock::TickCount());
    if (!step) {
        WithPreview([](LightPreview& p) { p.PreviewOff(); });
        lightSteps_.fetch_add(1);
        return;
    }
    const LightState state = StepLightState(*step);
    StoreSharedSequenceState(kind_, state);
    if (++sequenceCounter_ < kSequenceThresholds[size_t(state.speed)]) return;
    sequenceCounter_ = 0;
    const LightState shared = SharedSequenceState(kind_);
    WithPreview([&](LightPreview& p) {
        p.SetLightState(shared);
        switch (shared.mode) {
            case kSeqWave:
                SequenceWave(shared);
                break;
            case kSeqSpectrum:
                p.PreviewSpectrum();
                break;
            case kSeqBreathing:
                p.PreviewBreathing();
                break;
            case kSeqStatic:
                p.PreviewStatic();
                break;
            case kSeqBlink:
                p.PreviewBlink();
                break;
            default:
                p.PreviewOff();
                break;
        }
    });
    lightSteps_.fetch_add(1);
}

// A wave over the light buttons: neighbouring lights seven wheel entries
// apart, or with one colour a brightness wave along the breathing curve.
// Called with the light lock held.
void CDeviceCore::SequenceWave(const LightState& state) {
    const int cycle = int(light::kWheelCycle);
    wavePosition_ =
        state.direction != 0 ? (wavePosition_ + 1) % cycle : (wavePosition_ + cycle - 1) % cycle;
    const uint8_t level = light::Level(state.brightness);
    for (size_t i = 0; i < lightCount_; ++i) {
        const size_t at = (size_t(wavePosition_) + 7 * i) % light::kWheelCycle;
        if (state.multiColour) {
            const Rgb c = light::Wheel(at);
            preview_.SetColour(i, Rgba{c.r, c.g, c.b, level});
        } else {
            const unsigned alpha =
                unsigned(light::BreathingCurve()[at % light::kCurveLength]) * level / 256;
            preview_.SetColour(i, Rgba{state.red, state.green, state.blue, uint8_t(alpha)});
        }
    }
}

}  // namespace devices::events
