#pragma once
// The macro memory image written with WriteMacros (and WriteShootData for
// the fire keys). Little-endian layout:
//   0  magic AA 55          2  total size        4  number of macros n
//   6  10 reserved bytes    16 n macro offsets from the image start
//   per macro: event count, 2 reserved bytes, 4 bytes per event
//   (delay low, delay high, type | 0x80 for a press, key or button code).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace devices {

struct MacroImageEvent {
    uint32_t delayMs = 0;  // stored as 16 bits; longer delays are held at 65535
    uint8_t type = 0;      // event type, bit 7 is the press flag on the wire
    bool press = false;
    uint8_t code = 0;  // key or button code
};

class MacroImage {
  public:
    static constexpr uint16_t kMagic = 0x55AA;
    static constexpr size_t kHeaderSize = 16;
    static constexpr size_t kMaxSize = 0xFFFF;

    static size_t SizeFor(size_t macroCount, size_t totalEvents) {
        return kHeaderSize + 6 * macroCount + 4 * totalEvents;
    }

    // Adds a macro at the next upload place.
    void AddMacro(std::vector<MacroImageEvent> events);
    size_t MacroCount() const { return macros_.size(); }
    size_t EventCount() const;
    size_t Size() const { return SizeFor(macros_.size(), EventCount()); }

    // Lays out the image. False (out left empty) when it would not fit the
    // 16-bit size and offset fields.
    bool Build(std::vector<uint8_t>& out) const;

  private:
    std::vector<std::vector<MacroImageEvent>> macros_;
};

}  // namespace devices
