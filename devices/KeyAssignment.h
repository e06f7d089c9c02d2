#pragma once
// The three bytes a device key carries in the key table: type, first and
// second parameter.
#include <cstdint>

namespace devices {

struct KeyAssignmentBytes {
    uint8_t type = 0;
    uint8_t first = 0;
    uint8_t second = 0;

    static constexpr uint8_t kTypeMouseButton = 0x10;
    static constexpr uint8_t kTypeKeyboardKey = 0x20;
    static constexpr uint8_t kTypeMacro = 0x70;
    static constexpr uint8_t kTypeMacroAlt = 0x71;

    bool IsMacro() const { return type == kTypeMacro || type == kTypeMacroAlt; }
    // The profile's "KeyList" integer: (type << 16) | (first << 8) | second.
    uint32_t ToInt() const { return (uint32_t{type} << 16) | (uint32_t{first} << 8) | second; }
    static KeyAssignmentBytes FromInt(uint32_t v) {
        return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                static_cast<uint8_t>(v)};
    }
    // Reads the 3 bytes at 3 × key of a table; false when they lie beyond it.
    template <typename Bytes>
    static bool FromTable(const Bytes& table, size_t key, KeyAssignmentBytes& out) {
        if (3 * key + 3 > table.size()) return false;
        out = {table[3 * key], table[3 * key + 1], table[3 * key + 2]};
        return true;
    }
    template <typename Bytes>
    bool StoreInto(Bytes& table, size_t key) const {
        if (3 * key + 3 > table.size()) return false;
        table[3 * key] = type;
        table[3 * key + 1] = first;
        table[3 * key + 2] = second;
        return true;
    }
    friend bool operator==(const KeyAssignmentBytes&, const KeyAssignmentBytes&) = default;
};

}  // namespace devices
