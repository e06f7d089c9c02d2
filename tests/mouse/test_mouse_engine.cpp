// The mouse engine against the simulated mouse, on the cable and through the
// receiver: reads, the settings page, key table, macros, fire keys and the
// whole-profile apply. The simulator's memories are read in-process.
#include <gtest/gtest.h>

#include "devices/MacroImage.h"
#include "devices/macro/MacroFiles.h"
#include "tests/mouse/MouseRig.h"

namespace {
using namespace devices::mouse;
using devices::KeyAssignmentBytes;
using sim::models::Fault;
using sim::models::FaultKind;

constexpr uint8_t kBeginWrite = 0x01, kEndWrite = 0x02, kWriteMemory = 0x06, kReadKeyTable = 0x07,
                  kWriteKeyTable = 0x09, kWriteMacros = 0x15, kWriteShoot = 0x17;

// The page the profile describes, as the mouse must hold it after a write.
std::vector<uint8_t> PageOfProfile(MouseRig& rig) {
    MouseSettingsSource src;
    src.light = rig.profile.GetLightInfo();
    src.pollingIndex = static_cast<uint8_t>(rig.profile.GetSystemStages()[2] >> 16);
    src.activeStage = static_cast<uint8_t>(rig.profile.GetActiveStage());
    src.stages = rig.profile.GetDPIStages();
    src.corrections = rig.profile.GetCorrectInfo();
    src.screenWidth = rig.engine->ScreenWidth();
    src.screenHeight = rig.engine->ScreenHeight();
    const auto page = BuildSettingsPage(src, rig.engine->Lists());
    return {page.bytes.begin(), page.bytes.end()};
}

KeyAssignmentBytes DeviceKey(MouseRig& rig, size_t key) {
    KeyAssignmentBytes k;
    EXPECT_TRUE(KeyAssignmentBytes::FromTable(rig.model->KeyTable(), key, k));
    return k;
}

class MouseEngineOnLink : public ::testing::TestWithParam<const char*> {};

TEST_P(MouseEngineOnLink, StartupFindsEveryButtonAndTheDpiRules) {
    MouseRig rig(GetParam());
    ASSERT_TRUE(rig.opened);
    EXPECT_FALSE(rig.engine->KeyTableValid());
    ASSERT_EQ(rig.engine->ReadStartup(), 1);
    EXPECT_TRUE(rig.engine->KeyTableValid());
    EXPECT_FALSE(rig.model->InWriteGroup());
    // The simulated mouse orders back before forward and GM after fire.
    const KeyMap want = {0, 1, 2, 4, 3, 5, 6, 7, 10, 8, 9};
    EXPECT_EQ(rig.engine->Map(), want);
    EXPECT_EQ(rig.engine->KeyTableImage(), rig.model->KeyTable());
    EXPECT_EQ(rig.engine->Dpi().SliderMax(), 153);
    EXPECT_EQ(rig.engine->Dpi().StepsToDpi(49), 5200);
    // The factory profile's stages are sensible on this mouse.
    std::vector<int> dpis;
    for (const auto& s : rig.profile.GetDPIStages())
        dpis.push_back(rig.engine->Dpi().StepsToDpi(s.stageDPIX));
    EXPECT_EQ(dpis, (std::vector<int>{400, 800, 1600, 3200, 6400}));
}

TEST_P(MouseEngineOnLink, SettingsReadAndWriteKeepMouseAndProfileTogether) {
    MouseRig rig(GetParam());
    rig.model->SetSettingsByte(0, 2);           // the mouse is on profile 2
    rig.model->SetSettingsByte(256 + 1, 0x77);  // a mode code no list has
    rig.model->SetSettingsByte(256 + 3, 0);     // speed 4
    rig.model->SetSettingsByte(256 + 12, 3);
    ASSERT_EQ(rig.engine->ReloadSettings(), 1);
    EXPECT_EQ(rig.engine->CurrentProfile(), 2);
    EXPECT_TRUE(rig.engine->SettingsValid());
    EXPECT_EQ(rig.engine->Mirror().bytes[6], 0);  // profile 2's blue light
    const profiles::LightInfo light = rig.profile.GetLightInfo();
    EXPECT_EQ(light.selectItem, 0x77);  // the unknown code stays the mode index
    EXPECT_EQ(light.speed, 4);
    EXPECT_EQ(light.blue, 255);
    EXPECT_EQ(light.fx, 0);  // the direction keeps the profile's value
    EXPECT_EQ(rig.profile.GetActiveStage(), 3);
    // Saved: a fresh load of the file sees the mouse's values.
    profiles::CMouseProfiledata reread;
    reread.LoadProfile(rig.profilePath);
    EXPECT_EQ(reread.GetActiveStage(), 3);

    // Written back as profile 0; mode index 0x77 (12 or more) sends the first code.
    ASSERT_EQ(rig.engine->WriteSettings(), 1);
    EXPECT_EQ(rig.Page(0), PageOfProfile(rig));
    EXPECT_EQ(rig.Page(0)[1], 0);
    EXPECT_EQ(rig.Page(0)[3], 0);
    EXPECT_FALSE(rig.model->InWriteGroup());
}

TEST_P(MouseEngineOnLink, EachChangeReachesTheMousePage) {
    MouseRig rig(GetParam());
    ASSERT_EQ(rig.engine->ReadStartup(), 1);
    const CMouseDpiRules& dpi = rig.engine->Dpi();
    struct Change {
        const char* what;
        void (*apply)(MouseRig&, const CMouseDpiRules&);
    };
    const Change changes[] = {
        {"DPI typed below the minimum",
         [](MouseRig& r, const CMouseDpiRules& d) {
             auto s = r.profile.GetDPIStages();
             s[2].stageDPIX = s[2].stageDPIY = static_cast<uint16_t>(d.DpiToSteps("150"));
             r.profile.SetDPIStages(s);
         }},
        {"stage 4 off, separate Y",
         [](MouseRig& r, const CMouseDpiRules& d) {
             auto s = r.profile.GetDPIStages();
             s[4].stageActive = 0;
             s[3].stageXY = 1;
             s[3].stageDPIY = static_cast<uint16_t>(d.DpiToSteps(5200));
             r.profile.SetDPIStages(s);
         }},
        {"active stage and polling rate",
         [](MouseRig& r, const CMouseDpiRules&) {
             r.profile.SetActiveStage(4);
             const auto w = r.profile.GetSystemStages();
             r.profile.SetSystemStages(w[0], w[1], (w[2] & 0xFFFF) | (1u << 16));
         }},
        {"light",
         [](MouseRig& r, const CMouseDpiRules&) {
             profiles::LightInfo l = r.profile.GetLightInfo();
             l.selectItem = 12;  // a custom effect
             l.light = 1;
             l.speed = 3;
             l.red = 9;
             r.profile.SetLightInfo(l);
         }},
    };
    for (const Change& c : changes) {
        c.apply(rig, dpi);
        ASSERT_EQ(rig.engine->WriteSettings(), 1) << c.what;
        EXPECT_EQ(rig.Page(0), PageOfProfile(rig)) << c.what;
    }
    const auto page = rig.Page(0);
    EXPECT_EQ(page[14 + 9 * 2 + 2], 0);  // 150 typed: the steps of 200
    EXPECT_EQ(page[14 + 9 * 3 + 4], 49);
    EXPECT_EQ(page[14 + 9 * 4], 0);
    EXPECT_EQ(page[11], 1);
    EXPECT_EQ(page[12], 4);
    EXPECT_EQ(page[1], 0);  // mode index 12 sends the first mode code
    EXPECT_EQ(page[60] | page[61] << 8, 2560);
    EXPECT_EQ(page[59], 1);
}

TEST_P(MouseEngineOnLink, KeyAssignmentsWithSharedAndUnknownMacros) {
    MouseRig rig(GetParam());
    rig.WriteMacros({3, 4, 5});
    ASSERT_EQ(rig.engine->ReadStartup(), 1);
    // Left: macro 2; right: macro 0; back (device key 3): macro 2 again;
    // middle: macro 7, beyond the three of the list.
    rig.Assign({{0, 0x700200}, {1, 0x710000}, {4, 0x700200}, {2, 0x700700}, {5, 0x100400}});
    const auto used = rig.engine->CollectUsedMacros(rig.profile.GetKeyList());
    EXPECT_EQ(used, (std::vector<int>{2, 0}));
    ASSERT_EQ(rig.engine->UploadMacros(used), 0);
    const auto mem = rig.model->MacroMemory();
    ASSERT_GE(mem.size(), 16u + 4u);
    EXPECT_EQ(mem[0], 0xAA);
    EXPECT_EQ(mem[4], 2);  // two macros: the shared one is uploaded once
    const size_t first = mem[16] | mem[17] << 8, second = mem[18] | mem[19] << 8;
    EXPECT_EQ(mem[first], 5);              // place 0: macro 2 (five events)
    EXPECT_EQ(mem[second], 3);             // place 1: macro 0
    EXPECT_EQ(mem[first + 4 + 3], 4 + 2);  // its events press key 4 + 2

    const auto before = rig.model->KeyTable();
    ASSERT_EQ(rig.engine->WriteProfileKeyAssignments(0), 1);
    EXPECT_EQ(DeviceKey(rig, 0), (KeyAssignmentBytes{0x70, 0, 0}));
    EXPECT_EQ(DeviceKey(rig, 1), (KeyAssignmentBytes{0x71, 1, 0}));
    EXPECT_EQ(DeviceKey(rig, 3), (KeyAssignmentBytes{0x70, 0, 0}));
    EXPECT_EQ(DeviceKey(rig, 2), DefaultAssignment(2));  // unknown macro: the default
    EXPECT_EQ(DeviceKey(rig, 5), (KeyAssignmentBytes{0x10, 4, 0}));
    // The key the program does not know keeps its bytes.
    EXPECT_EQ(DeviceKey(rig, 11), (KeyAssignmentBytes{before[33], before[34], before[35]}));
    EXPECT_FALSE(rig.model->InWriteGroup());
}

TEST_P(MouseEngineOnLink, WholeProfileApplyInOrder) {
    MouseRig rig(GetParam());
    rig.WriteMacros({50, 50, 50});
    ASSERT_EQ(rig.engine->ReadStartup(), 1);
    rig.Assign({{3, 0x700000}, {4, 0x700100}, {9, 0x700200}});
    rig.model->ClearHostReports();
    int refreshed = 0;
    const MouseApplyResults r = rig.engine->ApplyWholeProfile([&] { ++refreshed; });
    EXPECT_EQ(refreshed, 1);
    EXPECT_FALSE(r.droppedStaleMacros);
    EXPECT_EQ(r.settings, 1);
    EXPECT_EQ(r.usedMacros, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(r.macros, 0);
    ASSERT_TRUE(r.keys);
    EXPECT_EQ(*r.keys, 1);
    EXPECT_EQ(rig.Page(0), PageOfProfile(rig));
    EXPECT_EQ(rig.model->MacroMemory()[4], 3);
    EXPECT_EQ(DeviceKey(rig, 4), (KeyAssignmentBytes{0x70, 0, 0}));  // forward
    EXPECT_EQ(DeviceKey(rig, 8), (KeyAssignmentBytes{0x70, 2, 0}));  // DPI shift key
    // Settings, then macros, then the key table; three closed groups.
    std::vector<uint8_t> writes;
    for (const auto& rep : rig.model->HostReports())
        if (rep[3] == kWriteMemory || rep[3] == kWriteMacros || rep[3] == kWriteKeyTable)
            if (writes.empty() || writes.back() != rep[3]) writes.push_back(rep[3]);
    EXPECT_EQ(writes, (std::vector<uint8_t>{kWriteMemory, kWriteMacros, kWriteKeyTable}));
    EXPECT_EQ(rig.Sent(kBeginWrite), 3u);
    EXPECT_EQ(rig.Sent(kEndWrite), 3u);
}

TEST_P(MouseEngineOnLink, FailedStartupSendsNoKeyTableUntilARetryReadsIt) {
    MouseRig rig(GetParam());
    rig.model->SetFault({FaultKind::Status, 2, kReadKeyTable, 0xFF});
    EXPECT_EQ(rig.engine->ReadStartup(), 0);
    EXPECT_FALSE(rig.engine->KeyTableValid());
    EXPECT_FALSE(rig.model->InWriteGroup());
    const auto before = rig.model->KeyTable();
    rig.model->ClearHostReports();
    // The second failure is the retry inside the write: nothing is sent.
    EXPECT_EQ(rig.engine->WriteProfileKeyAssignments(0), 0);
    EXPECT_EQ(rig.Sent(kWriteKeyTable), 0u);
    EXPECT_EQ(rig.model->KeyTable(), before);
    // Now the retry reads the table and the write goes out.
    rig.Assign({{1, 0x100100}});
    EXPECT_EQ(rig.engine->WriteProfileKeyAssignments(0), 1);
    EXPECT_TRUE(rig.engine->KeyTableValid());
    EXPECT_EQ(DeviceKey(rig, 1), (KeyAssignmentBytes{0x10, 1, 0}));
}

TEST_P(MouseEngineOnLink, WriteFailuresCloseTheGroupAndAreReported) {
    MouseRig rig(GetParam());
    rig.WriteMacros({4});
    ASSERT_EQ(rig.engine->ReadStartup(), 1);
    rig.model->SetFault({FaultKind::Status, 1, kWriteKeyTable, 0xFF});
    EXPECT_EQ(rig.engine->WriteProfileKeyAssignments(0), devices::kResultRejectedFF);
    EXPECT_FALSE(rig.model->InWriteGroup());
    rig.model->SetFault({FaultKind::Status, 1, kWriteMacros, 0xFE});
    EXPECT_EQ(rig.engine->UploadMacros({0}), -1);
    EXPECT_FALSE(rig.model->InWriteGroup());
    rig.model->SetFault({FaultKind::Status, 1, kWriteMemory, 0xFF});
    EXPECT_EQ(rig.engine->WriteSettings(), devices::kResultRejectedFF);
    EXPECT_FALSE(rig.model->InWriteGroup());
}

TEST_P(MouseEngineOnLink, ShortKeyListLeavesTheOtherKeysAlone) {
    MouseRig rig(GetParam());
    ASSERT_EQ(rig.engine->ReadStartup(), 1);
    const auto before = rig.model->KeyTable();
    std::vector<profiles::KeyRecord> keys(2);
    keys[0].SetAssignment(0x100200);
    keys[1].SetAssignment(0x100100);
    ASSERT_EQ(rig.engine->WriteKeyAssignments(0, keys), 1);
    auto want = before;
    want[0] = 0x10, want[1] = 0x02, want[3] = 0x10, want[4] = 0x01;
    EXPECT_EQ(rig.model->KeyTable(), want);
}

TEST_P(MouseEngineOnLink, FireKeysGoAsFourGunsAndOversizedOnesAreRefused) {
    MouseRig rig(GetParam());
    for (int g = 0; g < 4; ++g)
        std::filesystem::copy_file(
            SourceDefaultData() + "ShootData_" + std::to_string(g) + ".Shoot",
            rig.folder + "ShootData_" + std::to_string(g) + ".Shoot");
    ASSERT_EQ(rig.engine->UploadShootData(), 1);
    const auto shoot = rig.model->ShootMemory();
    EXPECT_EQ(shoot[0], 0xAA);
    EXPECT_EQ(shoot[4], 4);
    const size_t events = devices::macro::ReadMacroEvents(rig.folder + "ShootData_0.Shoot").size();
    EXPECT_EQ(shoot[shoot[16] | shoot[17] << 8], events & 0xFF);

    Json::Value big(Json::objectValue);
    Json::Value ev(Json::objectValue);
    ev["Type"] = 4;
    ev["Action"] = "down";
    ev["Button"] = 3;
    ev["Delay"] = "1";
    for (int i = 0; i < 16400; ++i)
        big["Events"].append(ev);
    ASSERT_TRUE(rig.json.WriteJsonFile(rig.folder + "ShootData_2.Shoot", big));
    rig.model->ClearHostReports();
    EXPECT_EQ(rig.engine->UploadShootData(), -1);
    EXPECT_EQ(rig.Sent(kWriteShoot), 0u);
    EXPECT_EQ(rig.Sent(kBeginWrite), 0u);
}

INSTANTIATE_TEST_SUITE_P(Links, MouseEngineOnLink, ::testing::Values("mouse", "mouse-receiver"));

TEST(MouseEngine, KeyWithoutItsDefaultInTheTableIsNeverWritten) {
    sim::models::FirmwareFacts facts = sim::models::MouseFacts();
    facts.keyTable[3 * 10] = 0x21;  // the GM key carries something else
    MouseRig rig("mouse", facts);
    ASSERT_EQ(rig.engine->ReadStartup(), 1);
    EXPECT_EQ(rig.engine->Map()[8], kNoDeviceKey);
    rig.Assign({{8, 0x100100}});
    const auto before = rig.model->KeyTable();
    ASSERT_EQ(rig.engine->WriteProfileKeyAssignments(0), 1);
    EXPECT_EQ(rig.model->KeyTable(), before);
}

TEST(MouseEngine, MacrosBeyondTheMemoryReturnTheExcessAndSendNothing) {
    sim::models::FirmwareFacts facts = sim::models::MouseFacts();
    facts.info[6] = 2;  // 256 bytes of macro memory
    MouseRig rig("mouse", facts);
    rig.WriteMacros({200, 300});
    ASSERT_EQ(rig.engine->ReadStartup(), 1);
    rig.model->ClearHostReports();
    // 16 + 6 × 2 + 4 × 500 = 2028 bytes: (2028 − 256) / 4 + 1 events too many.
    EXPECT_EQ(rig.engine->UploadMacros({0, 1}), (2028 - 256) / 4 + 1);
    EXPECT_EQ(rig.Sent(kBeginWrite), 0u);
    EXPECT_EQ(rig.Sent(kWriteMacros), 0u);
    // Exactly full fits: 16 + 6 + 4 × 58 = 254 bytes.
    rig.WriteMacros({58});
    EXPECT_EQ(rig.engine->UploadMacros({0}), 0);
    EXPECT_GT(rig.Sent(kWriteMacros), 0u);
    EXPECT_EQ(rig.model->MacroMemory()[2], 254);
}

TEST(MouseEngine, MissingMacroFilesAndStaleAssignments) {
    MouseRig rig("mouse");
    EXPECT_EQ(rig.engine->UploadMacros({0}), 0);  // no macro list: nothing to do
    rig.WriteMacros({2});
    std::filesystem::remove(rig.folder + "macro_guid_0.mac");
    EXPECT_EQ(rig.engine->UploadMacros({0}), 0);  // a missing file is an empty macro
    EXPECT_EQ(rig.model->MacroMemory()[rig.model->MacroMemory()[16]], 0);

    rig.Assign({{0, 0x700000}, {1, 0x700300}});
    EXPECT_TRUE(rig.engine->DropStaleMacroAssignments());
    const auto keys = rig.profile.GetKeyList();
    EXPECT_EQ(keys[0].Assignment(), 0x700000);
    EXPECT_EQ(keys[1].Assignment(), keys[1].DefaultAssignment());
    profiles::CMouseProfiledata reread;
    reread.LoadProfile(rig.profilePath);
    EXPECT_EQ(reread.GetKeyList()[1].Assignment(), keys[1].DefaultAssignment());
    EXPECT_FALSE(rig.engine->DropStaleMacroAssignments());
}

TEST(MouseEngine, LoadDefaultProfileReplacesAndSaves) {
    MouseRig rig("mouse");
    auto stages = rig.profile.GetDPIStages();
    stages[0].stageDPIX = 99;
    rig.profile.SetDPIStages(stages);
    rig.Assign({{0, 0x100200}});
    ASSERT_TRUE(rig.profile.Save());
    ASSERT_TRUE(rig.engine->LoadDefaultProfile());
    EXPECT_EQ(rig.profile.GetDPIStages()[0].stageDPIX, 2);
    EXPECT_TRUE(rig.profile.GetKeyList()[0].IsDefault());
    profiles::CMouseProfiledata reread;
    reread.LoadProfile(rig.profilePath);
    EXPECT_EQ(reread.GetDPIStages()[0].stageDPIX, 2);
}

TEST(MouseEngine, ReceiverWithTheMouseOffSendsOnlyLinkChecks) {
    MouseRig rig("mouse-receiver");
    rig.WriteMacros({5});
    rig.Assign({{0, 0x700000}});
    rig.model->SetLinkUp(false);
    rig.model->ClearHostReports();
    EXPECT_EQ(rig.engine->ReadStartup(), 0);
    EXPECT_EQ(rig.engine->ReloadSettings(), 0);
    const MouseApplyResults r = rig.engine->ApplyWholeProfile();
    EXPECT_EQ(r.settings, 0);
    EXPECT_EQ(r.macros, 0);
    EXPECT_EQ(rig.engine->UploadShootData(), 0);
    for (const auto& rep : rig.model->HostReports())
        EXPECT_EQ(rep[3], 0xAA) << "only link checks go out";
    EXPECT_FALSE(rig.engine->SettingsValid());
    // The DPI rules were never read: conversions stay defined.
    EXPECT_EQ(rig.engine->Dpi().DpiToSteps(1600), 0);

    // Switched on: the same apply goes through.
    rig.model->SetLinkUp(true);
    const MouseApplyResults on = rig.engine->ApplyWholeProfile();
    EXPECT_EQ(on.settings, 1);
    EXPECT_EQ(on.macros, 0);
    EXPECT_EQ(on.keys.value_or(0), 1);
    EXPECT_EQ(rig.Page(0), PageOfProfile(rig));
}

TEST(MouseEngine, DeviceEventsSetProfileAndStage) {
    MouseRig rig("mouse");
    struct Case {
        uint16_t value;
        bool refresh;
        int profile, stage;
    };
    for (const Case c :
         {Case{0x1003, true, 3, -1}, Case{0x1124, true, 4, 2}, Case{0x10F1, true, 1, -1},
          Case{0x0501, false, -1, -1}, Case{0x0403, false, -1, -1}}) {
        const MouseDeviceEvent ev = rig.engine->OnDeviceEvent(c.value);
        EXPECT_EQ(ev.refresh, c.refresh) << c.value;
        EXPECT_EQ(ev.profile, c.profile) << c.value;
        EXPECT_EQ(ev.activeStage, c.stage) << c.value;
    }
    EXPECT_EQ(rig.engine->CurrentProfile(), 1);
    EXPECT_EQ(rig.engine->Mirror().ActiveStage(), 2);
}

}  // namespace
