#include "devices/CommandReport.h"

#include <algorithm>

namespace devices {

const char* ResultMeaning(int result) {
    switch (result) {
        case kResultOk:
            return "success";
        case kResultNoAnswer:
            return "channel not open, or no answer from the device";
        case kResultWriteFailed:
            return "the report could not be written";
        case kResultNotReachable:
            return "the receiver cannot reach the device (is it switched on?)";
        case kResultRejectedFF:
            return "the device rejected the command (status 0xFF)";
        case kResultRejectedFE:
            return "the device rejected the command (status 0xFE)";
        case kResultBadBank:
            return "key table bank other than 0";
        default:
            return "unknown result";
    }
}

uint16_t ReportChecksum(std::span<const uint8_t, kReportSize> report) {
    unsigned sum = 0;
    for (size_t i = 3; i < kReportSize; ++i)
        sum += report[i];
    return static_cast<uint16_t>(sum & 0xFFFF);
}

CommandReport CommandReport::Make(uint8_t code, uint8_t length, uint16_t offset,
                                  std::span<const uint8_t> data) {
    CommandReport r;
    r.bytes[0] = kCommandReportId;
    r.bytes[3] = code;
    r.SetChunk(length, offset);
    const size_t n = std::min(data.size(), kMaxDataBytes);
    std::copy_n(data.begin(), n, r.bytes.begin() + kDataOffset);
    r.StoreChecksum();
    return r;
}

void CommandReport::SetChunk(uint8_t length, uint16_t offset) {
    bytes[4] = length;
    bytes[5] = static_cast<uint8_t>(offset & 0xFF);
    bytes[6] = static_cast<uint8_t>(offset >> 8);
}

void CommandReport::StoreChecksum() {
    const uint16_t sum = ReportChecksum(bytes);
    bytes[1] = static_cast<uint8_t>(sum & 0xFF);
    bytes[2] = static_cast<uint8_t>(sum >> 8);
}

}  // namespace devices
