// The catalogue tables and their lookups.
#include <gtest/gtest.h>

#include "hid/Catalog.h"

using namespace hid;

namespace {

struct RowExpect {
    uint16_t vid, pid, mi, col, type, channel, page, usage, hasPartner, partner;
};

// The interface table as it must read, row by row.
const RowExpect kRows[kInterfaceRowCount] = {
    {0x320F, 0x5084, 1, 4, 1, 0, 0xFF1C, 0x92, 1, 2},
    {0x320F, 0x5084, 1, 3, 1, 0xFF, 0x0C, 1, 1, 3},
    {0x320F, 0x50EC, 1, 4, 9, 0, 0xFF1C, 0x92, 1, 0},
    {0x320F, 0x50EC, 1, 3, 9, 0xFF, 0x0C, 1, 1, 1},
    {0x320F, 0x50EF, 1, 4, 2, 0, 0xFF1C, 0x92, 1, 6},
    {0x320F, 0x50EF, 1, 3, 2, 0xFF, 0x0C, 1, 1, 7},
    {0x320F, 0x221D, 1, 4, 6, 0, 0xFF1C, 0x92, 1, 4},
    {0x320F, 0x221D, 1, 3, 6, 0xFF, 0x0C, 1, 1, 5},
    {0x320F, 0x1004, 1, 4, 3, 0, 0xFF1C, 0x92, 0, 0},
    {0x320F, 0x1004, 1, 3, 3, 0xFF, 0x0C, 1, 0, 0},
    {0x0C76, 0x1630, 3, 0, 7, 0, 0x0C, 1, 0, 0},
};

TEST(Catalog, InterfaceTableRowsInOrder) {
    const auto& t = InterfaceTable();
    for (size_t i = 0; i < kInterfaceRowCount; ++i) {
        SCOPED_TRACE(i);
        const auto& e = t[i];
        const auto& x = kRows[i];
        EXPECT_EQ(e.vendorId, x.vid);
        EXPECT_EQ(e.productId, x.pid);
        EXPECT_EQ(e.interfaceNumber, x.mi);
        EXPECT_EQ(e.collectionNumber, x.col);
        EXPECT_EQ(e.typeCode, x.type);
        EXPECT_EQ(e.channel, x.channel);
        EXPECT_EQ(e.claimed, 0);
        EXPECT_EQ(e.usagePage, x.page);
        EXPECT_EQ(e.usage, x.usage);
        EXPECT_EQ(e.hasPartner, x.hasPartner);
        EXPECT_EQ(e.partnerIndex, x.partner);
        EXPECT_TRUE(e.path.empty());
        if (e.hasPartner) {
            EXPECT_EQ(t[e.partnerIndex].partnerIndex, i) << "partners are mutual";
        }
    }
}

TEST(Catalog, DeviceAndUpdateTables) {
    const auto& d = DeviceCatalog();
    const char* names[] = {"mouse", "keyboard", "MousePad", "HD"};
    const int config[] = {1, 0, 2, 3};
    const int pids[] = {0x50EF, 0x5084, 0x1004, 0x1630};
    const int types[] = {2, 1, 3, 7};
    const int lights[] = {15, 170, 15, 13};
    const int keys[] = {11, 170, 0, 0};
    const char* pages[] = {"XML\\DeviceXml\\mousedevice.xml", "XML\\DeviceXml\\keyboarddevice.xml",
                           "XML\\DeviceXml\\mousepaddevice.xml",
                           "XML\\DeviceXml\\ze6533device.xml"};
    for (size_t i = 0; i < kDeviceRowCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(d[i].name, names[i]);
        EXPECT_EQ(d[i].configIndex, config[i]);
        EXPECT_EQ(d[i].vendorId, i == 3 ? 0x0C76 : 0x320F);
        EXPECT_EQ(d[i].productId, pids[i]);
        EXPECT_EQ(d[i].typeCode, types[i]);
        EXPECT_EQ(d[i].channel, 0);
        EXPECT_STREQ(d[i].pageXml, pages[i]);
        EXPECT_EQ(d[i].lightZoneCount, lights[i]);
        EXPECT_EQ(d[i].keyCount, keys[i]);
        EXPECT_EQ(d[i].showPower, i == 0 ? 1 : 0);
        EXPECT_EQ(d[i].reservedValue, -1);
        EXPECT_STREQ(d[i].optionXml, "XML\\CustomControlXML\\DeviceOption.xml");
        EXPECT_STREQ(d[i].optionHeaderName, "tab_header_device");
        EXPECT_STREQ(d[i].powerSwitchName, "device_power_switch");
        EXPECT_STREQ(d[i].lightConfigName, "korva_light");
    }
    const auto& u = UpdateCatalog();
    const int kinds[] = {1, 1, 2, 0};
    const char* models[] = {"QM27R04B", "QM27R03B", "QM27R12B_1", "ALL"};
    const char* products[] = {"MS", "KB", "J62", "BROMMELIVANTOS"};
    const char* typeCodes[] = {"MS", "KB", "J62", "AP"};
    const char* versions[] = {"", "", "", "V1001"};
    for (size_t i = 0; i < kUpdateRowCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(u[i].updateKind, kinds[i]);
        EXPECT_EQ(u[i].updatePermission, 1);
        EXPECT_EQ(u[i].version, 0);
        EXPECT_STREQ(u[i].brand, "KORVA");
        EXPECT_STREQ(u[i].modelCode, models[i]);
        EXPECT_STREQ(u[i].productCode, products[i]);
        EXPECT_STREQ(u[i].typeCode, typeCodes[i]);
        EXPECT_STREQ(u[i].versionText, versions[i]);
    }
}

TEST(Catalog, ParseHidPathIds) {
    struct Case {
        const char* path;
        HidPathIds ids;
    };
    const Case cases[] = {
        {"/dev/hidraw3#vid_320f&pid_5084&mi_01&col04", {0x320F, 0x5084, 1, 4}},
        {"\\\\?\\HID#VID_320F&PID_50EF&MI_01&Col03#8&2b&0&0002#{4d1e55b2}", {0x320F, 0x50EF, 1, 3}},
        {"sim/headset/6#vid_0c76&pid_1630&mi_03", {0x0C76, 0x1630, 3, 0}},  // no &col
        {"/dev/hidraw0#vid_046d&pid_c077", {0x046D, 0xC077, 0, 0}},         // no &mi_, no &col
        {"", {0, 0, 0, 0}},
        {"vid_&pid_zz&mi_&col", {0, 0, 0, 0}},                         // markers without digits
        {"vid_1234567&pid_abcdef", {0x4567, 0xCDEF, 0, 0}},            // low 16 bits only
        {"vid_12g4&pid_00ff&mi_0a&col1f#x", {0x12, 0xFF, 0xA, 0x1F}},  // stops at a non-hex
        {"mi_01&col02", {0, 0, 0, 2}},                                 // "mi_" needs its "&"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ParseHidPathIds(c.path), c.ids);
    }
}

TEST(Catalog, FindInterfaceByPathAndCaps) {
    // Every row is found by its own ids, and by its caps only with its own usage.
    const auto& t = InterfaceTable();
    for (size_t i = 0; i < t.size(); ++i) {
        const HidPathIds ids{t[i].vendorId, t[i].productId, t[i].interfaceNumber,
                             t[i].collectionNumber};
        ASSERT_EQ(FindInterfaceByPath(ids), i);
        const auto m = FindInterfaceByCaps(ids, t[i].usagePage, t[i].usage);
        ASSERT_TRUE(m);
        EXPECT_EQ(m->row, i);
        EXPECT_EQ(m->typeCode, t[i].typeCode);
        EXPECT_EQ(m->channel, t[i].channel);
        EXPECT_FALSE(FindInterfaceByCaps(ids, t[i].usagePage, uint16_t(t[i].usage + 1)));
        EXPECT_FALSE(FindInterfaceByCaps(ids, 0x0001, t[i].usage));
    }
    // Never ours: unknown product, a known product on another interface or
    // collection, a single-collection path of a two-collection product.
    const HidPathIds notOurs[] = {
        {0x320F, 0x9999, 1, 4}, {0x320F, 0x50EF, 0, 4}, {0x320F, 0x50EF, 1, 2},
        {0x320F, 0x50EF, 1, 0}, {0x0C76, 0x1630, 3, 1}, {0x0C76, 0x1630, 1, 0},
        {0x1234, 0x5084, 1, 4},
    };
    for (const auto& ids : notOurs) {
        EXPECT_FALSE(FindInterfaceByPath(ids)) << ids.vendorId << ":" << ids.productId;
    }
    // A path without "&col" matches only the headset row.
    for (const auto& e : t) {
        const auto r = FindInterfaceByPath({e.vendorId, e.productId, e.interfaceNumber, 0});
        EXPECT_EQ(r.has_value(), e.typeCode == kTypeHeadset);
    }
    EXPECT_EQ(FindInterfaceByPath(ParseHidPathIds("/dev/hidraw1#vid_0c76&pid_1630&mi_03")), 10u);
}

TEST(Catalog, FindInterfaceRowAndDeviceKind) {
    EXPECT_EQ(FindInterfaceRow(2, 0, 0x320F, 0x50EF), 4);
    EXPECT_EQ(FindInterfaceRow(6, 0xFF, 0x320F, 0x221D), 7);
    EXPECT_EQ(FindInterfaceRow(7, 0, 0x0C76, 0x1630), 10);
    EXPECT_EQ(FindInterfaceRow(2, 0, 0x320F, 0x221D), -1);  // type of another product
    EXPECT_EQ(FindInterfaceRow(4, 0, 0x320F, 0x50EF), -1);

    EXPECT_EQ(FindDeviceKind(0x320F, 0x50EF, 2, 0), kKindMouse);
    EXPECT_EQ(FindDeviceKind(0x320F, 0x5084, 1, 0), kKindKeyboard);
    EXPECT_EQ(FindDeviceKind(0x320F, 0x1004, 3, 0), kKindMousePad);
    EXPECT_EQ(FindDeviceKind(0x0C76, 0x1630, 7, 0), kKindHeadset);
    // Receiver codes are not in the device catalogue until mapped.
    EXPECT_EQ(FindDeviceKind(0x320F, 0x50EF, 6, 0), kKindNone);
    EXPECT_EQ(FindDeviceKind(0x320F, 0x5084, 9, 0), kKindNone);
    EXPECT_EQ(FindDeviceKind(0x320F, 0x50EF, 2, 0xFF), kKindNone);

    EXPECT_EQ(KindTypeOf(6), 2);
    EXPECT_EQ(KindTypeOf(9), 1);
    for (DeviceTypeCode t : {1, 2, 3, 4, 5, 7, 8})
        EXPECT_EQ(KindTypeOf(t), t);
}

TEST(Catalog, ResolvePrimaryRowAndKind) {
    struct Case {
        size_t row, primary;
        DeviceKind kind;
    };
    const Case cases[] = {
        {0, 0, kKindKeyboard},  {1, 0, kKindKeyboard},  // cable keyboard, events -> command
        {2, 0, kKindKeyboard},  {3, 0, kKindKeyboard},  // receiver -> cable command row
        {4, 4, kKindMouse},     {5, 4, kKindMouse},     //
        {6, 4, kKindMouse},     {7, 4, kKindMouse},     // mouse through its receiver
        {8, 8, kKindMousePad},  {9, 8, kKindMousePad},  //
        {10, 10, kKindHeadset},                         //
        {11, 11, kKindNone},                            // out of range stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(ResolvePrimaryRow(c.row), c.primary);
        EXPECT_EQ(KindOfRow(c.row), c.kind);
    }
}

TEST(Catalog, SameInterfaceIgnoresRunTimeFields) {
    const auto& t = InterfaceTable();
    InterfaceSlot slot = t[6];
    slot.claimed = 1;
    slot.path = "/dev/hidraw7#vid_320f&pid_221d&mi_01&col04";
    slot.hasPartner = 0;
    slot.partnerIndex = 9;
    EXPECT_TRUE(SameInterface(t[6], slot));
    EXPECT_TRUE(SameInterface(slot, t[6]));
    // Any identifying field differing breaks it; every pair of rows differs.
    for (size_t i = 0; i < t.size(); ++i) {
        for (size_t j = 0; j < t.size(); ++j)
            EXPECT_EQ(SameInterface(t[i], t[j]), i == j);
    }
    uint16_t InterfaceSlot::*fields[] = {
        &InterfaceSlot::vendorId,        &InterfaceSlot::productId,
        &InterfaceSlot::interfaceNumber, &InterfaceSlot::collectionNumber,
        &InterfaceSlot::typeCode,        &InterfaceSlot::channel,
        &InterfaceSlot::usagePage,       &InterfaceSlot::usage};
    for (auto f : fields) {
        InterfaceSlot other = t[6];
        other.*f = uint16_t(other.*f + 1);
        EXPECT_FALSE(SameInterface(t[6], other));
    }
}

}  // namespace
