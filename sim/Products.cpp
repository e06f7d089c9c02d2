// The simulated products by name. Each row names the factory of one product;
// a firmware model takes over a product by pointing its row at the model's
// factory.
#include <memory>

#include "sim/Placeholder.h"
#include "sim/SimBus.h"
#include "sim/models/Models.h"

namespace sim {

namespace {

using ProductFactory = std::shared_ptr<SimDevice> (*)();

template <const PlaceholderIdentity& identity>
std::shared_ptr<SimDevice> Placeholder() {
    return std::make_shared<PlaceholderProduct>(identity);
}

const PlaceholderIdentity kMouse{
    "mouse", 0x320F, 0x50EF, 0x0100, BootInterface::Mouse, CommandLayout::FourCollections};
const PlaceholderIdentity kMouseReceiver{
    "mouse-receiver", 0x320F, 0x221D, 0x0100, BootInterface::Mouse, CommandLayout::FourCollections};
const PlaceholderIdentity kKeyboard{
    "keyboard", 0x320F, 0x5084, 0x0100, BootInterface::Keyboard, CommandLayout::FourCollections};
const PlaceholderIdentity kKeyboardReceiver{
    "keyboard-receiver",           0x320F, 0x50EC, 0x0100, BootInterface::Keyboard,
    CommandLayout::FourCollections};
const PlaceholderIdentity kMousePad{
    "mousepad", 0x320F, 0x1004, 0x0100, BootInterface::None, CommandLayout::FourCollections};
const PlaceholderIdentity kHeadset{
    "headset", 0x0C76, 0x1630, 0x0100, BootInterface::None, CommandLayout::Headset};

struct ProductRow {
    const char* name;
    ProductFactory make;
};

// In the order "all" plugs them.
const ProductRow kProducts[] = {
    {"mouse", &Placeholder<kMouse>},       {"mouse-receiver", &Placeholder<kMouseReceiver>},
    {"keyboard", &Placeholder<kKeyboard>}, {"keyboard-receiver", &Placeholder<kKeyboardReceiver>},
    {"mousepad", &Placeholder<kMousePad>}, {"headset", &Placeholder<kHeadset>},
};

}  // namespace

const std::vector<std::string>& ProductNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const auto& row : kProducts)
            n.emplace_back(row.name);
        return n;
    }();
    return names;
}

std::shared_ptr<SimDevice> MakeProduct(const std::string& name) {
    // The firmware models answer the command protocol for every product.
    if (auto model = models::MakeFirmwareModel(name)) return model;
    for (const auto& row : kProducts) {
        if (name == row.name) return row.make();
    }
    return nullptr;
}

}  // namespace sim
