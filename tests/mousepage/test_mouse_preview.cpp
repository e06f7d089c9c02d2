// The mouse's own light previews: wave, flow and the reactive flash.
#include <gtest/gtest.h>

#include "app/pages/MousePreview.h"

namespace {

using app::pages::CMousePreview;
using devices::LightPreview;
using devices::LightState;

constexpr size_t kLights = 15;

LightState State(bool multi, int direction = 1) {
    LightState s;
    s.multiColour = multi;
    s.brightness = 4;
    s.direction = direction;
    s.red = 200;
    s.green = 100;
    s.blue = 50;
    return s;
}

TEST(MousePreview, GroupsCoverEveryLightOnce) {
    std::vector<int> seen(kLights, 0);
    for (size_t g = 0; g < app::pages::kMouseLightGroups; ++g)
        for (size_t light : app::pages::MouseLightGroup(g))
            ++seen.at(light);
    for (size_t i = 0; i < kLights; ++i)
        EXPECT_EQ(seen[i], 1) << i;
    EXPECT_TRUE(app::pages::MouseLightGroup(7).empty());
}

TEST(MousePreview, WaveCurveRisesThenFallsSymmetrically) {
    const auto& c = app::pages::WaveCurve();
    EXPECT_EQ(c[0], 22);
    EXPECT_EQ(c[47], 255);
    EXPECT_EQ(c[48], 255);
    EXPECT_EQ(c[95], 22);
    for (size_t i = 0; i < 48; ++i)
        EXPECT_EQ(c[i], c[95 - i]);
}

TEST(MousePreview, WaveLightsAGroupAlikeAndNeighboursSevenApart) {
    for (bool multi : {true, false}) {
        SCOPED_TRACE(multi);
        CMousePreview wave(kLights);
        LightPreview out(kLights);
        wave.PreviewWave(State(multi), out);
        EXPECT_EQ(wave.Position(), 1);
        // Members of one group share a colour.
        EXPECT_EQ(out.Colour(0), out.Colour(13));
        EXPECT_EQ(out.Colour(6), out.Colour(14));
        EXPECT_EQ(out.Colour(6), out.Colour(7));
        const uint8_t level = devices::light::Level(4);
        if (multi) {
            const devices::Rgb c = devices::light::Wheel(1 + 1 + 7);  // group 1
            EXPECT_EQ(out.Colour(1), (devices::Rgba{c.r, c.g, c.b, level}));
        } else {
            const auto alpha = uint8_t(level * app::pages::WaveCurve()[2 + 14] / 256);  // group 2
            EXPECT_EQ(out.Colour(2), (devices::Rgba{200, 100, 50, alpha}));
        }
    }
    // Downwards the position wraps to the end of the cycle.
    CMousePreview down(kLights);
    LightPreview out(kLights);
    down.PreviewWave(State(false, 0), out);
    EXPECT_EQ(down.Position(), 95);
}

TEST(MousePreview, FlowPassesColoursFromGroupToGroup) {
    CMousePreview flow(kLights);
    LightPreview out(kLights);
    flow.PreviewFlow(State(true), out);
    const devices::Rgba first = out.Colour(0);
    flow.PreviewFlow(State(true), out);
    EXPECT_EQ(out.Colour(1), first);
    EXPECT_EQ(out.Colour(12), first);
    EXPECT_NE(out.Colour(0), first);
}

TEST(MousePreview, ReactiveFlashRisesByFifteenToFullThenFades) {
    CMousePreview reactive(kLights);
    LightPreview out(kLights);
    reactive.PreviewReactive(State(true), out);
    EXPECT_EQ(reactive.Intensity(0), 0);  // nothing armed
    reactive.Arm(7);
    std::vector<int> levels;
    for (int i = 0; i < 40; ++i) {
        reactive.PreviewReactive(State(true), out);
        levels.push_back(reactive.Intensity(3));
    }
    EXPECT_EQ(levels[0], 15);
    EXPECT_EQ(levels[16], 255);
    EXPECT_EQ(levels[17], 240);
    EXPECT_EQ(levels[33], 0);
    EXPECT_EQ(levels[39], 0);
    EXPECT_EQ(out.Colour(3).a, 0);
    // A new mode starts dark.
    reactive.Arm(9);
    reactive.Reset();
    EXPECT_FALSE(reactive.Armed(0));
}

}  // namespace
