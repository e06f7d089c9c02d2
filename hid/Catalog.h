#pragma once
// The device catalogue: which HID interfaces belong to a supported device,
// what kind of device each is, how its page is built and under which codes
// its firmware updates are asked for. Three constant tables and pure lookups.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hid {

// What is connected, and through which path.
using DeviceTypeCode = uint16_t;
constexpr DeviceTypeCode kTypeKeyboard = 1;
constexpr DeviceTypeCode kTypeMouse = 2;
constexpr DeviceTypeCode kTypeMousePad = 3;
constexpr DeviceTypeCode kTypeMouseReceiver = 6;
constexpr DeviceTypeCode kTypeHeadset = 7;
constexpr DeviceTypeCode kTypeKeyboardReceiver = 9;

constexpr uint16_t kChannelCommand = 0;
constexpr uint16_t kChannelEvent = 0xFF;

// Index of a device-catalogue row; -1 when nothing matched.
using DeviceKind = int;
constexpr DeviceKind kKindNone = -1;
constexpr DeviceKind kKindMouse = 0;
constexpr DeviceKind kKindKeyboard = 1;
constexpr DeviceKind kKindMousePad = 2;
constexpr DeviceKind kKindHeadset = 3;

struct HidInterfaceEntry {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;  // 0: the path has no "&col" part
    uint16_t typeCode = 0;
    uint16_t channel = 0;  // kChannelCommand or kChannelEvent
    uint16_t claimed = 0;  // 1 in a run-time slot that a present interface occupies
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t hasPartner = 0;    // also reachable through a second product id
    uint16_t partnerIndex = 0;  // row of the partner interface of the same channel
    std::string path;           // empty in the constant table
};

// A run-time copy of one interface row (claimed and path change).
using InterfaceSlot = HidInterfaceEntry;

struct DeviceCatalogEntry {
    const char* optionXml;
    const char* optionHeaderName;
    const char* powerSwitchName;
    const char* name;
    int configIndex;
    int vendorId;
    int productId;
    int typeCode;
    int channel;
    const char* pageXml;
    int lightZoneCount;
    int keyCount;
    int showPower;
    int reservedValue;
    const char* lightConfigName;
};

struct UpdateCatalogEntry {
    int updateKind;  // non-zero: device firmware; 0: the application
    int updatePermission;
    int version;
    const char* brand;
    const char* modelCode;
    const char* productCode;
    const char* typeCode;
    const char* versionText;
};

constexpr size_t kInterfaceRowCount = 11;
constexpr size_t kDeviceRowCount = 4;
constexpr size_t kUpdateRowCount = 4;

// The constant tables, in table order.
const std::array<HidInterfaceEntry, kInterfaceRowCount>& InterfaceTable();
const std::array<DeviceCatalogEntry, kDeviceRowCount>& DeviceCatalog();
const std::array<UpdateCatalogEntry, kUpdateRowCount>& UpdateCatalog();

// The ids written in a HID device path.
struct HidPathIds {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;
    bool operator==(const HidPathIds&) const = default;
};

// Reads the hex number after each marker ("vid_", "pid_", "&mi_", "&col",
// found without regard to case); an absent marker gives 0.
HidPathIds ParseHidPathIds(std::string_view path);
// The hex number after one marker, low 16 bits; 0 when the marker is absent.
uint16_t ParseHexAfterMarker(std::string_view path, std::string_view marker);

// First interface row with the same vendor, product, collection and interface.
std::optional<size_t> FindInterfaceByPath(const HidPathIds& ids);

struct InterfaceMatch {
    size_t row = 0;
    DeviceTypeCode typeCode = 0;
    uint16_t channel = 0;
};
// As FindInterfaceByPath, and usage page and usage must match too.
std::optional<InterfaceMatch> FindInterfaceByCaps(const HidPathIds& ids, uint16_t usagePage,
                                                  uint16_t usage);

// First interface row with these four values, or -1.
int FindInterfaceRow(DeviceTypeCode typeCode, uint16_t channel, uint16_t vendorId,
                     uint16_t productId);
// First device-catalogue row with these four values, or kKindNone.
DeviceKind FindDeviceKind(int vendorId, int productId, int typeCode, int channel);

// Same interface: every identifying field equal (claimed, partner fields and
// path are not compared).
bool SameInterface(const HidInterfaceEntry& a, const HidInterfaceEntry& b);

// The row that identifies the device behind an interface row: a receiver's
// rows resolve to the cable product's command row, an event row to its
// command row. Out-of-range rows are returned unchanged.
size_t ResolvePrimaryRow(size_t row);

// Receiver type codes map to the cable kind's code (6 -> 2, 9 -> 1).
DeviceTypeCode KindTypeOf(DeviceTypeCode typeCode);

// The device kind whose page serves an interface row (receiver rows use
// their cable partner's ids).
DeviceKind KindOfRow(size_t row);

}  // namespace hid
