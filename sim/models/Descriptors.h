#pragma once
// Report layouts of the simulated products. Interfaces 0 and 1 use the
// product descriptors of sim/Descriptors.h (report 3: one 16-bit key event
// value on collection 3; report 4: 63 command bytes each way on collection
// 4). The headset's interface 3 is its command channel as well: besides the
// event value it carries the 64-byte command report and the 17-byte LED
// output report, whose first byte 0xFF is its report ID.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/Descriptors.h"

namespace sim::models {

constexpr uint8_t kEventReportId = sim::kEventReportId;
constexpr uint8_t kCommandReportId = sim::kCommandReportId;
constexpr uint8_t kLedReportId = 0xFF;
constexpr size_t kCommandReportBytes = sim::kCommandReportBytes;
constexpr size_t kLedReportBytes = 17;

constexpr uint16_t kEventCollection = 3;
constexpr uint16_t kCommandCollection = 4;

// Interface 3 of the headset: key event value, command report, LED report.
std::vector<uint8_t> HeadsetCommandDescriptor();

}  // namespace sim::models
