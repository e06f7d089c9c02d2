#include "devices/mouse/MouseKeys.h"

#include <algorithm>

namespace devices::mouse {

const std::array<MouseKeyPosition, kKeyPositions>& MouseKeyPositions() {
    static const std::array<MouseKeyPosition, kKeyPositions> kPositions = {{
        {"mouse_key_left", {0x10, 0x01, 0x00}},
        {"mouse_key_right", {0x10, 0x02, 0x00}},
        {"mouse_key_middle", {0x10, 0x04, 0x00}},
        {"mouse_key_forward", {0x10, 0x10, 0x00}},
        {"mouse_key_back", {0x10, 0x08, 0x00}},
        {"mouse_key_DPI_add", {0x13, 0x01, 0x00}},
        {"mouse_key_DPI_sub", {0x13, 0x02, 0x00}},
        {"mouse_key_DPI_loop", {0x13, 0x03, 0x00}},
        {"keyboard_key_GM", {0xA0, 0x1B, 0x00}},
        {"mouse_key_M8_key", {0x16, 0x90, 0x01}},
        {"mouse_key_fire_key", {0x14, 0x78, 0x02}},
    }};
    return kPositions;
}

KeyAssignmentBytes DefaultAssignment(size_t position) {
    return position < kKeyPositions ? MouseKeyPositions()[position].defaultAssignment
                                    : KeyAssignmentBytes{};
}

KeyMap BuildKeyMap(std::span<const uint8_t> keyTable) {
    KeyMap map;
    map.fill(kNoDeviceKey);
    const size_t keys = std::min<size_t>(keyTable.size() / 3, kNoDeviceKey);
    for (size_t pos = 0; pos < kKeyPositions; ++pos) {
        const KeyAssignmentBytes wanted = DefaultAssignment(pos);
        for (size_t key = 0; key < keys; ++key) {
            KeyAssignmentBytes have;
            KeyAssignmentBytes::FromTable(keyTable, key, have);
            if (have == wanted) {
                map[pos] = static_cast<uint8_t>(key);
                break;
            }
        }
    }
    return map;
}

}  // namespace devices::mouse
