#pragma once
// WM_COPYDATA: the record that travels in lParam, and the main window's two
// receive buffers. Any program on the bus may send data, so every copy is
// bounded by its buffer.
#include <array>
#include <cstddef>
#include <cstdint>

namespace app {

struct CopyDataStruct {
    uintptr_t dwData = 0;  // data type
    uint32_t cbData = 0;   // bytes at lpData
    const void* lpData = nullptr;
};

constexpr uintptr_t kCopyDataAudioLevels = 1;
constexpr uintptr_t kCopyDataAudioColours = 2;
constexpr uintptr_t kCopyDataDeviceList = 5;
constexpr uintptr_t kCopyDataAudioStyle = 10;

class CCopyDataBuffers {
  public:
    static constexpr size_t kLevelBytes = 2000;  // 500 32-bit values
    static constexpr size_t kColourBytes = 24;   // six 32-bit values

    // Copies at most the buffer's size; a shorter block leaves the rest as it
    // was. Returns the bytes taken: 0 for an empty payload or an unknown type.
    size_t Take(const CopyDataStruct& data);

    const std::array<uint8_t, kLevelBytes>& Levels() const { return levels_; }
    const std::array<uint8_t, kColourBytes>& Colours() const { return colours_; }
    // The six colour values as little-endian 32-bit integers.
    std::array<uint32_t, 6> ColourValues() const;

  private:
    std::array<uint8_t, kLevelBytes> levels_{};
    std::array<uint8_t, kColourBytes> colours_{};
};

}  // namespace app
