#include "sim/models/Descriptors.h"

namespace sim::models {

std::vector<uint8_t> HeadsetCommandDescriptor() {
    return {
        0x05,
        0x0C,
        0x09,
        0x01,
        0xA1,
        0x01,  // Consumer Control application
        // report 3: one 16-bit key event value
        0x85,
        kEventReportId,
        0x15,
        0x00,
        0x27,
        0xFF,
        0xFF,
        0x00,
        0x00,  //
        0x75,
        0x10,
        0x95,
        0x01,
        0x09,
        0x01,
        0x81,
        0x02,  //
        // report 4: 63 command bytes each way (vendor page 0xFF1C)
        0x85,
        kCommandReportId,
        0x06,
        0x1C,
        0xFF,
        0x15,
        0x00,
        0x26,
        0xFF,
        0x00,  //
        0x75,
        0x08,
        0x95,
        0x3F,
        0x09,
        0x01,
        0x81,
        0x02,
        0x09,
        0x01,
        0x91,
        0x02,  //
        // report 0xFF: 16 LED register bytes, output only
        0x85,
        kLedReportId,
        0x09,
        0x03,
        0x95,
        0x10,
        0x91,
        0x02,  //
        0xC0,
    };
}

}  // namespace sim::models
