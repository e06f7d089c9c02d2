#include "devices/mouse/MouseDpi.h"

#include <algorithm>
#include <cctype>

namespace devices::mouse {

CMouseDpiRules::CMouseDpiRules(const DeviceInfo& info)
    : CMouseDpiRules(info.DpiCode(), info.DpiStep(), info.DpiMaxSteps(), info.DpiMin()) {}

CMouseDpiRules::CMouseDpiRules(uint16_t code, uint8_t step, uint16_t maxSteps, uint16_t minimum)
    : code_(code), step_(step), maxSteps_(maxSteps), minimum_(minimum) {}

int CMouseDpiRules::StepsToDpi(int steps) const {
    steps = std::clamp(steps, 0, kMaxStoredSteps);
    if (TwoSlope() && steps > kTwoSlopeSteps)
        return Threshold() + kUpperStepDpi * (steps - kTwoSlopeSteps);
    return steps * step_ + minimum_;
}

int CMouseDpiRules::ClampSteps(int steps) const {
    const int top = maxSteps_ > 0 ? maxSteps_ : kMaxStoredSteps;
    return std::clamp(steps, 0, top);
}

int CMouseDpiRules::DpiToSteps(int dpi) const {
    const int n = std::max(dpi, minimum_);
    if (TwoSlope() && n > Threshold())
        return ClampSteps((n - Threshold()) / kUpperStepDpi + kTwoSlopeSteps);
    if (step_ == 0) return 0;
    return ClampSteps((n - minimum_) / step_);
}

int CMouseDpiRules::DpiToSteps(std::string_view typed) const {
    return DpiToSteps(ParseDecimal(typed));
}

int ParseDecimal(std::string_view text) {
    constexpr int kCap = 10'000'000;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        value = std::min(kCap, value * 10 + (c - '0'));
    }
    return value;
}

int KorvaDpiEditValue(std::string_view text) {
    return std::clamp(ParseDecimal(text), 200, 6500);
}

}  // namespace devices::mouse
