#pragma once
// The 64-byte command report of the vendor command collection, the command
// codes, the result codes of the device operations and the checksum.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace devices {

constexpr size_t kReportSize = 64;
constexpr uint8_t kCommandReportId = 0x04;
// First data byte of a command or answer; 56 data bytes follow.
constexpr size_t kDataOffset = 8;
constexpr size_t kMaxDataBytes = kReportSize - kDataOffset;
// Answer byte 3 when a receiver cannot reach its device.
constexpr uint8_t kNotReachableCode = 0xAA;
constexpr uint8_t kStatusRejectedFF = 0xFF;
constexpr uint8_t kStatusRejectedFE = 0xFE;

enum CommandCode : uint8_t {
    kCmdBeginWrite = 0x01,
    kCmdEndWrite = 0x02,
    kCmdReadInfo = 0x03,
    kCmdReadMemory = 0x05,
    kCmdWriteMemory = 0x06,
    kCmdReadKeyTable = 0x07,
    kCmdWriteKeyTable = 0x09,
    kCmdReadKeyColours = 0x0A,
    kCmdWriteKeyColours = 0x0B,
    kCmdStreamLight = 0x12,
    kCmdWriteMacros = 0x15,
    kCmdWriteShootData = 0x17,
    kCmdReadStatus = 0x1A,
    kCmdReadKeyLightMap = 0x1B,
    kCmdHostLightControl = 0x1C,
    kCmdLinkCheck = 0xAA,
};

// Results of the channel and command operations.
enum DeviceResult : int {
    kResultOk = 1,
    kResultNoAnswer = 0,         // channel not open, or the (last) read timed out or failed
    kResultWriteFailed = -1,     // the write failed or timed out
    kResultNotReachable = -101,  // the receiver answered 0xAA
    kResultRejectedFF = -102,    // answer status 0xFF
    kResultRejectedFE = -103,    // answer status 0xFE
    kResultBadBank = -201,       // key table bank other than 0
};

// A short English explanation of a result code, for tools and logs.
const char* ResultMeaning(int result);

// 16-bit sum of bytes 3..63 of a 64-byte report.
uint16_t ReportChecksum(std::span<const uint8_t, kReportSize> report);

struct CommandReport {
    std::array<uint8_t, kReportSize> bytes{};

    // A command with its chunk fields and data (data beyond 56 bytes is cut),
    // checksum filled in last.
    static CommandReport Make(uint8_t code, uint8_t length = 0, uint16_t offset = 0,
                              std::span<const uint8_t> data = {});

    uint8_t Code() const { return bytes[3]; }
    uint8_t Length() const { return bytes[4]; }
    uint16_t Offset() const { return static_cast<uint16_t>(bytes[5] | (bytes[6] << 8)); }
    uint8_t Status() const { return bytes[7]; }
    std::span<const uint8_t> Data() const {
        return std::span<const uint8_t>(bytes).subspan(kDataOffset);
    }
    void SetChunk(uint8_t length, uint16_t offset);
    void StoreChecksum();
};

}  // namespace devices
