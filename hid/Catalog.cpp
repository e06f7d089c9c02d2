#include "hid/Catalog.h"

#include <cctype>

namespace hid {

namespace {

constexpr uint16_t kVendor = 0x320F;
constexpr uint16_t kHeadsetVendor = 0x0C76;
constexpr uint16_t kVendorPage = 0xFF1C;
constexpr uint16_t kVendorUsage = 0x92;
constexpr uint16_t kConsumerPage = 0x000C;
constexpr uint16_t kConsumerUsage = 0x01;

HidInterfaceEntry Row(uint16_t productId, uint16_t collection, DeviceTypeCode type,
                      uint16_t channel, uint16_t hasPartner, uint16_t partner) {
    HidInterfaceEntry e;
    e.vendorId = kVendor;
    e.productId = productId;
    e.interfaceNumber = 1;
    e.collectionNumber = collection;
    e.typeCode = type;
    e.channel = channel;
    e.usagePage = channel == kChannelCommand ? kVendorPage : kConsumerPage;
    e.usage = channel == kChannelCommand ? kVendorUsage : kConsumerUsage;
    e.hasPartner = hasPartner;
    e.partnerIndex = partner;
    return e;
}

HidInterfaceEntry HeadsetRow() {
    HidInterfaceEntry e;
    e.vendorId = kHeadsetVendor;
    e.productId = 0x1630;
    e.interfaceNumber = 3;
    e.collectionNumber = 0;
    e.typeCode = kTypeHeadset;
    e.channel = kChannelCommand;
    e.usagePage = kConsumerPage;
    e.usage = kConsumerUsage;
    return e;
}

bool IsReceiverType(DeviceTypeCode t) {
    return t == kTypeMouseReceiver || t == kTypeKeyboardReceiver;
}

bool SameIds(const HidInterfaceEntry& e, const HidPathIds& ids) {
    return e.vendorId == ids.vendorId && e.productId == ids.productId &&
           e.collectionNumber == ids.collectionNumber && e.interfaceNumber == ids.interfaceNumber;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

size_t FindNoCase(std::string_view hay, std::string_view needle) {
    if (needle.size() > hay.size()) return std::string_view::npos;
    for (size_t i = 0; i + needle.size() <= hay.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && std::tolower(static_cast<unsigned char>(hay[i + k])) ==
                                        std::tolower(static_cast<unsigned char>(needle[k]))) {
            ++k;
        }
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

const char* const kOptionXml = "XML\\CustomControlXML\\DeviceOption.xml";
const char* const kOptionHeader = "tab_header_device";
const char* const kPowerSwitch = "device_power_switch";
const char* const kLightConfig = "korva_light";

}  // namespace

const std::array<HidInterfaceEntry, kInterfaceRowCount>& InterfaceTable() {
    static const std::array<HidInterfaceEntry, kInterfaceRowCount> table = {
        Row(0x5084, 4, kTypeKeyboard, kChannelCommand, 1, 2),
        Row(0x5084, 3, kTypeKeyboard, kChannelEvent, 1, 3),
        Row(0x50EC, 4, kTypeKeyboardReceiver, kChannelCommand, 1, 0),
        Row(0x50EC, 3, kTypeKeyboardReceiver, kChannelEvent, 1, 1),
        Row(0x50EF, 4, kTypeMouse, kChannelCommand, 1, 6),
        Row(0x50EF, 3, kTypeMouse, kChannelEvent, 1, 7),
        Row(0x221D, 4, kTypeMouseReceiver, kChannelCommand, 1, 4),
        Row(0x221D, 3, kTypeMouseReceiver, kChannelEvent, 1, 5),
        Row(0x1004, 4, kTypeMousePad, kChannelCommand, 0, 0),
        Row(0x1004, 3, kTypeMousePad, kChannelEvent, 0, 0),
        HeadsetRow(),
    };
    return table;
}

const std::array<DeviceCatalogEntry, kDeviceRowCount>& DeviceCatalog() {
    static const std::array<DeviceCatalogEntry, kDeviceRowCount> table = {{
        {kOptionXml, kOptionHeader, kPowerSwitch, "mouse", 1, 0x320F, 0x50EF, 2, 0,
         "XML\\DeviceXml\\mousedevice.xml", 15, 11, 1, -1, kLightConfig},
        {kOptionXml, kOptionHeader, kPowerSwitch, "keyboard", 0, 0x320F, 0x5084, 1, 0,
         "XML\\DeviceXml\\keyboarddevice.xml", 170, 170, 0, -1, kLightConfig},
        {kOptionXml, kOptionHeader, kPowerSwitch, "MousePad", 2, 0x320F, 0x1004, 3, 0,
         "XML\\DeviceXml\\mousepaddevice.xml", 15, 0, 0, -1, kLightConfig},
        {kOptionXml, kOptionHeader, kPowerSwitch, "HD", 3, 0x0C76, 0x1630, 7, 0,
         "XML\\DeviceXml\\ze6533device.xml", 13, 0, 0, -1, kLightConfig},
    }};
    return table;
}

const std::array<UpdateCatalogEntry, kUpdateRowCount>& UpdateCatalog() {
    static const std::array<UpdateCatalogEntry, kUpdateRowCount> table = {{
        {1, 1, 0, "KORVA", "QM27R04B", "MS", "MS", ""},
        {1, 1, 0, "KORVA", "QM27R03B", "KB", "KB", ""},
        {2, 1, 0, "KORVA", "QM27R12B_1", "J62", "J62", ""},
        {0, 1, 0, "KORVA", "ALL", "BROMMELIVANTOS", "AP", "V1001"},
    }};
    return table;
}

uint16_t ParseHexAfterMarker(std::string_view path, std::string_view marker) {
    const size_t at = FindNoCase(path, marker);
    if (at == std::string_view::npos) return 0;
    uint32_t value = 0;  // only the low 16 bits are kept
    for (size_t i = at + marker.size(); i < path.size(); ++i) {
        const int d = HexDigit(path[i]);
        if (d < 0) break;
        value = ((value << 4) | uint32_t(d)) & 0xFFFFu;
    }
    return static_cast<uint16_t>(value);
}

HidPathIds ParseHidPathIds(std::string_view path) {
    HidPathIds ids;
    ids.vendorId = ParseHexAfterMarker(path, "vid_");
    ids.productId = ParseHexAfterMarker(path, "pid_");
    ids.interfaceNumber = ParseHexAfterMarker(path, "&mi_");
    ids.collectionNumber = ParseHexAfterMarker(path, "&col");
    return ids;
}

std::optional<size_t> FindInterfaceByPath(const HidPathIds& ids) {
    const auto& table = InterfaceTable();
    for (size_t i = 0; i < table.size(); ++i) {
        if (SameIds(table[i], ids)) return i;
    }
    return std::nullopt;
}

std::optional<InterfaceMatch> FindInterfaceByCaps(const HidPathIds& ids, uint16_t usagePage,
                                                  uint16_t usage) {
    const auto& table = InterfaceTable();
    for (size_t i = 0; i < table.size(); ++i) {
        const auto& e = table[i];
        if (SameIds(e, ids) && e.usagePage == usagePage && e.usage == usage) {
            return InterfaceMatch{i, e.typeCode, e.channel};
        }
    }
    return std::nullopt;
}

int FindInterfaceRow(DeviceTypeCode typeCode, uint16_t channel, uint16_t vendorId,
                     uint16_t productId) {
    const auto& table = InterfaceTable();
    for (size_t i = 0; i < table.size(); ++i) {
        const auto& e = table[i];
        if (e.typeCode == typeCode && e.channel == channel && e.vendorId == vendorId &&
            e.productId == productId) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

DeviceKind FindDeviceKind(int vendorId, int productId, int typeCode, int channel) {
    const auto& table = DeviceCatalog();
    for (size_t i = 0; i < table.size(); ++i) {
        const auto& e = table[i];
        if (e.vendorId == vendorId && e.productId == productId && e.typeCode == typeCode &&
            e.channel == channel) {
            return static_cast<DeviceKind>(i);
        }
    }
    return kKindNone;
}

bool SameInterface(const HidInterfaceEntry& a, const HidInterfaceEntry& b) {
    return a.vendorId == b.vendorId && a.productId == b.productId &&
           a.interfaceNumber == b.interfaceNumber && a.collectionNumber == b.collectionNumber &&
           a.typeCode == b.typeCode && a.channel == b.channel && a.usagePage == b.usagePage &&
           a.usage == b.usage;
}

namespace {

// A receiver's command row resolves to its cable partner when the partner
// points back; every other command row to itself.
size_t ResolveCommandRow(size_t row) {
    const auto& table = InterfaceTable();
    const auto& e = table[row];
    if (IsReceiverType(e.typeCode) && e.hasPartner == 1 && e.partnerIndex < table.size() &&
        table[e.partnerIndex].partnerIndex == row) {
        return e.partnerIndex;
    }
    return row;
}

}  // namespace

size_t ResolvePrimaryRow(size_t row) {
    const auto& table = InterfaceTable();
    if (row >= table.size()) return row;
    const auto& e = table[row];
    if (e.channel == kChannelCommand) return ResolveCommandRow(row);
    if (e.channel == kChannelEvent) {
        const int command = FindInterfaceRow(e.typeCode, kChannelCommand, e.vendorId, e.productId);
        if (command < 0) return row;
        return ResolveCommandRow(static_cast<size_t>(command));
    }
    return row;
}

DeviceTypeCode KindTypeOf(DeviceTypeCode typeCode) {
    if (typeCode == kTypeMouseReceiver) return kTypeMouse;
    if (typeCode == kTypeKeyboardReceiver) return kTypeKeyboard;
    return typeCode;
}

DeviceKind KindOfRow(size_t row) {
    const auto& table = InterfaceTable();
    if (row >= table.size()) return kKindNone;
    const auto& primary = table[ResolvePrimaryRow(row)];
    return FindDeviceKind(primary.vendorId, primary.productId, KindTypeOf(primary.typeCode),
                          primary.channel);
}

}  // namespace hid
