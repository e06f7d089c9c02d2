#pragma once
// Report descriptors of the simulated products, byte for byte as the
// devices send them. Firmware models reuse them so that the host-side
// parser sees the same collections, report IDs and lengths.
#include <cstdint>
#include <vector>

namespace sim {

constexpr uint8_t kKeyboardReportId = 1;  // collection 1 of interface 1
constexpr uint8_t kSystemReportId = 2;    // collection 2
constexpr uint8_t kEventReportId = 3;     // collection 3: key events, one 16-bit value
constexpr uint8_t kCommandReportId = 4;   // collection 4: 64-byte command reports
constexpr uint16_t kCommandReportBytes = 64;
constexpr uint8_t kHeadsetInputReportId = 1;
constexpr uint8_t kHeadsetOutputReportId = 2;
constexpr uint16_t kHeadsetOutputReportBytes = 17;

// Interface 1 of the keyboard, mouse and mouse-pad products (cable and
// receiver): 1 keyboard keys, 2 system control, 3 consumer-control key
// events, 4 vendor command channel (usage page 0xFF1C, usage 0x92).
const std::vector<uint8_t>& CommandInterfaceDescriptor();
// Interface 0 of the mouse products: a boot-protocol mouse.
const std::vector<uint8_t>& BootMouseDescriptor();
// Interface 0 of the keyboard products: a boot-protocol keyboard.
const std::vector<uint8_t>& BootKeyboardDescriptor();
// Interface 3 of the headset: one consumer-control collection with the
// volume keys as input and the 17-byte LED report as output.
const std::vector<uint8_t>& HeadsetDescriptor();

}  // namespace sim
