#pragma once
// Our HID report-descriptor parser. It turns the descriptor bytes a device
// supplies into its top-level collections (numbered from 1 in descriptor
// order), the report IDs and report byte lengths of each, and the button and
// value capabilities with the bit position of every field, so that input
// reports can be decoded into usages without any help from the kernel.
//
// The descriptor comes from the device and is not trusted: every size and
// count is bounded, and a malformed descriptor gives a failure with a reason,
// never a read or write outside the buffers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hid {

enum class ReportType : uint8_t { Input = 0, Output = 1, Feature = 2 };
constexpr size_t kReportTypeCount = 3;

// Limits for untrusted descriptors. Real devices stay far below them.
constexpr size_t kMaxDescriptorBytes = 4096;  // the kernel's own limit
constexpr size_t kMaxReportBytes = 4096;      // including the report-ID byte
constexpr size_t kMaxCollections = 64;        // top-level collections
constexpr size_t kMaxCollectionDepth = 32;    // nesting
constexpr size_t kMaxGlobalStack = 16;        // Push without Pop
constexpr size_t kMaxCapabilities = 1024;     // per descriptor
constexpr size_t kMaxLocalUsages = 1024;      // usages before one main item
constexpr size_t kMaxArrayUsages = 4096;      // usage table of one array field

// Status of a decoding call; 0 is success, as in the item tables.
enum HidStatus : uint32_t {
    kHidStatusSuccess = 0,
    kHidStatusUsageNotFound = 1,
    kHidStatusIncompatibleReportId = 2,
    kHidStatusInvalidReportLength = 3,
    kHidStatusBadLogPhyValues = 4,
    kHidStatusValueOutOfRange = 5,
    kHidStatusNull = 6,
    kHidStatusBufferTooSmall = 7,
};

// One capability: a run of report fields that share a report ID, usage page,
// element size and kind. Button capabilities hold usages that are on or off
// (one-bit variables, or arrays of usage indexes); value capabilities hold
// numbers.
struct HidCapability {
    ReportType type = ReportType::Input;
    bool isButton = false;
    bool isArray = false;  // elements are indexes into the usage range/table
    bool isAbsolute = true;
    bool hasNull = false;  // the Null State flag
    bool isRange = false;  // usages usageMin..usageMax, one per element
    uint16_t usagePage = 0;
    uint8_t reportId = 0;   // 0 when the descriptor uses no report IDs
    uint16_t usageMin = 0;  // both equal the usage of a single-usage capability
    uint16_t usageMax = 0;
    // Arrays declared with a list of usages: the usage of each index.
    std::vector<uint16_t> usageTable;
    // Field position: bit offset from the start of the report buffer, where
    // byte 0 is the report ID (also when IDs are not used).
    uint32_t bitOffset = 0;
    uint16_t bitSize = 0;      // bits per element, 1..32
    uint16_t reportCount = 0;  // number of elements
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    int32_t physicalMin = 0;
    int32_t physicalMax = 0;
    uint32_t units = 0;
    int8_t unitExponent = 0;

    // Number of usages the capability covers (range size, or 1).
    uint32_t UsageCount() const { return isRange ? uint32_t(usageMax - usageMin) + 1u : 1u; }
};

struct HidCollectionInfo {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    // Report IDs used by the collection's fields, ascending; {0} when the
    // descriptor uses no IDs and the collection has fields.
    std::vector<uint8_t> reportIds;
    // Longest report of each type in bytes, including the report-ID byte;
    // 0 when the collection has no report of that type.
    uint16_t reportBytes[kReportTypeCount] = {0, 0, 0};
    std::vector<HidCapability> caps;  // in descriptor order

    uint16_t ReportBytes(ReportType t) const { return reportBytes[size_t(t)]; }
    bool HasReportId(uint8_t id) const;
    size_t CountCaps(ReportType t, bool buttons) const;
};

struct ParsedDescriptor {
    bool usesReportIds = false;
    std::vector<HidCollectionInfo> collections;  // collection n is collections[n - 1]
};

// Parses a descriptor. On failure `out` is left empty and `error` (if given)
// names the reason and the byte offset.
bool ParseReportDescriptor(const uint8_t* data, size_t len, ParsedDescriptor& out,
                           std::string* error = nullptr);

// Decoding helpers over one collection. `report` starts with the report ID.

// Reads bitSize (1..32) bits at bitOffset; false when they lie outside the buffer.
bool ReadReportBits(const uint8_t* report, size_t len, uint32_t bitOffset, uint16_t bitSize,
                    uint32_t& out);

// Capacity a usage list needs for every button usage of a page (0: all pages).
uint32_t MaxUsageListLength(const HidCollectionInfo& c, ReportType type, uint16_t usagePage);

// The button usages of a page (0: all pages) that are on in the report, in
// capability order.
HidStatus GetUsages(const HidCollectionInfo& c, ReportType type, uint16_t usagePage,
                    const uint8_t* report, size_t len, std::vector<uint16_t>& usages);

// The raw value of a usage (not sign-extended; first element of a value array).
HidStatus GetUsageValue(const HidCollectionInfo& c, ReportType type, uint16_t usagePage,
                        uint16_t usage, const uint8_t* report, size_t len, uint32_t& value);

// The value scaled from its logical to its physical range (the logical range
// when no physical range is given).
HidStatus GetScaledUsageValue(const HidCollectionInfo& c, ReportType type, uint16_t usagePage,
                              uint16_t usage, const uint8_t* report, size_t len, int32_t& value);

}  // namespace hid
