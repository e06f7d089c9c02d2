// The report-descriptor parser and the decoding helpers, against descriptors
// of real devices written out byte by byte, and against malformed ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hid/ReportDescriptor.h"

using namespace hid;

namespace {

using Bytes = std::vector<uint8_t>;

// The boot keyboard: modifiers, reserved byte, LEDs out, six-key array.
const Bytes kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0,
};

// A five-button wheel mouse with report ID 1, 16-bit X/Y and horizontal pan.
const Bytes kMouse = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19,
    0x01, 0x29, 0x05, 0x15, 0x00, 0x25, 0x01, 0x95, 0x05, 0x75, 0x01, 0x81, 0x02, 0x95, 0x03,
    0x75, 0x01, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x16, 0x00, 0x80, 0x26, 0xFF,
    0x7F, 0x75, 0x10, 0x95, 0x02, 0x81, 0x06, 0x09, 0x38, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08,
    0x95, 0x01, 0x81, 0x06, 0x05, 0x0C, 0x0A, 0x38, 0x02, 0x95, 0x01, 0x81, 0x06, 0xC0, 0xC0,
};

// Interface 1 of a gaming keyboard: system control (ID 2), a consumer-control
// key array (ID 3), a 16-bit event value on the consumer page (ID 5) and the
// vendor command collection (ID 4, page 0xFF1C usage 0x92, 64 bytes each way).
const Bytes kCommandInterface = {
    0x05, 0x01, 0x09, 0x80, 0xA1, 0x01, 0x85, 0x02, 0x19, 0x81, 0x29, 0x83, 0x15, 0x00, 0x25,
    0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x95, 0x05, 0x81, 0x01, 0xC0,  //
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x19, 0x00, 0x2A, 0x3C, 0x02, 0x15, 0x00,
    0x26, 0x3C, 0x02, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0,  //
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x05, 0x15, 0x00, 0x27, 0xFF, 0xFF, 0x00, 0x00,
    0x75, 0x10, 0x95, 0x01, 0x09, 0x01, 0x81, 0x02, 0xC0,  //
    0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x09, 0x01, 0x15, 0x00, 0x26, 0xFF,
    0x00, 0x75, 0x08, 0x95, 0x3F, 0x81, 0x02, 0x09, 0x01, 0x95, 0x3F, 0x91, 0x02, 0xC0,
};

ParsedDescriptor Parse(const Bytes& d) {
    ParsedDescriptor p;
    std::string error;
    EXPECT_TRUE(ParseReportDescriptor(d.data(), d.size(), p, &error)) << error;
    return p;
}

TEST(ReportDescriptor, BootKeyboard) {
    const ParsedDescriptor p = Parse(kBootKeyboard);
    ASSERT_EQ(p.collections.size(), 1u);
    EXPECT_FALSE(p.usesReportIds);
    const HidCollectionInfo& c = p.collections[0];
    EXPECT_EQ(c.usagePage, 0x01);
    EXPECT_EQ(c.usage, 0x06);
    EXPECT_EQ(c.reportIds, std::vector<uint8_t>{0});
    EXPECT_EQ(c.ReportBytes(ReportType::Input), 9);  // ID byte + 8
    EXPECT_EQ(c.ReportBytes(ReportType::Output), 2);
    EXPECT_EQ(c.ReportBytes(ReportType::Feature), 0);
    EXPECT_EQ(c.CountCaps(ReportType::Input, true), 2u);
    EXPECT_EQ(c.CountCaps(ReportType::Input, false), 0u);
    EXPECT_EQ(c.CountCaps(ReportType::Output, true), 1u);
    EXPECT_EQ(MaxUsageListLength(c, ReportType::Input, 0x07), 14u);  // 8 modifiers + 6 keys

    ASSERT_EQ(c.caps.size(), 3u);  // modifiers, LEDs, keys in descriptor order
    const HidCapability& keys = c.caps[2];
    EXPECT_TRUE(keys.isArray);
    EXPECT_TRUE(keys.isRange);
    EXPECT_EQ(keys.usageMin, 0x00);
    EXPECT_EQ(keys.usageMax, 0x65);
    EXPECT_EQ(keys.bitOffset, 8u + 16u);
    EXPECT_EQ(keys.reportCount, 6);

    // Left shift + 'a' + 'b'.
    const uint8_t report[9] = {0, 0x02, 0, 0x04, 0x05, 0, 0, 0, 0};
    std::vector<uint16_t> usages;
    EXPECT_EQ(GetUsages(c, ReportType::Input, 0x07, report, sizeof report, usages),
              kHidStatusSuccess);
    EXPECT_EQ(usages, (std::vector<uint16_t>{0xE1, 0x04, 0x05}));
    // A report cut short never reads past its end.
    EXPECT_EQ(GetUsages(c, ReportType::Input, 0x07, report, 4, usages),
              kHidStatusInvalidReportLength);
    EXPECT_TRUE(usages.empty());
}

TEST(ReportDescriptor, MouseValuesAndScaling) {
    const ParsedDescriptor p = Parse(kMouse);
    ASSERT_EQ(p.collections.size(), 1u);  // the physical collection is not top-level
    const HidCollectionInfo& c = p.collections[0];
    EXPECT_TRUE(p.usesReportIds);
    EXPECT_EQ(c.reportIds, std::vector<uint8_t>{1});
    EXPECT_EQ(c.ReportBytes(ReportType::Input), 8);
    EXPECT_EQ(c.CountCaps(ReportType::Input, true), 1u);
    EXPECT_EQ(c.CountCaps(ReportType::Input, false), 4u);  // X, Y, wheel, pan

    // Buttons 1 and 3, X = -5, Y = 300, wheel -1, pan +2.
    const uint8_t report[8] = {1, 0x05, 0xFB, 0xFF, 0x2C, 0x01, 0xFF, 0x02};
    std::vector<uint16_t> buttons;
    EXPECT_EQ(GetUsages(c, ReportType::Input, 0x09, report, 8, buttons), kHidStatusSuccess);
    EXPECT_EQ(buttons, (std::vector<uint16_t>{1, 3}));
    uint32_t raw = 0;
    int32_t scaled = 0;
    EXPECT_EQ(GetUsageValue(c, ReportType::Input, 0x01, 0x30, report, 8, raw), kHidStatusSuccess);
    EXPECT_EQ(raw, 0xFFFBu);  // raw bits, not sign-extended
    EXPECT_EQ(GetScaledUsageValue(c, ReportType::Input, 0x01, 0x30, report, 8, scaled),
              kHidStatusSuccess);
    EXPECT_EQ(scaled, -5);
    EXPECT_EQ(GetScaledUsageValue(c, ReportType::Input, 0x01, 0x31, report, 8, scaled),
              kHidStatusSuccess);
    EXPECT_EQ(scaled, 300);
    EXPECT_EQ(GetScaledUsageValue(c, ReportType::Input, 0x01, 0x38, report, 8, scaled),
              kHidStatusSuccess);
    EXPECT_EQ(scaled, -1);
    EXPECT_EQ(GetScaledUsageValue(c, ReportType::Input, 0x0C, 0x238, report, 8, scaled),
              kHidStatusSuccess);
    EXPECT_EQ(scaled, 2);

    EXPECT_EQ(GetUsageValue(c, ReportType::Input, 0x01, 0x32, report, 8, raw),
              kHidStatusUsageNotFound);
    const uint8_t otherId[8] = {2};
    EXPECT_EQ(GetUsageValue(c, ReportType::Input, 0x01, 0x30, otherId, 8, raw),
              kHidStatusIncompatibleReportId);
    EXPECT_EQ(GetUsageValue(c, ReportType::Input, 0x01, 0x31, report, 5, raw),
              kHidStatusInvalidReportLength);
}

TEST(ReportDescriptor, ConsumerAndVendorCollectionsUnderReportIds) {
    const ParsedDescriptor p = Parse(kCommandInterface);
    ASSERT_EQ(p.collections.size(), 4u);
    struct Expect {
        uint16_t page, usage;
        uint8_t id;
        uint16_t in, out;
    };
    const Expect expect[] = {
        {0x01, 0x80, 2, 2, 0},
        {0x0C, 0x01, 3, 3, 0},
        {0x0C, 0x01, 5, 3, 0},
        {0xFF1C, 0x92, 4, 64, 64},
    };
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const HidCollectionInfo& c = p.collections[i];
        EXPECT_EQ(c.usagePage, expect[i].page);
        EXPECT_EQ(c.usage, expect[i].usage);
        EXPECT_EQ(c.reportIds, std::vector<uint8_t>{expect[i].id});
        EXPECT_EQ(c.ReportBytes(ReportType::Input), expect[i].in);
        EXPECT_EQ(c.ReportBytes(ReportType::Output), expect[i].out);
    }
    // Consumer array: volume up.
    const HidCollectionInfo& consumer = p.collections[1];
    const uint8_t volumeUp[3] = {3, 0xE9, 0x00};
    std::vector<uint16_t> usages;
    EXPECT_EQ(GetUsages(consumer, ReportType::Input, 0x0C, volumeUp, 3, usages), kHidStatusSuccess);
    EXPECT_EQ(usages, std::vector<uint16_t>{0xE9});
    // Event value: 0x1003, in range of 0..0xFFFF (unsigned maximum).
    const HidCollectionInfo& events = p.collections[2];
    const uint8_t event[3] = {5, 0x03, 0x10};
    uint32_t raw = 0;
    int32_t scaled = 0;
    EXPECT_EQ(GetUsageValue(events, ReportType::Input, 0x0C, 0x01, event, 3, raw),
              kHidStatusSuccess);
    EXPECT_EQ(raw, 0x1003u);
    EXPECT_EQ(GetScaledUsageValue(events, ReportType::Input, 0x0C, 0x01, event, 3, scaled),
              kHidStatusSuccess);
    EXPECT_EQ(scaled, 0x1003);
    // The 63 vendor bytes form one value array capability per direction.
    const HidCollectionInfo& vendor = p.collections[3];
    ASSERT_EQ(vendor.caps.size(), 2u);
    EXPECT_EQ(vendor.caps[0].reportCount, 63);
    EXPECT_EQ(vendor.caps[0].bitSize, 8);
    EXPECT_EQ(vendor.caps[1].type, ReportType::Output);
}

TEST(ReportDescriptor, ScaledValueRangesAndNull) {
    // Vendor page, ID 1: a byte with physical 0..1000, a nibble 1..8 with a
    // null state, a nibble 1..8 without, a byte whose logical range is empty.
    const Bytes d = {
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01,                    //
        0x09, 0x10, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x35, 0x00, 0x46, 0xE8, 0x03,  //
        0x75, 0x08, 0x95, 0x01, 0x81, 0x02,                                      //
        0x35, 0x00, 0x45, 0x00,                                                  //
        0x09, 0x11, 0x15, 0x01, 0x25, 0x08, 0x75, 0x04, 0x81, 0x42,              //
        0x09, 0x12, 0x81, 0x02,                                                  //
        0x09, 0x13, 0x15, 0x00, 0x25, 0x00, 0x75, 0x08, 0x81, 0x02, 0xC0,
    };
    const ParsedDescriptor p = Parse(d);
    ASSERT_EQ(p.collections.size(), 1u);
    const HidCollectionInfo& c = p.collections[0];
    EXPECT_EQ(c.ReportBytes(ReportType::Input), 4);
    const uint8_t report[4] = {1, 128, 0x90, 5};  // nibbles: low 0 (null), high 9 (out of range)
    int32_t v = 0;
    EXPECT_EQ(GetScaledUsageValue(c, ReportType::Input, 0xFF00, 0x10, report, 4, v),
              kHidStatusSuccess);
    EXPECT_EQ(v, 501);  // 128 * 1000 / 255
    EXPECT_EQ(GetScaledUsageValue(c, ReportType::Input, 0xFF00, 0x11, report, 4, v),
              kHidStatusNull);
    EXPECT_EQ(GetScaledUsageValue(c, ReportType::Input, 0xFF00, 0x12, report, 4, v),
              kHidStatusValueOutOfRange);
    EXPECT_EQ(GetScaledUsageValue(c, ReportType::Input, 0xFF00, 0x13, report, 4, v),
              kHidStatusBadLogPhyValues);
    uint32_t raw = 0;
    EXPECT_EQ(GetUsageValue(c, ReportType::Input, 0xFF00, 0x12, report, 4, raw), kHidStatusSuccess);
    EXPECT_EQ(raw, 9u);
}

TEST(ReportDescriptor, ReadReportBitsAcrossBytes) {
    const uint8_t r[6] = {0x00, 0xF0, 0xAB, 0xCD, 0xEF, 0x12};
    struct Case {
        uint32_t offset;
        uint16_t bits;
        bool ok;
        uint32_t value;
    };
    const Case cases[] = {
        {8, 4, true, 0x0},         {12, 4, true, 0xF},         {12, 12, true, 0xABF},
        {8, 32, true, 0xEFCDABF0}, {12, 32, true, 0x2EFCDABF}, {16, 32, true, 0x12EFCDAB},
        {17, 32, false, 0},        {47, 1, true, 0},           {48, 1, false, 0},
        {8, 0, false, 0},          {8, 33, false, 0},          {0xFFFFFFFFu, 8, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        uint32_t v = 123;
        EXPECT_EQ(ReadReportBits(r, sizeof r, c.offset, c.bits, v), c.ok);
        if (c.ok) {
            EXPECT_EQ(v, c.value);
        }
    }
}

TEST(ReportDescriptor, MalformedDescriptorsFailCleanly) {
    auto repeat = [](Bytes unit, size_t n, Bytes tail = {}) {
        Bytes out;
        for (size_t i = 0; i < n; ++i)
            out.insert(out.end(), unit.begin(), unit.end());
        out.insert(out.end(), tail.begin(), tail.end());
        return out;
    };
    struct Case {
        const char* what;
        Bytes d;
    };
    const Case cases[] = {
        {"empty", {}},
        {"truncated item data", {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x26, 0xFF}},
        {"truncated long item", {0xFE, 0x10, 0x00, 0x01}},
        {"End Collection first", {0xC0}},
        {"collection never closed", {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01}},
        {"no collection at all", {0x05, 0x01, 0x09, 0x06}},
        {"field outside a collection", {0x75, 0x08, 0x95, 0x01, 0x81, 0x02}},
        {"report ID 0", {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x00, 0xC0}},
        {"Pop without Push", {0xB4}},
        {"Push too deep", repeat({0xA4}, 17)},
        {"data field of 33 bits",
         {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x75, 0x21, 0x95, 0x01, 0x81, 0x02, 0xC0}},
        {"report longer than 4096 bytes",
         {0xA1, 0x01, 0x75, 0x08, 0x96, 0x00, 0x10, 0x81, 0x01, 0xC0}},
        {"huge count wraps no counter",
         {0xA1, 0x01, 0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02,
          0xC0}},
        {"too many collections", repeat({0xA1, 0x01, 0xC0}, 65)},
        {"nested too deep", repeat({0xA1, 0x01}, 33, repeat({0xC0}, 33))},
        {"fields with and without report ID",
         {0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0x85, 0x01, 0x81, 0x02, 0xC0}},
        {"Usage Maximum alone", {0x05, 0x01, 0x29, 0x05, 0xA1, 0x01, 0xC0}},
        {"Usage Maximum below Minimum", {0x05, 0x01, 0x19, 0x05, 0x29, 0x01, 0xA1, 0x01, 0xC0}},
        {"too long", Bytes(kMaxDescriptorBytes + 1, 0x00)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ParsedDescriptor p;
        p.collections.resize(3);
        std::string error;
        EXPECT_FALSE(ParseReportDescriptor(c.d.data(), c.d.size(), p, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(p.collections.empty()) << "a failed parse leaves nothing behind";
    }
    // Two fields that fit alone but not together.
    Bytes grows = {0xA1, 0x01};
    for (int i = 0; i < 2; ++i)
        grows.insert(grows.end(), {0x75, 0x08, 0x96, 0x00, 0x08, 0x81, 0x01});
    grows.push_back(0xC0);
    ParsedDescriptor p;
    std::string error;
    EXPECT_FALSE(ParseReportDescriptor(grows.data(), grows.size(), p, &error));
    EXPECT_NE(error.find("longer"), std::string::npos) << error;
}

TEST(ReportDescriptor, LimitsStillAcceptRealSizes) {
    // A 4095-byte report (plus its ID byte) and 64 collections are accepted.
    const Bytes big = {0xA1, 0x01, 0x75, 0x08, 0x96, 0xFF, 0x0F, 0x81, 0x01, 0xC0};
    EXPECT_EQ(Parse(big).collections.at(0).ReportBytes(ReportType::Input), 4096);
    Bytes many;
    for (int i = 0; i < 64; ++i)
        many.insert(many.end(), {0xA1, 0x01, 0xC0});
    EXPECT_EQ(Parse(many).collections.size(), 64u);
}

}  // namespace
