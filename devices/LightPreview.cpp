#include "devices/LightPreview.h"

#include <algorithm>

#include "platform/TickClock.h"

namespace devices {
namespace light {
namespace {

constexpr std::array<uint8_t, 32> kRising = {1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,
                                             44,  50,  57,  65,  73,  81,  89,  99,  109, 119, 129,
                                             140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
constexpr std::array<uint8_t, 32> kFalling = {248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124,
                                              114, 104, 94,  85,  77,  69,  61,  53,  47,  41,  35,
                                              29,  24,  20,  16,  12,  8,   6,   4,   2,   0};

// Rise of the breathing curve after 0..10: runs of equal steps 2..7.
struct StepRun {
    uint8_t step, count;
};
constexpr std::array<StepRun, 6> kCurveRuns = {{{2, 8}, {3, 8}, {4, 9}, {5, 9}, {6, 9}, {7, 10}}};

std::array<uint8_t, kCurveLength> MakeCurve() {
    std::array<uint8_t, kCurveLength> c{};
    size_t i = 0;
    for (; i <= 10; ++i)
        c[i] = static_cast<uint8_t>(i);
    int v = 10;
    for (const auto& run : kCurveRuns) {
        for (int k = 0; k < run.count; ++k) {
            v += run.step;
            c[i++] = static_cast<uint8_t>(v);
        }
    }
    for (size_t j = 0; j < 64; ++j)
        c[64 + j] = c[63 - j];
    return c;
}

// One hue segment: which component rises, falls, stays full.
enum Comp { R, G, B };
struct Segment {
    Comp full, moving;
    bool rising;
};
constexpr std::array<Segment, 6> kSegments = {{
    {R, G, true},   // red -> yellow
    {G, R, false},  // yellow -> green
    {G, B, true},   // green -> cyan
    {B, G, false},  // cyan -> blue
    {B, R, true},   // blue -> magenta
    {R, B, false},  // magenta -> red
}};

void SetComp(Rgb& c, Comp which, uint8_t v) {
    (which == R ? c.r : which == G ? c.g : c.b) = v;
}

std::array<Rgb, kColourTableSize> MakeTable() {
    std::array<Rgb, kColourTableSize> t{};
    for (size_t s = 0; s < kSegments.size(); ++s) {
        for (size_t k = 0; k < 32; ++k) {
            Rgb c;
            SetComp(c, kSegments[s].full, 255);
            SetComp(c, kSegments[s].moving, kSegments[s].rising ? kRising[k] : kFalling[k]);
            t[s * 32 + k] = c;
        }
    }
    for (size_t i = 192; i < kColourTableSize; ++i)
        t[i] = t[i - 192];
    return t;
}

}  // namespace

const std::array<uint8_t, kLevelCount>& Levels() {
    static constexpr std::array<uint8_t, kLevelCount> levels = {0, 80, 135, 195, 255};
    return levels;
}

const std::array<uint8_t, kLevelCount>& BlinkIntervals() {
    static constexpr std::array<uint8_t, kLevelCount> intervals = {8, 6, 4, 2, 1};
    return intervals;
}

const std::array<uint8_t, kCurveLength>& BreathingCurve() {
    static const std::array<uint8_t, kCurveLength> curve = MakeCurve();
    return curve;
}

const std::array<Rgb, kColourTableSize>& ColourTable() {
    static const std::array<Rgb, kColourTableSize> table = MakeTable();
    return table;
}

Rgb Wheel(size_t index) {
    return ColourTable()[kWheelOffset + std::min(index, kWheelSize - 1)];
}

Rgb FixedColour(size_t index) {
    return ColourTable()[std::min(index, kFixedColourCount - 1)];
}

uint8_t Level(int brightness) {
    return Levels()[static_cast<size_t>(std::clamp(brightness, 0, int(kLevelCount) - 1))];
}

}  // namespace light

LightState LightState::Clamped() const {
    LightState s = *this;
    s.brightness = std::clamp(brightness, 0, int(light::kLevelCount) - 1);
    s.speed = std::clamp(speed, 0, int(light::kLevelCount) - 1);
    return s;
}

LightPreview::LightPreview(size_t lightCount) : colours_(lightCount) {}

void LightPreview::SetLightState(const LightState& state) {
    state_ = state.Clamped();
}

void LightPreview::SetColour(size_t index, Rgba value) {
    if (index < colours_.size()) colours_[index] = value;
}

Rgba LightPreview::Colour(size_t index) const {
    return index < colours_.size() ? colours_[index] : Rgba{};
}

void LightPreview::Fill(Rgb colour, uint8_t alpha) {
    std::fill(colours_.begin(), colours_.end(), Rgba{colour.r, colour.g, colour.b, alpha});
}

void LightPreview::StepPosition(int cycle) {
    position_ = state_.direction != 0 ? (position_ + 1) % cycle : (position_ + cycle - 1) % cycle;
}

void LightPreview::AdvanceColour(Palette palette) {
    if (palette == Palette::Wheel) {
        colourIndex_ += 16;
    } else {
        colourIndex_ += 1;
        if (colourIndex_ > light::kFixedColourCount - 1) colourIndex_ = 0;
    }
}

Rgb LightPreview::PaletteColour(Palette palette) const {
    return palette == Palette::Wheel ? light::Wheel(colourIndex_)
                                     : light::FixedColour(colourIndex_);
}

void LightPreview::Breathing(Palette palette, bool useStateColour) {
    if (position_ < 0 || position_ >= int(light::kCurveLength)) position_ = 0;
    StepPosition(int(light::kCurveLength));
    if (position_ == 0) {
        AdvanceColour(palette);
        // The wheel wraps once the index has passed its last entry.
        if (palette == Palette::Wheel && colourIndex_ > light::kWheelCycle) colourIndex_ = 0;
    }
    const unsigned alpha = unsigned(light::BreathingCurve()[size_t(position_)]) *
                           light::Level(state_.brightness) / 256;
    Fill(useStateColour ? StateColour() : PaletteColour(palette), static_cast<uint8_t>(alpha));
}

void LightPreview::PreviewBreathing() {
    Breathing(Palette::Wheel, !state_.multiColour);
}

void LightPreview::PreviewBreathingSet() {
    Breathing(Palette::Fixed, false);
}

void LightPreview::PreviewStatic() {
    Fill(StateColour(), light::Level(state_.brightness));
}

void LightPreview::PreviewSpectrum() {
    if (position_ < 0 || position_ >= int(light::kWheelCycle)) position_ = 0;
    StepPosition(int(light::kWheelCycle));
    Fill(light::Wheel(size_t(position_)), light::Level(state_.brightness));
}

void LightPreview::Blink(Palette palette, bool useStateColour) {
    const uint32_t now = platform::TickClock::TickCount();
    const uint32_t interval =
        200u * light::BlinkIntervals()[size_t(std::clamp(state_.speed, 0, 4))];
    if (now - lastBlinkTick_ >= interval) {
        lastBlinkTick_ = now;
        blinkOn_ = !blinkOn_;
        AdvanceColour(palette);
        if (palette == Palette::Wheel && colourIndex_ >= light::kWheelCycle) colourIndex_ = 0;
    }
    if (!blinkOn_) {
        Fill({}, 0);
        return;
    }
    Fill(useStateColour ? StateColour() : PaletteColour(palette), light::Level(state_.brightness));
}

void LightPreview::PreviewBlink() {
    Blink(Palette::Wheel, !state_.multiColour);
}

void LightPreview::PreviewBlinkSet() {
    Blink(Palette::Fixed, false);
}

void LightPreview::PreviewOff() {
    Fill({}, 0);
}

std::array<uint8_t, 512> LightPreview::Frame() const {
    std::array<uint8_t, 512> frame{};
    for (size_t i = 0; i < colours_.size() && 3 * i + 3 <= frame.size(); ++i) {
        if (i == 170) continue;
        const Rgba& c = colours_[i];
        frame[3 * i] = static_cast<uint8_t>(c.r * c.a / 256);
        frame[3 * i + 1] = static_cast<uint8_t>(c.g * c.a / 256);
        frame[3 * i + 2] = static_cast<uint8_t>(c.b * c.a / 256);
    }
    return frame;
}

}  // namespace devices
