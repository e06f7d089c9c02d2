// A descriptor and an input report from the same bytes, decoded through
// CHidDevice::UnpackInputReport on a bus that serves the descriptor.
// Input: [descriptor length, 2 bytes little-endian][collection byte]
//        [descriptor][report].
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "hid/HidBus.h"
#include "hid/HidDevice.h"

namespace {

class FixedNode : public hid::IHidNode {
  public:
    explicit FixedNode(hid::HidNodeIdentity id) : id_(std::move(id)) {}
    const hid::HidNodeIdentity& Identity() const override { return id_; }
    hid::IoResult Read(uint8_t*, size_t, size_t& got, int) override {
        got = 0;
        return hid::IoResult::Timeout;
    }
    hid::IoResult Write(const uint8_t*, size_t, size_t& put, int) override {
        put = 0;
        return hid::IoResult::Error;
    }
    bool SetOutputReport(const uint8_t*, size_t) override { return false; }
    void Abort() override {}
    void ClearAbort() override {}

  private:
    hid::HidNodeIdentity id_;
};

// One interface whose descriptor is the fuzz input's.
class FixedBus : public hid::IHidBus {
  public:
    std::vector<uint8_t> descriptor;
    bool Enumerate(std::vector<std::string>& paths) override {
        paths.push_back("fuzz#vid_0001&pid_0002&mi_00");
        return true;
    }
    std::unique_ptr<hid::IHidNode> Open(const std::string&, bool, bool, int*) override {
        hid::HidNodeIdentity id;
        id.vendorId = 1;
        id.productId = 2;
        id.reportDescriptor = descriptor;
        return std::make_unique<FixedNode>(std::move(id));
    }
    bool Present(const std::string&) override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto bus = [] {
        auto b = std::make_shared<FixedBus>();
        hid::SetActiveBus(b);
        return b;
    }();
    if (size < 3) return 0;
    const size_t descriptorLength = size_t(data[0]) | (size_t(data[1]) << 8);
    if (descriptorLength > size - 3) return 0;
    bus->descriptor.assign(data + 3, data + 3 + descriptorLength);
    char path[64];
    std::snprintf(path, sizeof path, "fuzz#vid_0001&pid_0002&mi_00&col%02x", data[2] % 8);
    hid::CHidDevice dev;
    if (!dev.Open(path, true, false, true, false)) return 0;
    const uint8_t* report = data + 3 + descriptorLength;
    const size_t reportLength = size - 3 - descriptorLength;
    dev.UnpackInputReport(report, reportLength);
    // The decoded usages never exceed their list's capacity.
    for (const hid::HidDataItem& item : dev.InputItems()) {
        if (item.isButtonData && item.usages.size() != item.maxUsageLength) __builtin_trap();
    }
    // And the object's own buffer, exactly as long as the input report.
    std::vector<uint8_t>& own = dev.InputReport();
    if (!own.empty()) {
        for (size_t i = 0; i < own.size() && i < reportLength; ++i)
            own[i] = report[i];
        dev.UnpackInputReport(own.data(), own.size());
    }
    return 0;
}
