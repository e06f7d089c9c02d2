// The firmware models against byte sequences written out by hand from the
// protocol description. The models are driven directly (no bus, no host
// code): a test writes a report and takes the answer the model queued.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sim/SimBus.h"
#include "sim/models/Models.h"

using namespace sim::models;
using Bytes = std::vector<uint8_t>;

namespace {

// A 64-byte command: report ID 4, checksum over bytes 3..63 (low byte first).
Bytes Command(uint8_t code, uint8_t len = 0, uint16_t offset = 0, const Bytes& data = {}) {
    Bytes r(64, 0);
    r[0] = 0x04;
    r[3] = code;
    r[4] = len;
    r[5] = static_cast<uint8_t>(offset);
    r[6] = static_cast<uint8_t>(offset >> 8);
    for (size_t i = 0; i < data.size() && 8 + i < 64; ++i)
        r[8 + i] = data[i];
    unsigned sum = 0;
    for (size_t i = 3; i < 64; ++i)
        sum += r[i];
    r[1] = static_cast<uint8_t>(sum);
    r[2] = static_cast<uint8_t>(sum >> 8);
    return r;
}

struct Rig {
    explicit Rig(const char* name) : model(MakeFirmwareModel(name)) {}
    sim::SimCollection Cmd() const { return {0, model->CommandCollectionNumber(), 0, 0}; }
    void Write(const Bytes& r) { model->OnHostWrite(Cmd(), r.data(), r.size()); }
    // The next answer on the command collection, or empty when none is queued.
    Bytes Take(uint16_t collection) {
        std::vector<uint8_t> out;
        if (!model->TakeInput(collection, out, 0, nullptr)) return {};
        return out;
    }
    Bytes Ask(const Bytes& r) {
        Write(r);
        return Take(model->CommandCollectionNumber());
    }
    std::shared_ptr<FirmwareModel> model;
};

bool ChecksumOk(const Bytes& a) {
    unsigned sum = 0;
    for (size_t i = 3; i < 64; ++i)
        sum += a[i];
    return a[1] == (sum & 0xFF) && a[2] == ((sum >> 8) & 0xFF);
}

}  // namespace

TEST(FirmwareModel, MouseReadInfoAnswersTheHandWrittenFrame) {
    Rig rig("mouse");
    // 04 25 00 03 22 00 00 00 ...: ReadInfo, 34 bytes at offset 0.
    Bytes cmd(64, 0);
    cmd[0] = 0x04, cmd[1] = 0x25, cmd[2] = 0x00, cmd[3] = 0x03, cmd[4] = 0x22;
    const Bytes a = rig.Ask(cmd);
    ASSERT_EQ(a.size(), 64u);
    EXPECT_EQ(a[0], 0x04);
    EXPECT_EQ(a[3], 0x03);  // echoed code
    EXPECT_EQ(a[4], 0x22);
    EXPECT_EQ(a[7], 0x00);  // status
    EXPECT_TRUE(ChecksumOk(a));
    EXPECT_EQ(a[8 + 5], 12);    // keys
    EXPECT_EQ(a[8 + 6], 16);    // 16 × 128 bytes of macro memory
    EXPECT_EQ(a[8 + 9], 0x25);  // 13093 = 0x3325
    EXPECT_EQ(a[8 + 10], 0x33);
    EXPECT_EQ(a[8 + 11], 100);  // DPI step
    EXPECT_EQ(a[8 + 12], 153);  // slider maximum
    EXPECT_EQ(a[8 + 13], 0);
    EXPECT_EQ(a[8 + 14], 200);  // minimum DPI
    EXPECT_EQ(a[8 + 15], 0);
    EXPECT_EQ(a[8 + 34], 0);  // nothing beyond the 34 bytes
}

TEST(FirmwareModel, ReceiverChunksOfInfoComeFromTheirOffsets) {
    Rig rig("mouse-receiver");
    const Bytes first = rig.Ask(Command(0x03, 24, 0));
    const Bytes second = rig.Ask(Command(0x03, 10, 24));
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(first[8 + 5], 12);
    EXPECT_EQ(second[5], 24);      // offset echoed
    EXPECT_EQ(second[8 + 9], 0);   // info byte 33
    EXPECT_EQ(second[8 + 10], 0);  // nothing past the chunk
    // A chunk reaching past the 34 bytes is refused.
    EXPECT_EQ(rig.Ask(Command(0x03, 11, 24))[7], 0xFF);
}

TEST(FirmwareModel, FramingFaultsOfTheHost) {
    Rig rig("keyboard");
    Bytes bad = Command(0x01);
    bad[1] ^= 1;
    const Bytes a = rig.Ask(bad);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a[3], 0x01);
    EXPECT_EQ(a[7], 0xFF);  // bad checksum: refused

    Bytes otherId = Command(0x01);
    otherId[0] = 0x05;
    EXPECT_TRUE(rig.Ask(otherId).empty());          // not a command report: no answer
    EXPECT_TRUE(rig.Ask(Bytes(10, 0x04)).empty());  // truncated: no answer

    EXPECT_EQ(rig.Ask(Command(0x05, 57, 0))[7], 0xFF);               // more than 56 data bytes
    EXPECT_EQ(rig.Ask(Command(0x17, 4, 0, {1, 2, 3, 4}))[7], 0xFE);  // no fire keys here
    EXPECT_EQ(rig.Ask(Command(0x42))[7], 0xFE);                      // unknown command
}

TEST(FirmwareModel, SettingsMemoryWritesReadBackAndHoldTheProfileInByteZero) {
    Rig rig("mouse");
    EXPECT_EQ(rig.Ask(Command(0x05, 1, 0))[8], 0);  // current profile 0
    // Mouse page 1 lives at 128; byte 12 is the active DPI stage.
    EXPECT_EQ(rig.Ask(Command(0x05, 1, 128 + 12))[8], 1);
    const Bytes w = rig.Ask(Command(0x06, 3, 0x0101, {0xDE, 0xAD, 0x42}));
    EXPECT_EQ(w[3], 0x06);
    EXPECT_EQ(w[7], 0x00);
    const Bytes r = rig.Ask(Command(0x05, 3, 0x0101));
    EXPECT_EQ(Bytes(r.begin() + 8, r.begin() + 11), (Bytes{0xDE, 0xAD, 0x42}));
    EXPECT_EQ(rig.model->Settings()[0x0102], 0xAD);
    EXPECT_EQ(rig.Ask(Command(0x06, 2, 1023, {1, 2}))[7], 0xFF);  // past the memory
}

TEST(FirmwareModel, FactoryKeyTables) {
    Rig mouse("mouse");
    const Bytes m = mouse.Ask(Command(0x07, 36, 0));
    // left, right, middle, back, forward, DPI+, ...
    EXPECT_EQ(Bytes(m.begin() + 8, m.begin() + 8 + 15),
              (Bytes{0x10, 0x01, 0x00, 0x10, 0x02, 0x00, 0x10, 0x04, 0x00, 0x10, 0x08, 0x00, 0x10,
                     0x10, 0x00}));
    EXPECT_EQ(Bytes(m.begin() + 8 + 24, m.begin() + 8 + 33),
              (Bytes{0x16, 0x90, 0x01, 0x14, 0x78, 0x02, 0xA0, 0x1B, 0x00}));
    EXPECT_EQ(mouse.model->KeyTable().size(), 36u);

    Rig kb("keyboard");
    const Bytes t = kb.model->KeyTable();
    ASSERT_EQ(t.size(), 384u);
    auto key = [&](size_t k) { return Bytes(t.begin() + 3 * k, t.begin() + 3 * k + 3); };
    EXPECT_EQ(key(0), (Bytes{0x20, 0x00, 0x29}));  // Esc
    EXPECT_EQ(key(16), (Bytes{0xA0, 0x1B, 0x00}));
    EXPECT_EQ(key(84), (Bytes{0x20, 0x02, 0x00}));  // left Shift
    EXPECT_EQ(key(110), (Bytes{0xA0, 0x01, 0x00}));
    EXPECT_EQ(key(124), (Bytes{0xD0, 0xA2, 0x05}));
    EXPECT_EQ(key(125), (Bytes{0x20, 0x80, 0x00}));  // right GUI
    // The light map has one byte per key: read in chunks of 56 from offset 56.
    const Bytes lm = kb.Ask(Command(0x1B, 56, 56));
    EXPECT_EQ(lm[8], 56);
    EXPECT_EQ(lm[8 + 55], 111);
}

TEST(FirmwareModel, ReceiverLinkDecidesBetweenAnswerAndUnreachable) {
    Rig rig("keyboard-receiver");
    Bytes up = rig.Ask(Command(0xAA));
    EXPECT_EQ(up[3], 0xAA);
    EXPECT_EQ(up[8], 0xFF);
    rig.model->SetLinkUp(false);
    Bytes down = rig.Ask(Command(0xAA));
    EXPECT_EQ(down[3], 0xAA);
    EXPECT_EQ(down[8], 0x00);
    EXPECT_EQ(rig.Ask(Command(0x03, 24, 0))[3], 0xAA);  // every command: not reachable
    rig.model->SetLinkUp(true);
    EXPECT_EQ(rig.Ask(Command(0x03, 24, 0))[3], 0x03);
}

TEST(FirmwareModel, MacroMemoryRefusesAnImageAboveItsCapacity) {
    Rig rig("mouse");
    ASSERT_EQ(rig.model->MacroCapacity(), 2048u);
    // Header: AA 55, size 0x0801 (2049), one macro.
    EXPECT_EQ(rig.Ask(Command(0x15, 8, 0, {0xAA, 0x55, 0x01, 0x08, 0x01, 0x00, 0, 0}))[7], 0xFF);
    EXPECT_EQ(rig.model->MacroMemory()[0], 0);
    // 26 bytes: one macro with two events.
    const Bytes image = {0xAA, 0x55, 0x1A, 0x00, 0x01, 0x00, 0,    0, 0, 0,    0,    0,    0,
                         0,    0,    0,    0x12, 0x00, 0x02, 0x00, 0, 0, 0x0A, 0x00, 0x81, 0x04};
    EXPECT_EQ(rig.Ask(Command(0x15, 26, 0, image))[7], 0x00);
    const Bytes mem = rig.model->MacroMemory();
    EXPECT_EQ(Bytes(mem.begin(), mem.begin() + 26), image);
    EXPECT_EQ(rig.Ask(Command(0x15, 2, 2047, {1, 2}))[7], 0xFF);  // chunk past the end
}

TEST(FirmwareModel, KeyboardColourBanksLightFrameAndHostControl) {
    Rig rig("keyboard");
    EXPECT_EQ(rig.Ask(Command(0x0B, 3, 512 + 6, {10, 20, 30}))[7], 0x00);
    const Bytes bank1 = rig.model->ColourBank(1);
    EXPECT_EQ(Bytes(bank1.begin() + 6, bank1.begin() + 9), (Bytes{10, 20, 30}));
    EXPECT_EQ(rig.model->ColourBank(0)[6], 0);
    EXPECT_EQ(rig.Ask(Command(0x0A, 3, 512 + 6))[9], 20);

    EXPECT_EQ(rig.Ask(Command(0x12, 2, 0, {7, 8}))[7], 0x00);
    EXPECT_EQ(rig.Ask(Command(0x12, 2, 508, {9, 9}))[7], 0x00);
    EXPECT_EQ(rig.model->LightFrameCount(), 1u);
    EXPECT_EQ(rig.model->LastLightFrame()[1], 8);
    EXPECT_EQ(rig.model->LastLightFrame()[509], 9);

    EXPECT_FALSE(rig.model->HostLightControlOn());
    EXPECT_EQ(rig.Ask(Command(0x1C))[7], 0x00);
    EXPECT_TRUE(rig.model->HostLightControlOn());

    Rig mouse("mouse");
    EXPECT_EQ(mouse.Ask(Command(0x1C))[7], 0xFE);
    EXPECT_EQ(mouse.Ask(Command(0x12, 1, 0, {1}))[7], 0xFE);
}

TEST(FirmwareModel, StatusBlocksPerKind) {
    struct Case {
        const char* product;
        Bytes status;
    };
    const Case cases[] = {
        {"mouse", {76, 2, 0, 0, 1, 0}},
        {"keyboard", {100, 0, 0, 0, 0, 0}},
        {"mousepad", {100, 0, 0, 0, 0, 2}},  // a phone of kind 2 on the pad
        {"headset", {0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        Rig rig(c.product);
        const Bytes a = rig.Ask(Command(0x1A, 6, 0));
        ASSERT_EQ(a.size(), 64u) << c.product;
        EXPECT_EQ(Bytes(a.begin() + 8, a.begin() + 14), c.status) << c.product;
    }
}

TEST(FirmwareModel, WriteGroupsAreCounted) {
    Rig rig("mousepad");
    rig.Ask(Command(0x01));
    EXPECT_TRUE(rig.model->InWriteGroup());
    rig.Ask(Command(0x06, 1, 2, {4}));
    rig.Ask(Command(0x02));
    EXPECT_FALSE(rig.model->InWriteGroup());
    EXPECT_EQ(rig.model->CompletedWriteGroups(), 1u);
    EXPECT_EQ(rig.model->HostReportCount(), 3u);
    EXPECT_EQ(rig.model->HostReports()[1][8], 4);
}

TEST(FirmwareModel, FaultsOnRequest) {
    Rig rig("mouse");
    rig.model->SetFault({FaultKind::NoAnswer, 1});
    EXPECT_TRUE(rig.Ask(Command(0x01)).empty());
    EXPECT_EQ(rig.Ask(Command(0x01))[3], 0x01);  // one command only

    rig.model->SetFault({FaultKind::WrongCode, 1});
    rig.Write(Command(0x03, 24, 0));
    const uint16_t col = rig.model->CommandCollectionNumber();
    EXPECT_EQ(rig.Take(col)[3], 0x83);
    EXPECT_EQ(rig.Take(col)[3], 0x83);
    EXPECT_TRUE(rig.Take(col).empty());

    Fault refuse{FaultKind::Status, -1};
    refuse.status = 0xFE;
    refuse.onlyCode = 0x06;
    refuse.skip = 1;
    rig.model->SetFault(refuse);
    EXPECT_EQ(rig.Ask(Command(0x06, 1, 5, {9}))[7], 0x00);  // skipped
    EXPECT_EQ(rig.Ask(Command(0x05, 1, 5))[7], 0x00);       // other code
    EXPECT_EQ(rig.Ask(Command(0x06, 1, 5, {8}))[7], 0xFE);
    EXPECT_EQ(rig.Ask(Command(0x06, 1, 5, {8}))[7], 0xFE);  // until cleared
    EXPECT_EQ(rig.model->Settings()[5], 9);                 // refused writes change nothing
    rig.model->ClearFault();
    EXPECT_EQ(rig.Ask(Command(0x06, 1, 5, {8}))[7], 0x00);
}

TEST(FirmwareModel, KeyEventsOnTheConsumerCollection) {
    Rig rig("mouse");
    const uint16_t ev = rig.model->EventCollectionNumber();
    ASSERT_EQ(ev, 3);
    rig.model->RaiseProfileSwitch(3);
    EXPECT_EQ(rig.Take(ev), (Bytes{0x03, 0x03, 0x10}));
    EXPECT_EQ(rig.model->Settings()[0], 3);
    rig.model->RaiseDpiSwitch(2, 4);
    EXPECT_EQ(rig.Take(ev), (Bytes{0x03, 0x42, 0x11}));
    EXPECT_EQ(rig.model->Settings()[2 * 128 + 12], 4);
    rig.model->RaiseKeyPress(5);
    rig.model->RaiseKeyRelease(5);
    rig.model->RaiseEvent(0x401);
    EXPECT_EQ(rig.Take(ev), (Bytes{0x03, 0x05, 0x05}));
    EXPECT_EQ(rig.Take(ev), (Bytes{0x03, 0x05, 0x06}));
    EXPECT_EQ(rig.Take(ev), (Bytes{0x03, 0x01, 0x04}));
    EXPECT_TRUE(rig.Take(rig.model->CommandCollectionNumber()).empty());
}

TEST(FirmwareModel, HeadsetLedRegisters) {
    auto headset = std::dynamic_pointer_cast<HeadsetModel>(MakeFirmwareModel("headset"));
    ASSERT_TRUE(headset);
    const sim::SimCollection col{3, 0, 0x0C, 0x01};
    Bytes red7(17, 0);
    red7[0] = 0xFF, red7[1] = 0x22, red7[2] = 0xAA;
    for (int i = 0; i < 7; ++i)
        red7[4 + i] = static_cast<uint8_t>(10 + i);
    EXPECT_TRUE(headset->OnSetOutputReport(col, red7.data(), red7.size()));
    EXPECT_EQ(headset->LedRegister(0x22, 0xAA),
              (std::array<uint8_t, 7>{10, 11, 12, 13, 14, 15, 16}));
    // Registers 0xAD..0xAF hold six LEDs: the seventh byte is not taken.
    Bytes blue6 = red7;
    blue6[1] = 0x44, blue6[2] = 0xAF;
    EXPECT_TRUE(headset->OnSetOutputReport(col, blue6.data(), blue6.size()));
    EXPECT_EQ(headset->LedRegister(0x44, 0xAF)[6], 0);
    EXPECT_EQ(headset->LedRegister(0x44, 0xAF)[5], 15);
    Bytes badTarget = red7;
    badTarget[1] = 0x33;
    EXPECT_FALSE(headset->OnSetOutputReport(col, badTarget.data(), badTarget.size()));
    EXPECT_FALSE(headset->OnSetOutputReport(col, red7.data(), 16));
    EXPECT_EQ(headset->LedReportCount(), 2u);
    // The headset answers commands on its single collection.
    Rig rig("headset");
    EXPECT_EQ(rig.model->CommandCollectionNumber(), 0);
    EXPECT_EQ(rig.Ask(Command(0x05, 3, 0))[9], 2);  // lighting page byte 1
}

TEST(FirmwareModel, EveryProductOfTheCatalogueHasAModel) {
    struct Case {
        const char* name;
        uint16_t vid, pid;
        bool receiver;
    };
    const Case cases[] = {
        {"mouse", 0x320F, 0x50EF, false},    {"mouse-receiver", 0x320F, 0x221D, true},
        {"keyboard", 0x320F, 0x5084, false}, {"keyboard-receiver", 0x320F, 0x50EC, true},
        {"mousepad", 0x320F, 0x1004, false}, {"headset", 0x0C76, 0x1630, false}};
    for (const auto& c : cases) {
        auto product = sim::MakeProduct(c.name);
        auto model = std::dynamic_pointer_cast<FirmwareModel>(product);
        ASSERT_TRUE(model) << c.name;
        EXPECT_EQ(model->VendorId(), c.vid);
        EXPECT_EQ(model->ProductId(), c.pid);
        EXPECT_EQ(model->IsReceiver(), c.receiver);
        for (const auto& col : model->Collections())
            EXPECT_FALSE(model->ReportDescriptor(col.interfaceNumber).empty()) << c.name;
    }
    EXPECT_EQ(MakeFirmwareModel("trackball"), nullptr);
}
