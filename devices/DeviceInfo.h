#pragma once
// The blocks a device reports about itself: DeviceInfo (read with ReadInfo)
// and the power status block (read with ReadStatus).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace devices {

// Largest key table, key colour bank and light frame the protocol moves.
constexpr size_t kMaxConfigLength = 512;

struct DeviceInfo {
    static constexpr size_t kSize = 34;
    std::array<uint8_t, kSize> bytes{};

    uint8_t KeyCount() const { return bytes[5]; }
    // Key table length: 3 bytes per key, never above 512 (a count above 170
    // would otherwise size a table the protocol cannot address).
    size_t KeyTableLength() const { return std::min<size_t>(3u * bytes[5], kMaxConfigLength); }
    // The same, also capped at the channel's configured length.
    size_t KeyTableLength(size_t configLength) const {
        return std::min(KeyTableLength(), configLength);
    }
    size_t MacroMemoryBytes() const { return 128u * bytes[6]; }
    uint16_t DpiCode() const { return Word(9); }
    uint8_t DpiStep() const { return bytes[11]; }
    uint16_t DpiMaxSteps() const { return Word(12); }
    uint16_t DpiMin() const { return Word(14); }

  private:
    uint16_t Word(size_t at) const {
        return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
    }
};

enum class PowerState : uint8_t { Powered = 0, Charging = 1, OnBattery = 2 };

struct StatusBlock {
    static constexpr size_t kSize = 6;
    std::array<uint8_t, kSize> bytes{};

    uint8_t Battery() const { return bytes[0]; }
    uint8_t PowerStateByte() const { return bytes[1]; }
    bool OnReceiver() const { return bytes[3] != 0; }
    // The value the main window receives with message 0xD01.
    uint8_t WindowValue() const { return bytes[4]; }
    // Kind of phone on a charging pad: 1..3, 0 for none (any other byte).
    uint8_t PhoneKind() const { return bytes[5] >= 1 && bytes[5] <= 3 ? bytes[5] : 0; }
    // The host replaces byte 3 with the link it used.
    void SetLink(bool onReceiver) { bytes[3] = onReceiver ? 1 : 0; }
};

const char* PowerStateName(uint8_t powerState);

}  // namespace devices
