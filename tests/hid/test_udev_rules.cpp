// The shipped udev rules cover every product of the interface table, on
// hidraw and on usb.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "hid/Catalog.h"

namespace {

std::string ReadRules() {
    const char* root = std::getenv("BROMMELIVANTOS_SOURCE_DIR");
    std::ifstream in(std::string(root ? root : ".") + "/tools/udev/70-brommelivantos.rules");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// True when some rule line for `subsystem` names both ids and tags uaccess.
bool Covered(const std::string& rules, const std::string& subsystem, uint16_t vid, uint16_t pid) {
    char vendor[16], product[8];
    std::snprintf(vendor, sizeof vendor, "==\"%04x\"", vid);
    std::snprintf(product, sizeof product, "%04x", pid);
    std::istringstream lines(rules);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line.find("SUBSYSTEM==\"" + subsystem + "\"") == std::string::npos) continue;
        const size_t productAt = line.find("{idProduct}==\"");
        if (line.find(vendor) == std::string::npos || productAt == std::string::npos) continue;
        const size_t end = line.find('"', productAt + 14);
        const std::string alternatives =
            "|" + line.substr(productAt + 14, end - productAt - 14) + "|";
        if (alternatives.find("|" + std::string(product) + "|") != std::string::npos &&
            line.find("TAG+=\"uaccess\"") != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(UdevRules, CoverEveryCatalogueProduct) {
    const std::string rules = ReadRules();
    ASSERT_FALSE(rules.empty());
    for (const auto& e : hid::InterfaceTable()) {
        EXPECT_TRUE(Covered(rules, "hidraw", e.vendorId, e.productId)) << e.productId;
        EXPECT_TRUE(Covered(rules, "usb", e.vendorId, e.productId)) << e.productId;
    }
}

}  // namespace
