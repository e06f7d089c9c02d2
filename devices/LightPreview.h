#pragma once
// The on-screen light preview: the intensity levels, the breathing curve,
// the 256-entry colour table with its wheel and fixed colours, and the
// preview steps that compute one RGBA value per light button. Nothing here
// is sent to a device; the page paints the colours.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace devices {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// The light state of a device object as the previews read it.
struct LightState {
    int mode = 0;
    int brightness = 4;  // 0..4
    int speed = 2;       // 0..4
    int direction = 0;   // non-zero: positions run upwards
    bool multiColour = false;
    uint8_t red = 255, green = 255, blue = 255;

    // Brightness and speed held to 0..4 before they index the tables.
    LightState Clamped() const;
};

namespace light {

constexpr size_t kLevelCount = 5;
constexpr size_t kCurveLength = 128;
constexpr size_t kColourTableSize = 256;
constexpr size_t kWheelSize = 193;  // wheel[i] = table[44 + i], i = 0..192
constexpr size_t kWheelOffset = 44;
constexpr size_t kWheelCycle = 192;
constexpr size_t kFixedColourCount = 4;

const std::array<uint8_t, kLevelCount>& Levels();
const std::array<uint8_t, kLevelCount>& BlinkIntervals();  // × 200 ms
const std::array<uint8_t, kCurveLength>& BreathingCurve();
const std::array<Rgb, kColourTableSize>& ColourTable();
// Index held to 0..192.
Rgb Wheel(size_t index);
Rgb FixedColour(size_t index);  // index held to 0..3

// Level for a brightness, with the brightness held to 0..4.
uint8_t Level(int brightness);

}  // namespace light

class LightPreview {
  public:
    explicit LightPreview(size_t lightCount);

    void SetLightState(const LightState& state);
    const LightState& State() const { return state_; }

    void PreviewBreathing();
    void PreviewBreathingSet();
    void PreviewStatic();
    void PreviewSpectrum();
    void PreviewBlink();  // reads the tick clock
    void PreviewBlinkSet();
    void PreviewOff();

    const std::vector<Rgba>& Colours() const { return colours_; }
    // Stores one value; an index outside the list is ignored.
    void SetColour(size_t index, Rgba value);
    // 0 for a bad index.
    Rgba Colour(size_t index) const;

    // The 512-byte frame of the preview: per light 3 bytes, each component
    // × alpha ÷ 256; light 170 and lights beyond the frame are left out.
    std::array<uint8_t, 512> Frame() const;

    int Position() const { return position_; }
    size_t ColourIndex() const { return colourIndex_; }
    bool BlinkOn() const { return blinkOn_; }

  private:
    enum class Palette { Wheel, Fixed };
    void Breathing(Palette palette, bool useStateColour);
    void Blink(Palette palette, bool useStateColour);
    void Fill(Rgb colour, uint8_t alpha);
    void StepPosition(int cycle);
    void AdvanceColour(Palette palette);
    Rgb PaletteColour(Palette palette) const;
    Rgb StateColour() const { return {state_.red, state_.green, state_.blue}; }

    LightState state_;
    std::vector<Rgba> colours_;
    int position_ = 0;
    size_t colourIndex_ = 0;
    bool blinkOn_ = false;
    uint32_t lastBlinkTick_ = 0;
};

}  // namespace devices
