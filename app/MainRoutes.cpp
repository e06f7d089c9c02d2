#include "app/MainRoutes.h"

#include "ui/Text.h"

namespace app {

namespace {

// A table row: a name ending in "_" is a prefix route, any other an exact name.
struct Row {
    const char* name;
    Route route;
};

const Row kClickFrame[] = {
    {"nodevice_ok_btn", Route::HideMainWindow},
    {"nodevice_demo_btn", Route::DemoDevices},
    {"control_light_status", Route::ToggleLightControl},
    {"minbtn", Route::Minimize},
    {"maxbtn", Route::Maximize},
    {"restorebtn", Route::Restore},
    {"skinbtn", Route::SkinFrame},
    {"setbtn", Route::SettingsWindow},
};

const Row kClickPrefix[] = {
    {"key_", Route::KeySelect},
    {"color_option_", Route::ColourPreset},
    {"audiocolor_option_", Route::AudioColourPreset},
    {"windowdeviceset_", Route::SystemSettingsPanel},
    {"DPI_color_option_", Route::DpiStageColour},
};

const Row kClickExact[] = {
    {"default_btn", Route::DefaultProfile},
    {"reset_repeat_btn", Route::TypingTestReset},
    {"device_add_btn", Route::ProfileList},
    {"device_sub_btn", Route::ProfileList},
    {"device_export_btn", Route::ProfileList},
    {"device_import_btn", Route::ProfileList},
    {"device_copy_btn", Route::ProfileList},
    {"device_reset_btn", Route::ProfileList},
    {"device_profile_edit_save_btn", Route::ProfileList},
    {"profile_fun_spread_btn", Route::ProfileList},
    {"key_butt_keysave", Route::KeyEditor},
    {"key_butt_keydefalut", Route::KeyEditor},
    {"key_butt_keycancel", Route::KeyEditor},
    {"key_butt_prosave", Route::KeyEditor},
    {"macro_btn_starredio", Route::MacroRecorder},
    {"macro_btn_stopredio", Route::MacroRecorder},
    {"macro_btn_name_add", Route::MacroEditor},
    {"macro_btn_name_sub", Route::MacroEditor},
    {"macro_btn_name_edit", Route::MacroEditor},
    {"macro_btn_save", Route::MacroEditor},
    {"macro_btn_cancel", Route::MacroEditor},
    {"macro_btn_export", Route::MacroEditor},
    {"macro_btn_import", Route::MacroEditor},
    {"macro_btn_up", Route::MacroEditor},
    {"macro_btn_down", Route::MacroEditor},
    {"macro_btn_uptop", Route::MacroEditor},
    {"macro_btn_downbottom", Route::MacroEditor},
    {"macro_btn_delete", Route::MacroEditor},
    {"macro_btn_deleteall", Route::MacroEditor},
    {"macro_inset_moveleftkey_btn", Route::MacroEditor},
    {"macro_inset_moverightkey_btn", Route::MacroEditor},
    {"macro_inset_moveupkey_btn", Route::MacroEditor},
    {"macro_inset_movedownkey_btn", Route::MacroEditor},
    {"shootdate_save_btn", Route::FireKeyEditor},
    {"shootdate_reset_btn", Route::FireKeyEditor},
    {"shootdate_import_btn", Route::FireKeyEditor},
    {"shootdate_export_btn", Route::FireKeyEditor},
    {"bullet_selected_prev", Route::FireKeyEditor},
    {"bullet_selected_next", Route::FireKeyEditor},
    {"custom_bright_color_btn", Route::LightingEditor},
    {"custom_off_color_btn", Route::LightingEditor},
    {"deng_same_mode", Route::LightingEditor},
    {"hs_EQ_btn_save", Route::HeadsetEditors},
    {"hs_EQ_btn_delete", Route::HeadsetEditors},
    {"device_select_prev", Route::DeviceSwitching},
    {"device_select_next", Route::DeviceSwitching},
    {"Close_bkColor_btn", Route::AudioColours},
    {"music_setting_btn", Route::MusicWindow},
};

const Row kSelect[] = {
    {"DPI_enable_check_", Route::MouseSettings},
    {"DPI_select_check_", Route::MouseSettings},
    {"pointer_precision_check", Route::MouseSettings},
    {"scrolls_page_check", Route::MouseSettings},
    {"mouse_device_seting_option_", Route::MouseSettings},
    {"polling_rate_option_", Route::PollingRate},
    {"repeat_delay_check_", Route::KeyboardSettings},
    {"winlockflag_option", Route::KeyboardSettings},
    {"wflag_option", Route::KeyboardSettings},
    {"6flag_option", Route::KeyboardSettings},
    {"device_select", Route::DeviceSelection},
    {"deng_Op_tab", Route::PageTabs},
    {"key_Op_tab", Route::PageTabs},
    {"macro_Op_tab", Route::PageTabs},
    {"system_Op_tab", Route::PageTabs},
    {"cursor_Op_tab", Route::PageTabs},
    {"6533_voice_Op_tab", Route::PageTabs},
    {"magic_Op_tab", Route::PageTabs},
    {"Virtual7.1_Op_tab", Route::PageTabs},
    {"deng_FXL_check", Route::LightingEditor},
    {"deng_FXR_check", Route::LightingEditor},
    {"deng_7color_check", Route::LightingEditor},
    {"shoot_gun_op_", Route::FireKeyEditor},
    {"bullet_op_", Route::FireKeyEditor},
    {"bullet_x_check", Route::FireKeyEditor},
    {"bullet_y_check", Route::FireKeyEditor},
    {"magic_option_", Route::HeadsetEditors},
    {"magic_enable_option", Route::HeadsetEditors},
    {"6533_eq_option_", Route::HeadsetEditors},
    {"6533_MicIn_option", Route::HeadsetEditors},
    {"6533_MicMoniter_option", Route::HeadsetEditors},
    {"key_ComBox_check_", Route::KeyEditor},
    {"deng_7audiocolor_check", Route::AudioColours},
    {"audio_BkColor_check", Route::AudioColours},
    {"audio_FgColor_check", Route::AudioColours},
};

const Row kValue[] = {
    {"DPI_slider_", Route::MouseSettings},
    {"pointer_speed_slider", Route::MouseSettings},
    {"scroll_speed_slider", Route::MouseSettings},
    {"double_click_slider", Route::MouseSettings},
    {"repeat_rate_slider", Route::KeyboardSettings},
    {"deng_light_slider", Route::LightingEditor},
    {"deng_speed_slider", Route::LightingEditor},
    {"R_light_slider", Route::AudioLightLink},
    {"G_light_slider", Route::AudioLightLink},
    {"B_light_slider", Route::AudioLightLink},
    {"6533_eq_hz_slider_", Route::HeadsetEditors},
    {"6533_MicIn_slider", Route::HeadsetEditors},
    {"6533_MicMoniter_slider", Route::HeadsetEditors},
};

const Row kMoveValue[] = {
    {"DPI_slider_", Route::MouseSettingsDrag},
    {"korva_DPI_slider_", Route::MouseSettingsDrag},
};

const Row kItemSelect[] = {
    {"device_profile_combo", Route::ProfileSwitchTimer},
    {"light_combo_modeSelect", Route::LightingEditor},
    {"light_combo_custommodeSelect", Route::LightingEditor},
    {"light_combo_ZZCCmodeSelect", Route::LightingEditor},
    {"light_combo_audiomodeSelect", Route::LightingAudioRecord},
    {"macro_name_list", Route::MacroEditor},
    {"custom_eq_name_combo", Route::HeadsetEditors},
    // These two run their own handler first, then refresh like the rest.
    {"keyset_function_combo", Route::KeyComboOwnHandler},
    {"keyset_macro_over_combo", Route::KeyComboOwnHandler},
    {"keyset_function_combo", Route::KeyAssignmentRefresh},
    {"keyset_mousekey_combo", Route::KeyAssignmentRefresh},
    {"keyset_mouseswing_combo", Route::KeyAssignmentRefresh},
    {"keyset_mousewheel_combo", Route::KeyAssignmentRefresh},
    {"keyset_mousedpi_combo", Route::KeyAssignmentRefresh},
    {"keyset_media_combo", Route::KeyAssignmentRefresh},
    {"keyset_system_combo", Route::KeyAssignmentRefresh},
    {"keyset_macro_combo", Route::KeyAssignmentRefresh},
    {"keyset_macro_over_combo", Route::KeyAssignmentRefresh},
    {"keyset_gunkey_combo", Route::KeyAssignmentRefresh},
    {"keyset_combokey_combo", Route::KeyAssignmentRefresh},
};

const Row kKillFocus[] = {
    {"DPI_edit_", Route::MouseSettings},
    {"korva_DPI_edit_", Route::MouseSettings},
    {"deng_edit_R", Route::LightingEditor},
    {"deng_edit_G", Route::LightingEditor},
    {"deng_edit_B", Route::LightingEditor},
    {"deng_audioedit_R", Route::AudioColours},
    {"deng_audioedit_G", Route::AudioColours},
    {"deng_audioedit_B", Route::AudioColours},
    {"bullet_x_eidt", Route::FireKeyEditor},
    {"bullet_y_eidt", Route::FireKeyEditor},
    {"bullet_delay_eidt", Route::FireKeyEditor},
    {"macro_delay", Route::MacroEditor},
    {"keyset_keyboard_text_edit", Route::KeyEditor},
    {"keyset_mouseswing_num_edit", Route::KeyEditor},
    {"keyset_mouseswing_delay_edit", Route::KeyEditor},
    {"keyset_mouseswing_speed_edit", Route::KeyEditor},
    {"keyset_mousewheel_num_edit", Route::KeyEditor},
    {"keyset_mousewheel_delay_edit", Route::KeyEditor},
    {"keyset_mousewheel_speed_edit", Route::KeyEditor},
    {"keyset_mousefire_interval_edit", Route::KeyEditor},
    {"keyset_mousefire_num_edit", Route::KeyEditor},
    {"keyset_macro_cycle_edit", Route::KeyEditor},
};

// Enter in a DPI edit takes the value as leaving the edit does.
const Row kReturn[] = {
    {"DPI_edit_", Route::MouseSettings},
    {"korva_DPI_edit_", Route::MouseSettings},
};

const Row kColourChanged[] = {
    {"deng_Color_Pallet", Route::LightingEditor},
    {"deng_audioColor_Pallet", Route::AudioColours},
};

bool IsPrefixRow(std::string_view name) {
    return !name.empty() && name.back() == '_';
}

template <size_t N>
void Match(const Row (&table)[N], std::string_view name, RouteResult& out) {
    const ui::NameRoute split = ui::SplitNameRoute(name);
    for (const Row& row : table) {
        if (IsPrefixRow(row.name)) {
            if (!split.prefix.empty() && ui::EqualsNoCase(split.prefix, row.name))
                out.hits.push_back({row.route, split.number});
        } else if (ui::EqualsNoCase(name, row.name)) {
            out.hits.push_back({row.route, 0});
        }
    }
}

void RouteClick(std::string_view name, RouteResult& out) {
    if (ui::EqualsNoCase(name, "closebtn")) {
        out.hits.push_back({Route::HideToTray, 0});
        out.passOn = false;
        return;
    }
    Match(kClickFrame, name, out);
    Match(kClickPrefix, name, out);
    Match(kClickExact, name, out);
}

}  // namespace

RouteResult RouteEvent(std::string_view type, std::string_view name) {
    RouteResult out;
    if (type == "windowinit")
        out.hits.push_back({Route::FirstLayout, 0});
    else if (type == "windowsize")
        out.hits.push_back({Route::RelayoutAndDpi, 0});
    else if (type == "colorchanged")
        Match(kColourChanged, name, out);
    else if (type == "click")
        RouteClick(name, out);
    else if (type == "selectchanged")
        Match(kSelect, name, out);
    else if (type == "valuechanged")
        Match(kValue, name, out);
    else if (type == "movevaluechanged")
        Match(kMoveValue, name, out);
    else if (type == "itemselect")
        Match(kItemSelect, name, out);
    else if (type == "killfocus")
        Match(kKillFocus, name, out);
    else if (type == "return")
        Match(kReturn, name, out);
    else if (type == "click_select_end")
        out.hits.push_back({Route::KeyLightList, 0});
    else if (type == "click_wpremove" || type == "click_wpedit")
        out.passOn = false;
    return out;
}

}  // namespace app
