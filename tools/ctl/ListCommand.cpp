// brommelivantos-ctl list: one line per present HID interface that the
// interface table names, identified the way the device scan identifies it.
#include <cerrno>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>

#include "hid/Catalog.h"
#include "hid/HidDevice.h"
#include "tools/ctl/CtlCommand.h"
#include "tools/ctl/CtlSupport.h"

namespace {

constexpr const char* kUdevHint =
    "no permission to open it; install the udev rules (70-brommelivantos.rules, see docs/hid.md), "
    "then run: sudo udevadm control --reload && sudo udevadm trigger";

struct ListedInterface {
    size_t row = 0;
    hid::DeviceTypeCode typeCode = 0;
    uint16_t channel = 0;
    hid::HidPathIds ids;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

std::string FormatJson(const ListedInterface& i, const std::string& path, bool accessDenied) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "{\"row\": %zu, \"typeCode\": %u, \"channel\": %u, \"vendorId\": \"%04x\", "
                  "\"productId\": \"%04x\", \"interface\": %u, \"collection\": %u, "
                  "\"usagePage\": \"0x%04x\", \"usage\": \"0x%04x\", \"accessDenied\": %s, "
                  "\"path\": ",
                  i.row, unsigned(i.typeCode), unsigned(i.channel), i.ids.vendorId, i.ids.productId,
                  unsigned(i.ids.interfaceNumber), unsigned(i.ids.collectionNumber),
                  unsigned(i.usagePage), unsigned(i.usage), accessDenied ? "true" : "false");
    return text + ctl::JsonString(path) + "}";
}

std::string FormatLine(const ListedInterface& i, const std::string& path) {
    char text[128];
    std::snprintf(text, sizeof text, "%zu\t%u\t%u\t%04x:%04x\t%u\t%u\t0x%04x\t0x%04x\t", i.row,
                  unsigned(i.typeCode), unsigned(i.channel), i.ids.vendorId, i.ids.productId,
                  unsigned(i.ids.interfaceNumber), unsigned(i.ids.collectionNumber),
                  unsigned(i.usagePage), unsigned(i.usage));
    return text + path;
}

// Open read-only, take the ids from the attributes and the usage from the
// capabilities, and match the table again.
std::optional<ListedInterface> Identify(hid::CHidDevice& dev, const std::string& path,
                                        hid::HidPathIds ids) {
    if (!dev.Open(path, true, false, true, false)) return std::nullopt;
    ids.vendorId = dev.Attributes().vendorId;
    ids.productId = dev.Attributes().productId;
    const uint16_t usagePage = dev.Caps().usagePage;
    const uint16_t usage = dev.Caps().usage;
    dev.Close();
    const auto match = hid::FindInterfaceByCaps(ids, usagePage, usage);
    if (!match) return std::nullopt;
    return ListedInterface{match->row, match->typeCode, match->channel, ids, usagePage, usage};
}

// A known interface the user may not open: listed from its table row.
ListedInterface FromRow(size_t row, const hid::HidPathIds& ids) {
    const hid::HidInterfaceEntry& e = hid::InterfaceTable()[row];
    return ListedInterface{row, e.typeCode, e.channel, ids, e.usagePage, e.usage};
}

int RunList(ctl::CtlContext& ctx) {
    if (!ctx.args.empty()) {
        *ctx.err << "brommelivantos-ctl: list takes no arguments\n";
        return 2;
    }
    hid::CHidDevice dev;
    if (!dev.EnumerateInterfaces()) {
        *ctx.err << "brommelivantos-ctl: cannot list the HID interfaces\n";
        return 1;
    }
    size_t listed = 0;
    auto print = [&](const ListedInterface& i, const std::string& path, bool denied) {
        if (ctx.json) {
            *ctx.out << (listed == 0 ? "[\n  " : ",\n  ") << FormatJson(i, path, denied);
        } else {
            *ctx.out << FormatLine(i, path) << "\n";
        }
        ++listed;
    };
    while (const std::string* path = dev.NextPath()) {
        const hid::HidPathIds ids = hid::ParseHidPathIds(*path);
        const auto row = hid::FindInterfaceByPath(ids);
        if (!row) continue;  // not one of ours: never opened
        if (const auto found = Identify(dev, *path, ids)) {
            print(*found, *path, false);
        } else if (dev.LastOpenError() == EACCES) {
            print(FromRow(*row, ids), *path, true);
            *ctx.err << "brommelivantos-ctl: " << *path << ": " << kUdevHint << "\n";
        }
    }
    if (ctx.json) *ctx.out << (listed == 0 ? "[]\n" : "\n]\n");
    return 0;
}

BROM_CTL_COMMAND(
    "list", "list",
    "Lists the supported HID interfaces that are present, one per line, tab-separated:\n"
    "table row, type code, channel, vendor:product, interface, collection,\n"
    "usage page, usage, path. Prints nothing when none is present. With --json:\n"
    "one JSON array of objects with the same fields.",
    &RunList);

}  // namespace
