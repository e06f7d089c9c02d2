// The mouse's pure rules: DPI conversion, key map, macro renumbering, the
// settings page layout and the macro file reader.
#include <gtest/gtest.h>

#include <json/value.h>

#include "devices/macro/MacroFiles.h"
#include "devices/mouse/MouseDpi.h"
#include "devices/mouse/MouseEngine.h"
#include "devices/mouse/MouseKeys.h"
#include "devices/mouse/MouseSettingsPage.h"
#include "profiles/JsonFile.h"

namespace {
using namespace devices::mouse;
using devices::KeyAssignmentBytes;
using profiles::KeyRecord;

CMouseDpiRules TwoSlope() {
    return CMouseDpiRules(13093, 100, 153, 200);
}

TEST(MouseDpi, TwoSlopeRuleShowsAndTakesDpi) {
    const CMouseDpiRules r = TwoSlope();
    struct Case {
        int steps, dpi;
    };
    for (const Case c : {Case{0, 200}, Case{2, 400}, Case{47, 4900}, Case{48, 5000}, Case{49, 5200},
                         Case{55, 6400}, Case{153, 26000}})
        EXPECT_EQ(r.StepsToDpi(c.steps), c.dpi) << c.steps;
    // Typed values: below the minimum reads as the minimum; above the
    // threshold 200 DPI per step; never beyond the slider maximum.
    struct Typed {
        int dpi, steps;
    };
    for (const Typed t :
         {Typed{0, 0}, Typed{150, 0}, Typed{250, 0}, Typed{5000, 48}, Typed{5199, 48},
          Typed{5200, 49}, Typed{5400, 50}, Typed{26000, 153}, Typed{99999, 153}})
        EXPECT_EQ(r.DpiToSteps(t.dpi), t.steps) << t.dpi;
}

TEST(MouseDpi, EveryStepRoundTrips) {
    for (const CMouseDpiRules r :
         {TwoSlope(), CMouseDpiRules(0, 50, 120, 50), CMouseDpiRules(13093, 50, 200, 100)})
        for (int s = 0; s <= r.SliderMax(); ++s)
            ASSERT_EQ(r.DpiToSteps(r.StepsToDpi(s)), s) << "step " << s;
}

TEST(MouseDpi, UnknownDeviceNeverDividesByZero) {
    const CMouseDpiRules none;  // DeviceInfo never read
    EXPECT_EQ(none.DpiToSteps(3200), 0);
    EXPECT_EQ(none.StepsToDpi(10), 0);
    EXPECT_EQ(none.SliderMax(), 0);
    const CMouseDpiRules twoSlopeNoStep(13093, 0, 0, 200);
    EXPECT_EQ(twoSlopeNoStep.DpiToSteps(1000), 48 + (1000 - 200) / 200);
    EXPECT_EQ(twoSlopeNoStep.DpiToSteps(100), 0);
}

TEST(MouseDpi, EditTextAndRanges) {
    const CMouseDpiRules r = TwoSlope();
    EXPECT_EQ(r.DpiToSteps(""), 0);
    EXPECT_EQ(r.DpiToSteps("150"), 0);
    EXPECT_EQ(r.ShownDpi(150), 200);
    EXPECT_EQ(r.DpiToSteps("99999999999999"), 153);
    EXPECT_EQ(r.SliderMax(), 153);
    EXPECT_EQ(r.EditMax(), 15300);
    EXPECT_EQ(KorvaDpiEditValue("7000"), 6500);
    EXPECT_EQ(KorvaDpiEditValue("100"), 200);
    EXPECT_EQ(KorvaDpiEditValue(""), 200);
    EXPECT_EQ(KorvaDpiEditValue("1600"), 1600);
}

std::vector<uint8_t> Table(std::initializer_list<KeyAssignmentBytes> keys) {
    std::vector<uint8_t> t;
    for (const auto& k : keys)
        t.insert(t.end(), {k.type, k.first, k.second});
    return t;
}

TEST(MouseKeys, MapFindsFirstMatchingKeyAndMarksMissingOnes) {
    // Right twice (the first wins), left, and no forward/back/DPI/... keys.
    const auto table = Table({{0x10, 0x02, 0}, {0x10, 0x01, 0}, {0x10, 0x02, 0}, {0x14, 0x78, 2}});
    const KeyMap map = BuildKeyMap(table);
    EXPECT_EQ(map[0], 1);
    EXPECT_EQ(map[1], 0);
    EXPECT_EQ(map[10], 3);
    for (size_t pos = 2; pos < 10; ++pos)
        EXPECT_EQ(map[pos], kNoDeviceKey) << pos;
    // A truncated table (not a multiple of 3) is read only as far as it goes.
    const std::vector<uint8_t> cut = {0x10, 0x01};
    EXPECT_EQ(BuildKeyMap(cut)[0], kNoDeviceKey);
}

KeyRecord Key(uint32_t assignment, uint32_t def = 0x100100) {
    KeyRecord k;
    k.SetAssignment(assignment);
    k.SetDefaultAssignment(def);
    return k;
}

TEST(MouseKeys, RenumberingSharesMacrosAndDropsUnknownOnes) {
    KeyMap map;
    for (size_t i = 0; i < map.size(); ++i)
        map[i] = static_cast<uint8_t>(i);
    map[4] = kNoDeviceKey;
    // Positions: 0 macro 3, 1 macro 1 (alt type), 2 macro 3 again, 3 macro 9
    // (not in a list of 5), 4 macro 2 but no device key, 5 a plain button.
    const std::vector<KeyRecord> keys = {Key(0x700300), Key(0x710100), Key(0x700300),
                                         Key(0x700900), Key(0x700200), Key(0x100400)};
    const MacroRenumbering plan = RenumberMacros(keys, map, 5);
    EXPECT_EQ(plan.uploadList, (std::vector<int>{3, 1}));
    EXPECT_EQ(*plan.assignments[0], (KeyAssignmentBytes{0x70, 0, 0}));
    EXPECT_EQ(*plan.assignments[1], (KeyAssignmentBytes{0x71, 1, 0}));
    EXPECT_EQ(*plan.assignments[2], (KeyAssignmentBytes{0x70, 0, 0}));
    EXPECT_EQ(*plan.assignments[3], DefaultAssignment(3));
    EXPECT_FALSE(plan.assignments[4]);
    EXPECT_EQ(*plan.assignments[5], (KeyAssignmentBytes{0x10, 4, 0}));
    // A short key list: positions without an entry are left alone.
    for (size_t pos = 6; pos < kKeyPositions; ++pos)
        EXPECT_FALSE(plan.assignments[pos]) << pos;
}

profiles::ConfigLists MouseModes() {
    profiles::ConfigLists lists;
    for (int i = 0; i < 12; ++i)
        lists.modes.push_back({"m", true, 0x20 + i});
    return lists;
}

TEST(MouseSettingsPage, EveryByteComesFromItsSource) {
    MouseSettingsSource src;
    src.light.selectItem = 2;
    src.light.light = 3;
    src.light.speed = 1;
    src.light.fx = 1;
    src.light.multiColor = 1;
    src.light.red = 10;
    src.light.green = 20;
    src.light.blue = 30;
    src.pollingIndex = 4;
    src.activeStage = 2;
    src.stages = {{1, 0, 2, 2, 255, 0, 0}, {1, 1, 0x1234, 0x0102, 1, 2, 3}};
    src.corrections = {{2, 4, 0, "Low"}, {8, 16, 1, "High"}, {9, 9, 1, "Later"}};
    src.byte59 = 1;
    src.screenWidth = 2560;
    src.screenHeight = 1440;
    const MouseSettingsPage page = BuildSettingsPage(src, MouseModes());
    const std::array<uint8_t, 71> b = page.bytes;
    std::array<uint8_t, 71> want{};
    const uint8_t head[] = {0, 0x22, 3, 3, 1, 1, 10, 20, 30, 0, 0, 4, 2, 0};
    std::copy(std::begin(head), std::end(head), want.begin());
    const uint8_t stages[] = {1, 0, 2, 0, 2, 0, 255, 0, 0, 1, 1, 0x34, 0x12, 0x02, 0x01, 1, 2, 3};
    std::copy(std::begin(stages), std::end(stages), want.begin() + 14);
    want[59] = 1;
    want[60] = 0x00;
    want[61] = 0x0A;
    want[62] = 0xA0;
    want[63] = 0x05;
    want[64] = 16;  // minimum square of the first selected preset
    want[65] = 8;   // its pixel threshold
    EXPECT_EQ(b, want);
    EXPECT_EQ(page.Stage(1), src.stages[1]);
    EXPECT_EQ(page.Speed(), 1);
}

TEST(MouseSettingsPage, ModeCodesBothWays) {
    const profiles::ConfigLists lists = MouseModes();
    EXPECT_EQ(ModeCodeForIndex(lists, 5), 0x25);
    EXPECT_EQ(ModeCodeForIndex(lists, 12), 0x20);  // custom effects send the first code
    EXPECT_EQ(ModeCodeForIndex(lists, 40), 0x20);
    EXPECT_EQ(ModeIndexForCode(lists, 0x2B), 11);
    EXPECT_EQ(ModeIndexForCode(lists, 0x77), 0x77);  // unknown code stays
    const profiles::ConfigLists none;
    EXPECT_EQ(ModeCodeForIndex(none, 3), 3);
    MouseSettingsSource src;
    src.light.speed = 9;  // out of range: sent as 4 − 4
    src.corrections = {{2, 4, 0, "none selected"}};
    const MouseSettingsPage page = BuildSettingsPage(src, lists);
    EXPECT_EQ(page.bytes[3], 0);
    EXPECT_EQ(page.bytes[64], 0);
    EXPECT_EQ(page.bytes[65], 0);
}

Json::Value Parse(const char* text) {
    return profiles::CJsonFile::ParseJsonText(text);
}

TEST(MacroFiles, EventsAndListsFromUntrustedJson) {
    const auto events = devices::macro::MacroEventsFromJson(Parse(R"({"Events": [
        {"Type": 10, "Action": "down", "Button": 4, "Delay": "120"},
        {"Type": 10, "Action": "up", "Button": 4, "Delay": 0},
        {"Type": 1, "Action": "down", "Button": 1, "Delay": "99999"},
        {"Type": "x", "Action": 5, "Button": [], "Delay": -4},
        {"Type": 300, "Button": 513, "Delay": 70000},
        7, null]})"));
    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(events[0].type, 10);
    EXPECT_TRUE(events[0].press);
    EXPECT_EQ(events[0].code, 4);
    EXPECT_EQ(events[0].delayMs, 120u);
    EXPECT_FALSE(events[1].press);
    EXPECT_EQ(events[2].delayMs, 65535u);
    EXPECT_EQ(events[3].type, 0);
    EXPECT_EQ(events[3].delayMs, 0u);
    EXPECT_EQ(events[4].type, 44);  // 300 cut to a byte, bit 7 is the press flag
    EXPECT_EQ(events[4].code, 1);
    EXPECT_EQ(events[4].delayMs, 65535u);
    EXPECT_TRUE(devices::macro::MacroEventsFromJson(Parse(R"({"Events": {}})")).empty());

    const auto list = devices::macro::MacroListFromJson(
        Parse(R"({"MacroInfo": [{"MacroName": "a", "Guid": "g1"}, 3, {"Guid": "../x"}]})"));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].guid, "g1");
    EXPECT_EQ(list[1].guid, "");
    EXPECT_EQ(devices::macro::MacroFilePath("/d/", "g1"), "/d/g1.mac");
    EXPECT_EQ(devices::macro::MacroFilePath("/d/", list[2].guid), "");
    EXPECT_EQ(devices::macro::MacroFilePath("/d/", ".."), "");
    EXPECT_FALSE(devices::macro::ReadMacroList("/nonexistent/macro.config"));
}

}  // namespace
