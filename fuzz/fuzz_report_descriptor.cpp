// Any bytes as a report descriptor: the parser fails cleanly or gives
// capabilities that all lie inside their collection's reports, and decoding
// a report of exactly that length stays inside it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hid/ReportDescriptor.h"

using namespace hid;

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

void DecodeEverything(const HidCollectionInfo& c) {
    for (const HidCapability& cap : c.caps) {
        const uint16_t length = c.ReportBytes(cap.type);
        Check(length >= 1 && length <= kMaxReportBytes);
        Check(uint64_t(cap.bitOffset) + uint64_t(cap.bitSize) * cap.reportCount <=
              uint64_t(length) * 8);
        Check(cap.bitSize >= 1 && cap.bitSize <= 32);
        Check(c.HasReportId(cap.reportId));
        // A report full of ones of exactly the collection's length.
        std::vector<uint8_t> report(length, 0xFF);
        report[0] = cap.reportId;
        std::vector<uint16_t> usages;
        if (cap.isButton) {
            Check(GetUsages(c, cap.type, cap.usagePage, report.data(), report.size(), usages) ==
                  kHidStatusSuccess);
            Check(usages.size() <= MaxUsageListLength(c, cap.type, cap.usagePage));
        } else {
            uint32_t raw = 0;
            int32_t scaled = 0;
            Check(GetUsageValue(c, cap.type, cap.usagePage, cap.usageMax, report.data(),
                                report.size(), raw) == kHidStatusSuccess);
            GetScaledUsageValue(c, cap.type, cap.usagePage, cap.usageMin, report.data(),
                                report.size(), scaled);
            // One byte short must never read past the end.
            GetUsageValue(c, cap.type, cap.usagePage, cap.usageMax, report.data(),
                          report.size() - 1, raw);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ParsedDescriptor parsed;
    if (!ParseReportDescriptor(data, size, parsed)) {
        Check(parsed.collections.empty());
        return 0;
    }
    Check(!parsed.collections.empty() && parsed.collections.size() <= kMaxCollections);
    for (const HidCollectionInfo& c : parsed.collections)
        DecodeEverything(c);
    return 0;
}
