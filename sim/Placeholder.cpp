#include "sim/Placeholder.h"

#include "sim/Descriptors.h"

namespace sim {

PlaceholderProduct::PlaceholderProduct(const PlaceholderIdentity& identity)
    : SimDevice(identity.name, identity.vendorId, identity.productId, identity.version),
      boot_(identity.boot),
      layout_(identity.layout) {}

std::vector<SimCollection> PlaceholderProduct::Collections() const {
    std::vector<SimCollection> out;
    if (boot_ == BootInterface::Mouse) out.push_back({0, 0, 0x01, 0x02});
    if (boot_ == BootInterface::Keyboard) out.push_back({0, 0, 0x01, 0x06});
    if (layout_ == CommandLayout::Headset) {
        out.push_back({3, 0, 0x0C, 0x01});
    } else {
        out.push_back({1, 1, 0x01, 0x06});
        out.push_back({1, 2, 0x01, 0x80});
        out.push_back({1, 3, 0x0C, 0x01});
        out.push_back({1, 4, 0xFF1C, 0x92});
    }
    return out;
}

std::vector<uint8_t> PlaceholderProduct::ReportDescriptor(uint16_t interfaceNumber) const {
    if (interfaceNumber == 0 && boot_ == BootInterface::Mouse) return BootMouseDescriptor();
    if (interfaceNumber == 0 && boot_ == BootInterface::Keyboard) return BootKeyboardDescriptor();
    if (interfaceNumber == 3 && layout_ == CommandLayout::Headset) return HeadsetDescriptor();
    if (interfaceNumber == 1 && layout_ == CommandLayout::FourCollections) {
        return CommandInterfaceDescriptor();
    }
    return {};
}

}  // namespace sim
