#pragma once
// The mouse's own light previews: the wave over the seven light groups of
// the mouse picture, the flow that shifts colours group by group, and the
// reactive flash that a click arms. The steps write the preview colours;
// nothing is sent to the mouse.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "devices/LightPreview.h"

namespace app::pages {

// Light button indices of the seven groups, from the front of the mouse.
inline constexpr size_t kMouseLightGroups = 7;
std::span<const size_t> MouseLightGroup(size_t group);

// The 96-value brightness curve of the single-colour wave.
const std::array<uint8_t, 96>& WaveCurve();

class CMousePreview {
  public:
    static constexpr int kReactiveStep = 15;
    static constexpr int kReactiveMax = 255;

    explicit CMousePreview(size_t lightCount);

    // Mode index 0.
    void PreviewWave(const devices::LightState& state, devices::LightPreview& out);
    // Mode index 5.
    void PreviewFlow(const devices::LightState& state, devices::LightPreview& out);
    // Mode index 6.
    void PreviewReactive(const devices::LightState& state, devices::LightPreview& out);
    // A click: every light flashes once in a wheel colour of its own.
    void Arm(uint32_t seed);
    // A new mode starts from a dark buffer.
    void Reset();

    int Position() const { return position_; }
    int Intensity(size_t light) const { return light < lights_.size() ? lights_[light].level : 0; }
    bool Armed(size_t light) const { return light < lights_.size() && lights_[light].rising; }

  private:
    struct Flash {
        uint8_t colour = 0;  // wheel index 0..191
        int level = 0;       // 0..255
        bool rising = false;
    };
    void Step(const devices::LightState& state, int cycle);
    void PaintGroup(devices::LightPreview& out, size_t group, devices::Rgba c) const;

    size_t lightCount_;
    int position_ = 0;
    std::vector<Flash> lights_;
    std::array<uint8_t, kMouseLightGroups> flow_{};
};

}  // namespace app::pages
