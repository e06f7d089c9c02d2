// The slot list: claiming, partners, and which interfaces are candidates.
#include <gtest/gtest.h>

#include "hid/scan/InterfaceSlots.h"

using hid::HidPathIds;
using hid::scan::CInterfaceSlots;

namespace {

constexpr uint16_t kVendorPage = 0xFF1C, kVendorUsage = 0x92;
constexpr uint16_t kConsumerPage = 0x0C, kConsumerUsage = 0x01;

HidPathIds Ids(uint16_t pid, uint16_t collection, uint16_t vid = 0x320F, uint16_t mi = 1) {
    return HidPathIds{vid, pid, mi, collection};
}

}  // namespace

TEST(ScanSlots, CopiesTheInterfaceTableFree) {
    CInterfaceSlots slots;
    ASSERT_EQ(slots.Count(), hid::kInterfaceRowCount);
    for (size_t i = 0; i < slots.Count(); ++i) {
        EXPECT_TRUE(hid::SameInterface(slots.Slot(i), hid::InterfaceTable()[i]));
        EXPECT_EQ(slots.Slot(i).claimed, 0);
        EXPECT_TRUE(slots.Slot(i).path.empty());
    }
    EXPECT_TRUE(slots.HasFreeSlot());
    EXPECT_FALSE(slots.IsValid(hid::kInterfaceRowCount));
}

TEST(ScanSlots, SecondIdenticalInterfaceFindsNoFreeSlot) {
    CInterfaceSlots slots;
    const HidPathIds kb = Ids(0x5084, 4);
    ASSERT_TRUE(slots.IsFreeCandidate(kb));
    const auto first = slots.ClaimSlot(kb, kVendorPage, kVendorUsage, "a#kb1");
    ASSERT_EQ(first, 0u);
    EXPECT_EQ(slots.Slot(0).path, "a#kb1");
    EXPECT_FALSE(slots.IsFreeCandidate(kb));
    EXPECT_FALSE(slots.ClaimSlot(kb, kVendorPage, kVendorUsage, "a#kb2"));
    // Released, the slot takes the next one.
    EXPECT_TRUE(slots.Release(0));
    EXPECT_FALSE(slots.Release(0));
    EXPECT_EQ(slots.ClaimSlot(kb, kVendorPage, kVendorUsage, "a#kb2"), 0u);
}

TEST(ScanSlots, CandidatesNeedATableRowAndAMatchingUsage) {
    CInterfaceSlots slots;
    // A supported product on a collection the table does not name.
    EXPECT_FALSE(slots.IsFreeCandidate(Ids(0x5084, 2)));
    EXPECT_FALSE(slots.IsFreeCandidate(Ids(0x9999, 4)));
    // Right ids, wrong usage: nothing is claimed.
    EXPECT_FALSE(slots.ClaimSlot(Ids(0x5084, 4), kConsumerPage, kConsumerUsage, "x"));
    EXPECT_EQ(slots.Claimed().size(), 0u);
    // The headset has no collection part.
    EXPECT_EQ(slots.ClaimSlot(Ids(0x1630, 0, 0x0C76, 3), kConsumerPage, kConsumerUsage, "hs"), 10u);
}

TEST(ScanSlots, PartnerActiveOnlyWhenThePartnerIsClaimed) {
    CInterfaceSlots slots;
    EXPECT_FALSE(slots.PartnerActive(4));
    ASSERT_EQ(slots.ClaimSlot(Ids(0x221D, 4), kVendorPage, kVendorUsage, "rx"), 6u);
    EXPECT_TRUE(slots.PartnerActive(4));   // the cable's partner is the receiver
    EXPECT_FALSE(slots.PartnerActive(6));  // the receiver's partner (cable) is free
    ASSERT_EQ(slots.ClaimSlot(Ids(0x50EF, 4), kVendorPage, kVendorUsage, "cable"), 4u);
    EXPECT_TRUE(slots.PartnerActive(6));
    // The mouse pad has no partner.
    ASSERT_EQ(slots.ClaimSlot(Ids(0x1004, 4), kVendorPage, kVendorUsage, "pad"), 8u);
    EXPECT_FALSE(slots.PartnerActive(8));
    EXPECT_FALSE(slots.PartnerActive(99));
}

TEST(ScanSlots, NoFreeSlotOnceEveryRowIsClaimed) {
    CInterfaceSlots slots;
    for (size_t i = 0; i < slots.Count(); ++i) {
        const auto& row = hid::InterfaceTable()[i];
        const HidPathIds ids{row.vendorId, row.productId, row.interfaceNumber,
                             row.collectionNumber};
        ASSERT_EQ(slots.ClaimSlot(ids, row.usagePage, row.usage, "p" + std::to_string(i)), i);
    }
    EXPECT_FALSE(slots.HasFreeSlot());
    EXPECT_EQ(slots.Claimed().size(), slots.Count());
}
