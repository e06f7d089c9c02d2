#pragma once
// One HID interface collection: enumeration of present interfaces, open by
// path, identification (attributes, top-level usage, report lengths, button
// and value capabilities), report reads and writes with a time-out and an
// abort, and decoding of input reports into usages.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "hid/HidBus.h"
#include "hid/ReportDescriptor.h"

namespace hid {

constexpr int kInfinite = -1;

struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
};

struct HidCaps {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    // Byte lengths including the report-ID byte (0 when the type is absent).
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;
    uint16_t numberInputButtonCaps = 0;
    uint16_t numberInputValueCaps = 0;
    uint16_t numberOutputButtonCaps = 0;
    uint16_t numberOutputValueCaps = 0;
    uint16_t numberFeatureButtonCaps = 0;
    uint16_t numberFeatureValueCaps = 0;
};

// One decoded element of a report.
struct HidDataItem {
    bool isButtonData = false;
    uint16_t usagePage = 0;
    uint32_t status = 0;  // 0 = success
    uint32_t reportId = 0;
    bool isDataSet = false;
    // button items
    uint32_t usageMin = 0;
    uint32_t usageMax = 0;
    uint32_t maxUsageLength = 0;
    std::vector<uint16_t> usages;  // capacity maxUsageLength, zero-terminated when shorter
    // value items
    uint16_t usage = 0;
    uint32_t value = 0;
    int32_t scaledValue = 0;
};

class CHidDevice {
public:
    CHidDevice();
    ~CHidDevice();
    CHidDevice(const CHidDevice&) = delete;
    CHidDevice& operator=(const CHidDevice&) = delete;

    bool EnumerateInterfaces();
    // The next path of the last enumeration, or nullptr when exhausted.
    const std::string* NextPath();
    void FreePathList();
    size_t PathCount() const;

    bool Open(const std::string& path, bool wantRead, bool wantWrite, bool overlapped,
              bool exclusiveWrite);
    bool Reopen();
    void Close();
    bool IsOpen() const;
    // errno of the last failed open (EACCES: permission denied).
    int LastOpenError() const;

    bool ReadReport(uint8_t* buffer, size_t length, size_t* bytesRead, int timeoutMs);
    bool WriteReport(const uint8_t* buffer, size_t length, size_t* bytesWritten, int timeoutMs);
    bool UnpackInputReport(const uint8_t* report, size_t reportLength);
    // Synchronous output report on the open interface (the headset's LEDs).
    bool SetOutputReport(const uint8_t* buffer, size_t length);

    // The presence test of the scan: the interface at path still exists.
    static bool IsPresent(const std::string& path);

    const std::string& Path() const;
    const HidAttributes& Attributes() const;
    const HidCaps& Caps() const;
    unsigned InterfaceNumber() const;
    unsigned CollectionNumber() const;
    std::vector<uint8_t>& InputReport();
    const std::vector<HidDataItem>& InputItems() const;
    const std::vector<HidDataItem>& OutputItems() const;
    const std::vector<HidDataItem>& FeatureItems() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace hid
