#include "app/pages/MouseKeyNames.h"

#include <algorithm>
#include <iterator>

namespace app::pages {

namespace {

struct ValueName {
    int value;
    const char* key;
};

constexpr ValueName kMouseButtons[] = {{0x01, "mouse_key_left"},
                                       {0x04, "mouse_key_middle"},
                                       {0x02, "mouse_key_right"},
                                       {0x10, "mouse_key_forward"},
                                       {0x08, "mouse_key_back"}};
constexpr ValueName kDpiKeys[] = {
    {1, "mouse_key_DPI_add"}, {2, "mouse_key_DPI_sub"}, {3, "mouse_key_DPI_loop"}};
constexpr ValueName kOfficeKeys[] = {
    {0, "custem_open"},  {1, "custem_new"},  {2, "custem_undo"},
    {3, "custem_save"},  {4, "custem_copy"}, {5, "custem_cut"},
    {6, "custem_paste"}, {7, "custem_find"}, {8, "custem_select_all"}};
constexpr ValueName kConsumer[] = {
    {0x0183, "media_text"},    {0x00CD, "media_play"},   {0x00B7, "media_stop"},
    {0x00B6, "media_prev"},    {0x00B5, "media_next"},   {0x00EA, "media_vol_sub"},
    {0x00E9, "media_vol_add"}, {0x00E2, "media_mute"},   {0x0223, "web_text"},
    {0x0227, "web_refresh"},   {0x0226, "wed_stop"},     {0x0224, "wed_back"},
    {0x0225, "wed_forward"},   {0x022A, "wed_favorite"}, {0x0221, "web_search"},
    {0x0194, "media_mypc"},    {0x0192, "media_calc"},   {0x018A, "media_mail"}};
constexpr ValueName kSystem[] = {{1, "system_power"}, {2, "system_sleep"}, {4, "system_wake_up"}};
constexpr ValueName kGuns[] = {
    {0, "gun_1_txt"}, {1, "gun_2_txt"}, {2, "gun_3_txt"}, {3, "gun_4_txt"}};
// Device-function keys of type 0xA0 by (p1 << 8 | p2).
constexpr ValueName kFunctionKeys[] = {{0x1B00, "keyboard_key_GM"}};
// Types whose keys are not captioned.
constexpr uint8_t kUncaptioned[] = {0x15, 0x21, 0x50, 0x60, 0xB0, 0xC0};

template <size_t N>
AssignmentName Lookup(const ValueName (&table)[N], int value) {
    for (const ValueName& row : table)
        if (row.value == value) return {AssignmentName::kLanguageKey, row.key};
    return {};
}

AssignmentName Key(const char* key) {
    return {AssignmentName::kLanguageKey, key};
}

AssignmentName KeyTableName(uint8_t p1, uint8_t p2) {
    // Keyboard keys and combinations are named by the key editor's key
    // table; the mouse page names only the empty assignment.
    if (p1 == 0 && p2 == 0) return Key("close_text");
    return {};
}

AssignmentName MacroName(uint8_t p1, const std::vector<std::string>& names) {
    if (p1 >= names.size()) return {};
    return {AssignmentName::kLiteral, names[p1]};
}

}  // namespace

AssignmentName MouseAssignmentName(uint8_t type, uint8_t p1, uint8_t p2,
                                   const std::vector<std::string>& macroNames) {
    if (std::find(std::begin(kUncaptioned), std::end(kUncaptioned), type) != std::end(kUncaptioned))
        return {};
    switch (type) {
        case 0x00:
        case 0x20:
            return KeyTableName(p1, p2);
        case 0x10:
            return Lookup(kMouseButtons, p1);
        case 0x11:
            return Key(p2 & 0x80 ? "mouse_key_right_Swing" : "mouse_key_left_Swing");
        case 0x12:
            return Key(p2 & 0x80 ? "mouse_key_down_Swing" : "mouse_key_up_Swing");
        case 0x13:
            return Lookup(kDpiKeys, p1);
        case 0x14:
            return Key("mouse_key_fire_key");
        case 0x16:
            return Key("mouse_key_DPI_shift");
        case 0x22:
            return p1 == 0 ? Lookup(kOfficeKeys, p2) : AssignmentName{};
        case 0x23:
            return p1 == 0 && p2 == 0 ? Key("show_window") : AssignmentName{};
        case 0x30:
            return Lookup(kConsumer, p2 * 256 + p1);
        case 0x40:
            return Lookup(kSystem, p1);
        case 0x70:
        case 0x71:
            return MacroName(p1, macroNames);
        case 0x72:
            return Lookup(kGuns, p1);
        case 0xA0:
            if (p1 == 0x02) return Key("mouse_key_smart_key");
            if (p1 == 0x00) return Key("close_text");
            return Lookup(kFunctionKeys, p1 << 8 | p2);
        default:
            return {AssignmentName::kLiteral, "关闭"};
    }
}

}  // namespace app::pages
