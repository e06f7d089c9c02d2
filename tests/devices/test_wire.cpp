// Framing, data blocks and the light preview tables, against values written
// out by hand.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "devices/CommandReport.h"
#include "devices/DeviceInfo.h"
#include "devices/KeyAssignment.h"
#include "devices/LightPreview.h"
#include "devices/MacroImage.h"
#include "platform/TickClock.h"

using namespace devices;
using Bytes = std::vector<uint8_t>;

TEST(CommandReport, ChecksumAndZeroFill) {
    // A bare BeginWrite: 04 01 00 01 and zeros.
    const CommandReport begin = CommandReport::Make(kCmdBeginWrite);
    EXPECT_EQ(begin.bytes[0], 0x04);
    EXPECT_EQ(begin.bytes[1], 0x01);
    EXPECT_EQ(begin.bytes[2], 0x00);
    for (size_t i = 4; i < 64; ++i)
        EXPECT_EQ(begin.bytes[i], 0) << i;

    // 56 data bytes of 0xFF, code 0x06, length 56, offset 0x0180: the sum
    // 0x06 + 0x38 + 0x80 + 0x01 + 56 × 0xFF = 191 + 14280 = 0x3887.
    const Bytes data(70, 0xFF);  // cut to 56
    const CommandReport w = CommandReport::Make(kCmdWriteMemory, 56, 0x0180, data);
    EXPECT_EQ(w.bytes[1], 0x87);
    EXPECT_EQ(w.bytes[2], 0x38);
    EXPECT_EQ(w.bytes[5], 0x80);
    EXPECT_EQ(w.bytes[6], 0x01);
    EXPECT_EQ(w.Offset(), 0x0180);
    EXPECT_EQ(w.bytes[63], 0xFF);
}

TEST(CommandReport, EveryResultHasAMeaning) {
    for (int r : {1, 0, -1, -101, -102, -103, -201})
        EXPECT_STRNE(ResultMeaning(r), "unknown result") << r;
    EXPECT_STREQ(ResultMeaning(7), "unknown result");
}

TEST(DeviceInfo, FieldsAndTheKeyTableCap) {
    DeviceInfo info;
    info.bytes[5] = 12;
    info.bytes[6] = 16;
    info.bytes[9] = 0x25, info.bytes[10] = 0x33;
    info.bytes[11] = 100;
    info.bytes[12] = 153, info.bytes[13] = 0;
    info.bytes[14] = 200, info.bytes[15] = 0;
    EXPECT_EQ(info.KeyTableLength(), 36u);
    EXPECT_EQ(info.MacroMemoryBytes(), 2048u);
    EXPECT_EQ(info.DpiCode(), 13093);
    EXPECT_EQ(info.DpiStep(), 100);
    EXPECT_EQ(info.DpiMaxSteps(), 153);
    EXPECT_EQ(info.DpiMin(), 200);
    // A device claiming 200 keys (600 bytes) is held to 512, and to the
    // channel's configured length.
    info.bytes[5] = 200;
    EXPECT_EQ(info.KeyTableLength(), 512u);
    EXPECT_EQ(info.KeyTableLength(384), 384u);
}

TEST(StatusBlock, PhoneKindsAndLink) {
    StatusBlock s;
    s.bytes = {55, 1, 9, 9, 3, 2};
    EXPECT_EQ(s.Battery(), 55);
    EXPECT_STREQ(PowerStateName(s.PowerStateByte()), "charging");
    EXPECT_EQ(s.PhoneKind(), 2);
    s.bytes[5] = 4;
    EXPECT_EQ(s.PhoneKind(), 0);
    s.SetLink(false);
    EXPECT_FALSE(s.OnReceiver());
    EXPECT_EQ(s.bytes[3], 0);
}

TEST(KeyAssignmentBytes, ProfileIntegerAndTableBounds) {
    const KeyAssignmentBytes fire{0x14, 0x78, 0x02};
    EXPECT_EQ(fire.ToInt(), 0x147802u);
    EXPECT_EQ(KeyAssignmentBytes::FromInt(0x147802), fire);
    EXPECT_TRUE((KeyAssignmentBytes{0x71, 0, 0}.IsMacro()));
    std::vector<uint8_t> table(6, 0);
    EXPECT_TRUE(fire.StoreInto(table, 1));
    EXPECT_EQ(table, (Bytes{0, 0, 0, 0x14, 0x78, 0x02}));
    EXPECT_FALSE(fire.StoreInto(table, 2));
    KeyAssignmentBytes out;
    EXPECT_FALSE(KeyAssignmentBytes::FromTable(table, 2, out));
}

TEST(MacroImage, LayoutMatchesTheHandWrittenImage) {
    MacroImage image;
    image.AddMacro({{10, 0x01, true, 0x04}, {300, 0x01, false, 0x04}});
    image.AddMacro({{70000, 0x02, true, 0x01}});
    EXPECT_EQ(image.Size(), 16u + 12u + 12u);
    Bytes out;
    ASSERT_TRUE(image.Build(out));
    const Bytes expected = {
        0xAA, 0x55, 0x28, 0x00, 0x02, 0x00, 0,    0,    0,    0,
        0,    0,    0,    0,    0,    0,  // header
        0x14, 0x00, 0x20, 0x00,           // offsets 20, 32
        0x02, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x81, 0x04, 0x2C, 0x01,
        0x01, 0x04, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x82, 0x01,  // delay held at 65535
    };
    EXPECT_EQ(out, expected);

    MacroImage empty;
    ASSERT_TRUE(empty.Build(out));
    EXPECT_EQ(out.size(), 16u);
    EXPECT_EQ(MacroImage::SizeFor(3, 500), 16u + 18u + 2000u);

    MacroImage huge;
    huge.AddMacro(std::vector<MacroImageEvent>(16400));
    EXPECT_FALSE(huge.Build(out));  // 65622 bytes: beyond the 16-bit size field
    EXPECT_TRUE(out.empty());
}

TEST(LightTables, LevelsCurveAndColourTable) {
    EXPECT_EQ(light::Levels(), (std::array<uint8_t, 5>{0, 80, 135, 195, 255}));
    const auto& curve = light::BreathingCurve();
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(curve[size_t(i)], i);
    EXPECT_EQ(curve[63], 255);
    EXPECT_EQ(curve[64], 255);
    EXPECT_EQ(curve[127], 0);
    int lastStep = 1;
    for (size_t i = 11; i < 64; ++i) {
        const int step = curve[i] - curve[i - 1];
        EXPECT_GE(step, 2) << i;
        EXPECT_LE(step, 7) << i;
        EXPECT_GE(step, lastStep) << i;  // steps only grow
        lastStep = step;
        EXPECT_EQ(curve[127 - i], curve[i]) << i;  // mirror
    }

    const auto& t = light::ColourTable();
    // Segment starts and ends, written out from the ramps.
    EXPECT_EQ(t[0], (Rgb{255, 1, 0}));
    EXPECT_EQ(t[31], (Rgb{255, 255, 0}));
    EXPECT_EQ(t[32], (Rgb{248, 255, 0}));
    EXPECT_EQ(t[63], (Rgb{0, 255, 0}));
    EXPECT_EQ(t[64], (Rgb{0, 255, 1}));
    EXPECT_EQ(t[100], (Rgb{0, 194, 255}));  // cyan -> blue, entry 4 of the fall
    EXPECT_EQ(t[128], (Rgb{1, 0, 255}));
    EXPECT_EQ(t[160], (Rgb{255, 0, 248}));
    EXPECT_EQ(t[191], (Rgb{255, 0, 0}));
    for (size_t i = 192; i < 256; ++i)
        EXPECT_EQ(t[i], t[i - 192]) << i;
    EXPECT_EQ(light::Wheel(0), t[44]);
    EXPECT_EQ(light::Wheel(192), t[236]);
    EXPECT_EQ(light::Wheel(999), t[236]);  // held to the wheel
    EXPECT_EQ(light::FixedColour(3), (Rgb{255, 7, 0}));
    EXPECT_EQ(light::FixedColour(9), (Rgb{255, 7, 0}));
}

TEST(LightPreview, BreathingRunsTheCurveAndAdvancesTheWheel) {
    LightPreview p(3);
    LightState s;
    s.brightness = 2;  // level 135
    s.direction = 1;
    s.multiColour = true;
    p.SetLightState(s);
    p.PreviewBreathing();  // position 1
    EXPECT_EQ(p.Position(), 1);
    EXPECT_EQ(p.Colours()[2].a, 1 * 135 / 256);
    for (int i = 0; i < 63; ++i)
        p.PreviewBreathing();  // position 64
    EXPECT_EQ(p.Colours()[0].a, 255 * 135 / 256);
    EXPECT_EQ(p.ColourIndex(), 0u);
    for (int i = 0; i < 64; ++i)
        p.PreviewBreathing();  // back to 0: next colour
    EXPECT_EQ(p.Position(), 0);
    EXPECT_EQ(p.ColourIndex(), 16u);
    const Rgb w = light::Wheel(16);
    EXPECT_EQ(p.Colours()[1], (Rgba{w.r, w.g, w.b, 0}));

    // Downwards, single colour: the light state's colour.
    LightPreview q(1);
    s.direction = 0;
    s.multiColour = false;
    s.red = 1, s.green = 2, s.blue = 3;
    s.brightness = 4;
    q.SetLightState(s);
    q.PreviewBreathing();
    EXPECT_EQ(q.Position(), 127);
    EXPECT_EQ(q.Colours()[0], (Rgba{1, 2, 3, 0}));
    for (int i = 0; i < 10; ++i)
        q.PreviewBreathing();  // 117: curve[10] = 10
    EXPECT_EQ(q.Position(), 117);
    EXPECT_EQ(q.Colours()[0].a, 10 * 255 / 256);
}

TEST(LightPreview, BreathingSetCyclesTheFourFixedColours) {
    LightPreview p(1);
    LightState s;
    s.direction = 1;
    p.SetLightState(s);
    for (int round = 1; round <= 5; ++round) {
        for (int i = 0; i < 128; ++i)
            p.PreviewBreathingSet();
        EXPECT_EQ(p.ColourIndex(), size_t(round % 4)) << round;
    }
}

TEST(LightPreview, WheelIndexWrapsAfterPassing192) {
    LightPreview p(1);
    LightState s;
    s.direction = 1;
    s.multiColour = true;
    p.SetLightState(s);
    for (int round = 0; round < 12; ++round)
        for (int i = 0; i < 128; ++i)
            p.PreviewBreathing();
    EXPECT_EQ(p.ColourIndex(), 192u);  // 12 × 16 does not exceed 192
    for (int i = 0; i < 128; ++i)
        p.PreviewBreathing();
    EXPECT_EQ(p.ColourIndex(), 0u);
}

TEST(LightPreview, StaticSpectrumOffAndClampedState) {
    LightPreview p(2);
    LightState s;
    s.brightness = 9;  // from a damaged file: held to 4
    s.speed = -3;
    s.red = 10, s.green = 20, s.blue = 30;
    p.SetLightState(s);
    EXPECT_EQ(p.State().brightness, 4);
    EXPECT_EQ(p.State().speed, 0);
    p.PreviewStatic();
    EXPECT_EQ(p.Colours()[1], (Rgba{10, 20, 30, 255}));

    s.brightness = 1;
    s.direction = 0;
    p.SetLightState(s);
    p.PreviewSpectrum();  // downwards from 0: 191
    EXPECT_EQ(p.Position(), 191);
    const Rgb w = light::Wheel(191);
    EXPECT_EQ(p.Colours()[0], (Rgba{w.r, w.g, w.b, 80}));
    p.PreviewOff();
    EXPECT_EQ(p.Colours()[0], Rgba{});
}

TEST(LightPreview, BlinkTogglesOnTheTickClock) {
    platform::TickClock::UseManual(true);
    LightPreview p(1);
    LightState s;
    s.speed = 3;  // 2 × 200 ms
    s.multiColour = false;
    s.red = 200;
    p.SetLightState(s);
    p.PreviewBlink();
    const bool first = p.BlinkOn();
    platform::TickClock::Advance(25);  // 390.625 ms: not yet 400
    p.PreviewBlink();
    EXPECT_EQ(p.BlinkOn(), first);
    platform::TickClock::Advance(1);  // 406.25 ms
    p.PreviewBlink();
    EXPECT_NE(p.BlinkOn(), first);
    const Rgba c = p.Colours()[0];
    if (p.BlinkOn())
        EXPECT_EQ(c, (Rgba{200, 255, 255, 255}));
    else
        EXPECT_EQ(c, Rgba{});

    LightPreview set(1);
    set.SetLightState(s);
    for (int i = 0; i < 5; ++i) {
        platform::TickClock::Advance(26);
        set.PreviewBlinkSet();
    }
    EXPECT_EQ(set.ColourIndex(), 1u);  // five toggles over four colours
    platform::TickClock::UseManual(false);
}

TEST(LightPreview, FrameScalesByAlphaAndLeavesOutLight170) {
    LightPreview p(171);
    p.SetColour(0, {255, 128, 2, 128});
    p.SetColour(169, {100, 100, 100, 255});
    p.SetColour(170, {255, 255, 255, 255});
    p.SetColour(500, {1, 1, 1, 1});  // ignored
    EXPECT_EQ(p.Colour(500), Rgba{});
    const auto f = p.Frame();
    EXPECT_EQ(f[0], 127);
    EXPECT_EQ(f[1], 64);
    EXPECT_EQ(f[2], 1);
    EXPECT_EQ(f[507], 99);
    EXPECT_EQ(f[510], 0);
    EXPECT_EQ(f[511], 0);
}
