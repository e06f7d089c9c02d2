#pragma once
// Conversion between the mouse's DPI slider steps and DPI values, from the
// conversion values of DeviceInfo: code (bytes 9-10), step (11), slider
// maximum (12-13) and minimum (14-15).
//
// Plain rule: DPI = steps × step + minimum.
// Two-slope rule (code 13093): one step is `step` DPI up to 48 steps and 200
// DPI above, so with T = step × 48 + minimum:
//   DPI   = T + 200 × (steps − 48)            for steps > 48
//   steps = (DPI − T) ÷ 200 + 48              for DPI > T
// Every step count converts to a DPI that converts back to the same count.
#include <cstdint>
#include <string_view>

#include "devices/DeviceInfo.h"

namespace devices::mouse {

class CMouseDpiRules {
  public:
    static constexpr uint16_t kTwoSlopeCode = 13093;
    static constexpr int kTwoSlopeSteps = 48;
    static constexpr int kUpperStepDpi = 200;
    static constexpr int kMaxStoredSteps = 0xFFFF;  // the page holds 16 bits

    CMouseDpiRules() = default;
    explicit CMouseDpiRules(const DeviceInfo& info);
    CMouseDpiRules(uint16_t code, uint8_t step, uint16_t maxSteps, uint16_t minimum);

    int StepsToDpi(int steps) const;
    // A typed value: raised to the minimum, converted, and clamped to the
    // slider maximum when it is known. A step of 0 (DeviceInfo never read)
    // gives 0 steps on the plain rule instead of dividing by it.
    int DpiToSteps(int dpi) const;
    // The text of an edit box: leading decimal digits, empty reads as 0.
    int DpiToSteps(std::string_view typed) const;
    // What an edit box shows once a typed value is taken.
    int ShownDpi(int typed) const { return StepsToDpi(DpiToSteps(typed)); }

    // Slider range 0..SliderMax(); edit range 0..EditMax() (slider maximum ×
    // step). 0 while DeviceInfo was never read.
    int SliderMax() const { return maxSteps_; }
    int EditMax() const { return maxSteps_ * step_; }
    bool TwoSlope() const { return code_ == kTwoSlopeCode; }
    int Minimum() const { return minimum_; }
    int Step() const { return step_; }

  private:
    int Threshold() const { return step_ * kTwoSlopeSteps + minimum_; }
    int ClampSteps(int steps) const;

    uint16_t code_ = 0;
    int step_ = 0;
    int maxSteps_ = 0;
    int minimum_ = 0;
};

// Reads the leading decimal digits of a text; empty or non-numeric gives 0.
// Values are held at 10,000,000 so that nothing overflows.
int ParseDecimal(std::string_view text);

// The value of a "korva_DPI_edit_" box: read as decimal, limited to 200..6500.
int KorvaDpiEditValue(std::string_view text);

}  // namespace devices::mouse
