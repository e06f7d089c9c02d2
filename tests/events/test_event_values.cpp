// The event value table, the device events, the synchronised effect steps
// and the effect sequence.
#include <gtest/gtest.h>

#include "devices/events/EffectSequence.h"
#include "devices/events/EventValues.h"
#include "devices/events/LightSync.h"

using namespace devices::events;

TEST(EventValues, TableByKindAndPath) {
    struct Case {
        hid::DeviceKind kind;
        bool receiver;
        uint16_t value;
        EventAction action;
    };
    const Case cases[] = {
        {hid::kKindMouse, false, 0x401, EventAction::Reload},
        {hid::kKindMouse, true, 0x402, EventAction::Reload},
        {hid::kKindMouse, false, 0x403, EventAction::ReactiveTrigger},
        {hid::kKindMouse, true, 0x403, EventAction::DeviceEvent},
        {hid::kKindMouse, false, 0x1003, EventAction::DeviceEvent},
        {hid::kKindMouse, false, 0x400, EventAction::None},
        {hid::kKindKeyboard, false, 0x402, EventAction::ReapplyAndReload},
        {hid::kKindKeyboard, false, 0x403, EventAction::DeviceEvent},
        {hid::kKindKeyboard, false, 0x512, EventAction::KeyPressThenEvent},
        {hid::kKindKeyboard, true, 0x512, EventAction::DeviceEvent},
        {hid::kKindKeyboard, false, 0x612, EventAction::KeyRelease},
        {hid::kKindKeyboard, true, 0x612, EventAction::DeviceEvent},
        {hid::kKindMousePad, false, 0x401, EventAction::Reload},
        {hid::kKindMousePad, false, 0x402, EventAction::None},
        {hid::kKindHeadset, false, 0x1003, EventAction::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyEvent(c.kind, c.receiver, c.value), c.action)
            << c.kind << " " << c.receiver << " " << std::hex << c.value;
    }
    EXPECT_EQ(TraitsOf(hid::kKindMouse).reloadDelayMs, 50);
    EXPECT_EQ(TraitsOf(hid::kKindHeadset).reloadDelayMs, 500);
}

TEST(EventValues, DeviceEventsSwitchProfileAndStage) {
    EXPECT_EQ(ParseDeviceEvent(0x1003), (ProfileSwitch{3, -1}));
    EXPECT_EQ(ParseDeviceEvent(0x1124), (ProfileSwitch{4, 2}));
    EXPECT_FALSE(ParseDeviceEvent(0x1203));
    EXPECT_FALSE(ParseDeviceEvent(0x0503));
}

TEST(LightSyncSteps, PeriodTableAndSteps) {
    EXPECT_EQ(SyncPeriod(0, 0), 8);
    EXPECT_EQ(SyncPeriod(4, 4), 1);
    EXPECT_EQ(SyncPeriod(2, 5), 0);
    EXPECT_EQ(SyncPeriod(3, 14), 0);
    CommonLightState s;
    s.brightness = 4;
    s.colour = {10, 20, 30};
    SyncCounters c;
    s.type = 1;
    EXPECT_EQ(StepCommonLight(s, c, 0), 0xFF1E140Au);
    s.type = 4;
    EXPECT_EQ(StepCommonLight(s, c, 0), 0u);
    s.type = 5;
    EXPECT_FALSE(StepCommonLight(s, c, 0));
    // Breathing downwards from 0 wraps to 127.
    s.type = 0;
    EXPECT_TRUE(StepCommonLight(s, c, 0));
    EXPECT_EQ(c.breathingPhase, 127);
    // Spectrum runs 0..191 and wraps.
    s.type = 3;
    c.spectrumPosition = 191;
    StepCommonLight(s, c, 0);
    EXPECT_EQ(c.spectrumPosition, 0);
    // Blink toggles once its interval passed, and is dark when off.
    s.type = 2;
    s.speed = 0;
    c.lastBlinkTick = 0;
    c.blinkOn = false;
    EXPECT_NE(StepCommonLight(s, c, 1600).value(), 0u);
    EXPECT_NE(StepCommonLight(s, c, 1700).value(), 0u);  // 8 x 200 ms not yet passed
    EXPECT_EQ(StepCommonLight(s, c, 3200).value(), 0u);
}

TEST(EffectSequence, WrapsAdvancesAndStaysAtZeroWithOneStep) {
    CEffectSequence seq;
    EXPECT_FALSE(seq.Current(0));
    profiles::LightEffectStep a, b;
    a.time = 100;
    a.ledRegMode = 3;
    b.time = 50;
    b.ledRegMode = 1;
    seq.SetSteps({a});
    for (uint32_t t = 0; t < 1000; t += 60)
        seq.Current(t);
    EXPECT_EQ(seq.Index(), 0u);
    seq.SetSteps({a, b});
    EXPECT_EQ(seq.Current(1000)->ledRegMode, 3);
    EXPECT_EQ(seq.Current(1099)->ledRegMode, 3);
    EXPECT_EQ(seq.Current(1100)->ledRegMode, 1);
    EXPECT_EQ(seq.Current(1150)->ledRegMode, 3);  // wrapped
}
