#pragma once
// The product table of the simulator: every product of the catalogue by its
// simulation name, built on the firmware models.
#include <memory>
#include <string>
#include <vector>

#include "sim/models/FirmwareModel.h"

namespace sim::models {

struct ProductInfo {
    const char* name;  // simulation name, e.g. "mouse-receiver"
    uint16_t vendorId;
    uint16_t productId;
    uint16_t version;
    ModelKind kind;
    bool receiver;
};

// mouse, mouse-receiver, keyboard, keyboard-receiver, mousepad, headset.
const std::vector<ProductInfo>& Products();
// A new model of the named product, or nullptr for an unknown name.
std::shared_ptr<FirmwareModel> MakeFirmwareModel(const std::string& name);

}  // namespace sim::models
