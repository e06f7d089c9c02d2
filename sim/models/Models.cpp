#include "sim/models/Models.h"

namespace sim::models {
namespace {

FirmwareFacts FactsOf(ModelKind kind) {
    switch (kind) {
        case ModelKind::Mouse:
            return MouseFacts();
        case ModelKind::Keyboard:
            return KeyboardFacts();
        case ModelKind::MousePad:
            return MousePadFacts();
        case ModelKind::Headset:
            return HeadsetFacts();
    }
    return MouseFacts();
}

}  // namespace

const std::vector<ProductInfo>& Products() {
    static const std::vector<ProductInfo> products = {
        {"mouse", 0x320F, 0x50EF, 0x0105, ModelKind::Mouse, false},
        {"mouse-receiver", 0x320F, 0x221D, 0x0105, ModelKind::Mouse, true},
        {"keyboard", 0x320F, 0x5084, 0x0107, ModelKind::Keyboard, false},
        {"keyboard-receiver", 0x320F, 0x50EC, 0x0107, ModelKind::Keyboard, true},
        {"mousepad", 0x320F, 0x1004, 0x0101, ModelKind::MousePad, false},
        {"headset", 0x0C76, 0x1630, 0x0100, ModelKind::Headset, false},
    };
    return products;
}

std::shared_ptr<FirmwareModel> MakeFirmwareModel(const std::string& name) {
    for (const auto& p : Products()) {
        if (name != p.name) continue;
        if (p.kind == ModelKind::Headset)
            return std::make_shared<HeadsetModel>(p.name, p.vendorId, p.productId, p.version);
        return std::make_shared<FirmwareModel>(p.name, p.vendorId, p.productId, p.version,
                                               FactsOf(p.kind), p.receiver);
    }
    return nullptr;
}

}  // namespace sim::models
