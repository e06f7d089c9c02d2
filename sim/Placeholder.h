#pragma once
// A product that only shows its identity: vendor, product, version, its
// interfaces and collections with their report descriptors. It does not
// answer commands. Stands in for a product until its firmware model exists.
#include <memory>
#include <string>

#include "sim/SimDevice.h"

namespace sim {

enum class BootInterface { None, Mouse, Keyboard };
enum class CommandLayout { FourCollections, Headset };

struct PlaceholderIdentity {
    std::string name;
    uint16_t vendorId;
    uint16_t productId;
    uint16_t version;
    BootInterface boot;    // interface 0 besides the command interface
    CommandLayout layout;  // interface 1 with four collections, or the headset's interface 3
};

class PlaceholderProduct : public SimDevice {
  public:
    explicit PlaceholderProduct(const PlaceholderIdentity& identity);

    std::vector<SimCollection> Collections() const override;
    std::vector<uint8_t> ReportDescriptor(uint16_t interfaceNumber) const override;
    void OnHostWrite(const SimCollection&, const uint8_t*, size_t) override {}

  private:
    BootInterface boot_;
    CommandLayout layout_;
};

}  // namespace sim
