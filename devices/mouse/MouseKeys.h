#pragma once
// The mouse page's eleven key positions, their factory assignments, and the
// key map that finds each position's device key in the key table.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "devices/KeyAssignment.h"

namespace devices::mouse {

inline constexpr size_t kKeyPositions = 11;
// Key map entry of a position the mouse has no key for.
inline constexpr uint8_t kNoDeviceKey = 170;

struct MouseKeyPosition {
    const char* controlName;  // the page button, also the caption's text id
    KeyAssignmentBytes defaultAssignment;
};

// Position order: left, right, middle, forward, back, DPI up, DPI down, DPI
// cycle, game mode, DPI shift, fire key.
const std::array<MouseKeyPosition, kKeyPositions>& MouseKeyPositions();
KeyAssignmentBytes DefaultAssignment(size_t position);

using KeyMap = std::array<uint8_t, kKeyPositions>;

// For each position the first device key (from key 0 up) whose three bytes
// equal the position's default; kNoDeviceKey when there is none. Keys beyond
// kNoDeviceKey - 1 cannot be named and are not searched.
KeyMap BuildKeyMap(std::span<const uint8_t> keyTable);

}  // namespace devices::mouse
