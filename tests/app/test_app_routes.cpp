// The main window's routing tables, the WM_COPYDATA buffers, the tool block
// and the game-event light: pure pieces of the shell, tested over tables.
#include <gtest/gtest.h>

#include "tests/app/RecordingDevice.h"

#include <cstring>
#include <vector>

#include "app/AppMessages.h"
#include "app/CopyData.h"
#include "app/GameLight.h"
#include "app/MainRoutes.h"
#include "app/MainWnd.h"
#include "app/ToolBlock.h"
#include "hid/Catalog.h"

using app::Route;
using app::RouteHit;

namespace {

struct RouteCase {
    const char* type;
    const char* name;
    std::vector<RouteHit> hits;
    bool passOn = true;
};

TEST(MainRoutes, EachEventReachesItsRoute) {
    const RouteCase cases[] = {
        {"click", "key_12", {{Route::KeySelect, 12}}},
        {"click", "KEY_7", {{Route::KeySelect, 7}}},
        {"click", "key_butt_keysave", {{Route::KeyEditor, 0}}},
        // "device_add_" with number 0 matches no prefix route: only the exact one.
        {"click", "device_add_btn", {{Route::ProfileList, 0}}},
        {"click", "closebtn", {{Route::HideToTray, 0}}, false},
        {"click", "CloseBtn", {{Route::HideToTray, 0}}, false},
        {"click", "nodevice_ok_btn", {{Route::HideMainWindow, 0}}},
        {"click", "control_light_status", {{Route::ToggleLightControl, 0}}},
        {"click", "minbtn", {{Route::Minimize, 0}}},
        {"click", "skinbtn", {{Route::SkinFrame, 0}}},
        {"click", "setbtn", {{Route::SettingsWindow, 0}}},
        {"click", "gamemodebtn", {}},
        {"click", "color_option_3", {{Route::ColourPreset, 3}}},
        {"click", "audiocolor_option_2", {{Route::AudioColourPreset, 2}}},
        {"click", "DPI_color_option_4", {{Route::DpiStageColour, 4}}},
        {"click", "windowdeviceset_1", {{Route::SystemSettingsPanel, 1}}},
        {"click", "key_x", {{Route::KeySelect, 0}}},
        {"click", "default_btn", {{Route::DefaultProfile, 0}}},
        {"click", "macro_btn_starredio", {{Route::MacroRecorder, 0}}},
        {"click", "music_setting_btn", {{Route::MusicWindow, 0}}},
        {"click", "keyonly", {}},
        {"selectchanged", "DPI_enable_check_2", {{Route::MouseSettings, 2}}},
        {"selectchanged", "polling_rate_option_1", {{Route::PollingRate, 1}}},
        {"selectchanged", "device_select", {{Route::DeviceSelection, 0}}},
        {"selectchanged", "Virtual7.1_Op_tab", {{Route::PageTabs, 0}}},
        {"selectchanged", "key_Op_tab", {{Route::PageTabs, 0}}},
        {"valuechanged", "DPI_slider_3", {{Route::MouseSettings, 3}}},
        {"valuechanged", "G_light_slider", {{Route::AudioLightLink, 0}}},
        {"valuechanged", "6533_eq_hz_slider_9", {{Route::HeadsetEditors, 9}}},
        {"movevaluechanged", "korva_DPI_slider_1", {{Route::MouseSettingsDrag, 1}}},
        {"itemselect", "device_profile_combo", {{Route::ProfileSwitchTimer, 0}}},
        {"itemselect",
         "keyset_function_combo",
         {{Route::KeyComboOwnHandler, 0}, {Route::KeyAssignmentRefresh, 0}}},
        {"itemselect", "keyset_media_combo", {{Route::KeyAssignmentRefresh, 0}}},
        {"killfocus", "DPI_edit_0", {{Route::MouseSettings, 0}}},
        {"return", "korva_DPI_edit_2", {{Route::MouseSettings, 2}}},
        {"killfocus", "bullet_x_eidt", {{Route::FireKeyEditor, 0}}},
        {"colorchanged", "deng_Color_Pallet", {{Route::LightingEditor, 0}}},
        {"click_select_end", "SelectPanel", {{Route::KeyLightList, 0}}},
        {"windowinit", "root", {{Route::FirstLayout, 0}}},
        {"click_wpremove", "x", {}, false},
        {"click_wpadd", "x", {}, true},
        {"itemclick", "macro_name_list", {}},
        {"textchanged", "key_3", {}},
    };
    for (const RouteCase& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.name);
        const app::RouteResult r = app::RouteEvent(c.type, c.name);
        EXPECT_EQ(r.hits, c.hits);
        EXPECT_EQ(r.passOn, c.passOn);
    }
}

TEST(MainRoutes, OnlyClosebtnStopsTheDefaultHandling) {
    for (const char* name : {"minbtn", "setbtn", "key_1", "device_add_btn", "exit"})
        EXPECT_TRUE(app::RouteEvent("click", name).passOn) << name;
}

TEST(PowerGate, OnlyInterfaceArrivalsAndRemovalsPassWhileAsleep) {
    for (app::UINT msg : {app::kMsgInterfaceArrived, app::kMsgInterfaceRemoved})
        EXPECT_TRUE(app::PassesPowerGate(msg, false));
    for (app::UINT msg : {app::kMsgLanguageChanged, app::kMsgDeviceItem, ui::WM_COPYDATA,
                          ui::WM_TIMER, app::kMsgShowSettingProgress})
        EXPECT_FALSE(app::PassesPowerGate(msg, false)) << msg;
    EXPECT_TRUE(app::PassesPowerGate(ui::WM_TIMER, true));
}

TEST(WindowDpi, WideAndTallMonitorsGet144) {
    EXPECT_EQ(app::ChooseWindowDpi({1920, 1080}), 144);
    EXPECT_EQ(app::ChooseWindowDpi({1366, 768}), 96);
    EXPECT_EQ(app::ChooseWindowDpi({1501, 960}), 96);  // both bounds are strict
    EXPECT_EQ(app::ChooseWindowDpi({1500, 1200}), 96);
}

TEST(CopyDataBuffers, CopiesAreBoundedAndShortBlocksKeepTheRest) {
    app::CCopyDataBuffers buffers;
    std::vector<uint8_t> big(3000, 0xAB);
    EXPECT_EQ(buffers.Take({app::kCopyDataAudioLevels, uint32_t(big.size()), big.data()}),
              app::CCopyDataBuffers::kLevelBytes);
    std::vector<uint8_t> small(8, 0x11);
    EXPECT_EQ(buffers.Take({app::kCopyDataAudioLevels, uint32_t(small.size()), small.data()}), 8u);
    EXPECT_EQ(buffers.Levels()[7], 0x11);
    EXPECT_EQ(buffers.Levels()[8], 0xAB);
    EXPECT_EQ(buffers.Levels()[1999], 0xAB);

    std::vector<uint8_t> colours(100, 0);
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = uint8_t(i);
    EXPECT_EQ(buffers.Take({app::kCopyDataAudioColours, uint32_t(colours.size()), colours.data()}),
              24u);
    EXPECT_EQ(buffers.ColourValues()[0], 0x03020100u);
    EXPECT_EQ(buffers.ColourValues()[5], 0x17161514u);

    // Empty payloads and unknown types change nothing.
    EXPECT_EQ(buffers.Take({app::kCopyDataAudioLevels, 0, small.data()}), 0u);
    EXPECT_EQ(buffers.Take({app::kCopyDataAudioLevels, 10, nullptr}), 0u);
    EXPECT_EQ(buffers.Take({7, 8, small.data()}), 0u);
    EXPECT_EQ(buffers.Levels()[0], 0x11);
}

uint32_t WordAt(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

TEST(ToolBlock, HoldsStateWordsAndCatalogueCodesAtTheirOffsets) {
    const std::vector<uint8_t> block = app::BuildToolBlock({1, 0, 1, 144});
    ASSERT_EQ(block.size(), 1024u);
    EXPECT_EQ(WordAt(block, 0), 1u);
    EXPECT_EQ(WordAt(block, 12), 144u);
    EXPECT_EQ(WordAt(block, 16), 4u);
    const auto& catalog = hid::DeviceCatalog();
    for (size_t i = 0; i < catalog.size(); ++i) {
        EXPECT_EQ(WordAt(block, 20 + 12 * i), uint32_t(catalog[i].vendorId));
        EXPECT_EQ(WordAt(block, 24 + 12 * i), uint32_t(catalog[i].productId));
        EXPECT_EQ(WordAt(block, 28 + 12 * i), uint32_t(catalog[i].typeCode));
    }
    for (size_t at = 68; at < block.size(); ++at)
        ASSERT_EQ(block[at], 0) << at;
}

using apptest::RecordingDevice;

TEST(GameLight, TheTimerRestoresTheDeviceThatTookTheLight) {
    app::CGameLight light;
    RecordingDevice mouse, keyboard;
    light.OnGameMessage(1, 5, &mouse);
    EXPECT_EQ(mouse.gameMode, 5);
    // The user selects the keyboard before the timer fires.
    light.OnTimer();
    EXPECT_EQ(mouse.restored, 1);
    EXPECT_EQ(keyboard.restored, 0);
    EXPECT_FALSE(light.IsHeld(&mouse));
}

TEST(GameLight, OtherParametersAndNoSelectionChangeNoLight) {
    app::CGameLight light;
    RecordingDevice mouse;
    light.OnGameMessage(3, 5, &mouse);
    light.OnGameMessage(0, 5, nullptr);
    EXPECT_EQ(mouse.gameMode, -1);
    light.OnTimer();
    EXPECT_EQ(mouse.restored, 0);
}

}  // namespace
