#include "app/pages/MousePreview.h"

#include <algorithm>
#include <random>

namespace app::pages {

namespace {

constexpr size_t kGroup0[] = {0, 13};
constexpr size_t kGroup1[] = {1, 12};
constexpr size_t kGroup2[] = {2, 11};
constexpr size_t kGroup3[] = {3, 10};
constexpr size_t kGroup4[] = {4, 9};
constexpr size_t kGroup5[] = {5, 8};
constexpr size_t kGroup6[] = {6, 14, 7};
constexpr std::span<const size_t> kGroups[kMouseLightGroups] = {kGroup0, kGroup1, kGroup2, kGroup3,
                                                                kGroup4, kGroup5, kGroup6};

constexpr std::array<uint8_t, 48> kRise = {
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

devices::Rgba WheelAt(size_t index, uint8_t alpha) {
    const devices::Rgb c = devices::light::Wheel(index % devices::light::kWheelCycle);
    return {c.r, c.g, c.b, alpha};
}

}  // namespace

std::span<const size_t> MouseLightGroup(size_t group) {
    return group < kMouseLightGroups ? kGroups[group] : std::span<const size_t>{};
}

const std::array<uint8_t, 96>& WaveCurve() {
    static const std::array<uint8_t, 96> curve = [] {
        std::array<uint8_t, 96> c{};
        for (size_t i = 0; i < kRise.size(); ++i) {
            c[i] = kRise[i];
            c[95 - i] = kRise[i];
        }
        return c;
    }();
    return curve;
}

CMousePreview::CMousePreview(size_t lightCount) : lightCount_(lightCount), lights_(lightCount) {}

void CMousePreview::Reset() {
    position_ = 0;
    std::fill(lights_.begin(), lights_.end(), Flash{});
    flow_.fill(0);
}

void CMousePreview::Step(const devices::LightState& state, int cycle) {
    position_ = state.direction != 0 ? (position_ + 1) % cycle : (position_ + cycle - 1) % cycle;
}

void CMousePreview::PaintGroup(devices::LightPreview& out, size_t group, devices::Rgba c) const {
    for (size_t light : MouseLightGroup(group))
        if (light < lightCount_) out.SetColour(light, c);
}

void CMousePreview::PreviewWave(const devices::LightState& in, devices::LightPreview& out) {
    const devices::LightState state = in.Clamped();
    const uint8_t level = devices::light::Level(state.brightness);
    const int cycle =
        state.multiColour ? int(devices::light::kWheelCycle) : int(WaveCurve().size());
    position_ %= cycle;
    Step(state, cycle);
    for (size_t k = 0; k < kMouseLightGroups; ++k) {
        const size_t at = (size_t(position_) + 1 + 7 * k) % size_t(cycle);
        if (state.multiColour) {
            PaintGroup(out, k, WheelAt(at, level));
        } else {
            const auto alpha = uint8_t(unsigned(level) * WaveCurve()[at] / 256);
            PaintGroup(out, k, {state.red, state.green, state.blue, alpha});
        }
    }
}

void CMousePreview::PreviewFlow(const devices::LightState& in, devices::LightPreview& out) {
    const devices::LightState state = in.Clamped();
    const uint8_t level = devices::light::Level(state.brightness);
    const int cycle = int(devices::light::kWheelCycle);
    Step(state, cycle);
    // Each group takes its neighbour's colour; the first a new wheel colour.
    std::copy_backward(flow_.begin(), flow_.end() - 1, flow_.end());
    flow_[0] = uint8_t(position_);
    for (size_t k = 0; k < kMouseLightGroups; ++k)
        PaintGroup(out, k, WheelAt(flow_[k], level));
}

void CMousePreview::PreviewReactive(const devices::LightState& in, devices::LightPreview& out) {
    const uint8_t level = devices::light::Level(in.Clamped().brightness);
    for (size_t i = 0; i < lights_.size() && i < lightCount_; ++i) {
        Flash& f = lights_[i];
        if (f.rising) {
            f.level = std::min(f.level + kReactiveStep, kReactiveMax);
            f.rising = f.level < kReactiveMax;
        } else {
            f.level = std::max(f.level - kReactiveStep, 0);
        }
        out.SetColour(i, WheelAt(f.colour, uint8_t(f.level * level / kReactiveMax)));
    }
}

void CMousePreview::Arm(uint32_t seed) {
    std::minstd_rand rng(seed ? seed : 1u);
    for (Flash& f : lights_) {
        f.colour = uint8_t(rng() % devices::light::kWheelCycle);
        f.rising = true;
    }
}

}  // namespace app::pages
