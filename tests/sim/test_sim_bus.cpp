// The simulated bus: plugging at run time, paths, nodes, latency and the
// unplug fault, the product table and simulation lists.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "hid/Catalog.h"
#include "hid/HidDevice.h"
#include "sim/Descriptors.h"
#include "sim/SimBus.h"

using namespace sim;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

namespace {

// Answers every command report with the same report, code byte + 1.
class EchoPad : public SimDevice {
  public:
    EchoPad() : SimDevice("echo", 0x320F, 0x1004, 0x0100) {}
    std::vector<SimCollection> Collections() const override {
        return {{1, 3, 0x0C, 0x01}, {1, 4, 0xFF1C, 0x92}};
    }
    std::vector<uint8_t> ReportDescriptor(uint16_t) const override {
        return CommandInterfaceDescriptor();
    }
    void OnHostWrite(const SimCollection& to, const uint8_t* data, size_t len) override {
        Bytes reply(data, data + len);
        reply[1] = uint8_t(reply[1] + 1);
        Emit(to.collectionNumber, reply);
    }
};

Bytes Command(uint8_t code) {
    Bytes r(64, 0);
    r[0] = kCommandReportId;
    r[1] = code;
    return r;
}

std::string CommandPath(SimBus& bus, int id) {
    std::vector<std::string> paths;
    bus.Enumerate(paths);
    const std::string prefix = "/" + std::to_string(id) + "#";
    for (const auto& p : paths) {
        if (p.find(prefix) != std::string::npos && hid::ParseHidPathIds(p).collectionNumber == 4) {
            return p;
        }
    }
    return {};
}

// One write and the read of its answer.
hid::IoResult Exchange(hid::IHidNode& node, uint8_t code, Bytes* answer = nullptr) {
    const Bytes out = Command(code);
    size_t n = 0;
    const hid::IoResult w = node.Write(out.data(), out.size(), n, 1000);
    if (w != hid::IoResult::Ok) return w;
    uint8_t in[64];
    const hid::IoResult r = node.Read(in, sizeof in, n, 1000);
    if (answer) answer->assign(in, in + n);
    return r;
}

TEST(SimBus, PathsCarryTheCatalogueMarkers) {
    SimBus bus;
    const int mouse = bus.Add(MakeProduct("mouse"));
    const int headset = bus.Add(MakeProduct("headset"));
    std::vector<std::string> paths;
    ASSERT_TRUE(bus.Enumerate(paths));
    const std::string m = "sim/mouse/" + std::to_string(mouse) + "#vid_320f&pid_50ef&mi_01&col04";
    const std::string h = "sim/headset/" + std::to_string(headset) + "#vid_0c76&pid_1630&mi_03";
    EXPECT_NE(std::find(paths.begin(), paths.end(), m), paths.end());
    EXPECT_EQ(paths.back(), h);
    EXPECT_EQ(hid::FindInterfaceByPath(hid::ParseHidPathIds(m)), 4u);
    EXPECT_EQ(hid::FindInterfaceByPath(hid::ParseHidPathIds(h)), 10u);
    for (const auto& p : paths)
        EXPECT_TRUE(bus.Present(p)) << p;
    // Ids are not reused, paths of other ids or collections do not open.
    int err = 0;
    EXPECT_EQ(bus.Open("sim/mouse/77#vid_320f&pid_50ef&mi_01&col04", true, true, &err), nullptr);
    EXPECT_EQ(err, ENOENT);
    EXPECT_EQ(bus.Open("sim/mouse/" + std::to_string(mouse) + "#vid_320f&pid_50ef&mi_01&col09",
                       true, true, &err),
              nullptr);
    EXPECT_EQ(bus.Open("sim/headset/" + std::to_string(headset) + "#vid_320f&pid_50ef&mi_03", true,
                       true, &err),
              nullptr)
        << "ids must match the product";
}

TEST(SimBus, NodesExchangeReportsWithTheModel) {
    SimBus bus;
    const int id = bus.Add(std::make_shared<EchoPad>());
    auto node = bus.Open(CommandPath(bus, id), true, true, nullptr);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Identity().vendorId, 0x320F);
    EXPECT_EQ(node->Identity().reportDescriptor, CommandInterfaceDescriptor());
    Bytes answer;
    ASSERT_EQ(Exchange(*node, 0x41, &answer), hid::IoResult::Ok);
    EXPECT_EQ(answer[1], 0x42);
    // A node opened read-only does not write, and reads time out when quiet.
    auto reader = bus.Open(CommandPath(bus, id), true, false, nullptr);
    size_t n = 0;
    const Bytes out = Command(1);
    EXPECT_EQ(reader->Write(out.data(), out.size(), n, 100), hid::IoResult::Error);
    uint8_t in[64];
    EXPECT_EQ(reader->Read(in, sizeof in, n, 20), hid::IoResult::Timeout);
}

TEST(SimBus, RemoveEndsAWaitingReadAndReplaceSwitchesProducts) {
    SimBus bus;
    const int cable = bus.Add(MakeProduct("mouse"));
    bus.Add(MakeProduct("keyboard"));
    const std::string path = CommandPath(bus, cable);
    auto node = bus.Open(path, true, true, nullptr);
    ASSERT_NE(node, nullptr);
    hid::IoResult result = hid::IoResult::Ok;
    Clock::time_point returned;
    std::thread reader([&] {
        uint8_t in[64];
        size_t n = 0;
        result = node->Read(in, sizeof in, n, -1);
        returned = Clock::now();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const auto removed = Clock::now();
    const int receiver = bus.Replace(cable, MakeProduct("mouse-receiver"));
    reader.join();
    EXPECT_EQ(result, hid::IoResult::Error);
    EXPECT_LT(returned - removed, std::chrono::milliseconds(50));
    ASSERT_GT(receiver, 0);
    EXPECT_FALSE(bus.Present(path));
    EXPECT_EQ(bus.Device(cable), nullptr);
    EXPECT_EQ(bus.Ids(), (std::vector<int>{receiver, cable + 1})) << "takes the cable's place";
    EXPECT_EQ(bus.FindByName("mouse-receiver"), receiver);
    EXPECT_EQ(bus.Replace(cable, MakeProduct("mouse")), 0) << "the cable is gone already";
    EXPECT_FALSE(bus.Remove(cable));
    size_t n = 0;
    const Bytes out = Command(1);
    EXPECT_EQ(node->Write(out.data(), out.size(), n, 100), hid::IoResult::Error);
}

TEST(SimBus, UnplugsAfterTheGivenNumberOfReports) {
    SimBus bus;
    const int id = bus.Add(std::make_shared<EchoPad>());
    auto node = bus.Open(CommandPath(bus, id), true, true, nullptr);
    ASSERT_TRUE(bus.UnplugAfterReports(id, 3));
    EXPECT_EQ(Exchange(*node, 1), hid::IoResult::Ok);  // reports 1 and 2
    const Bytes out = Command(2);
    size_t n = 0;
    EXPECT_EQ(node->Write(out.data(), out.size(), n, 100), hid::IoResult::Ok);  // report 3
    uint8_t in[64];
    EXPECT_EQ(node->Read(in, sizeof in, n, 100), hid::IoResult::Error) << "gone mid-transfer";
    EXPECT_TRUE(bus.Ids().empty());
    std::vector<std::string> paths;
    bus.Enumerate(paths);
    EXPECT_TRUE(paths.empty());
    EXPECT_FALSE(bus.UnplugAfterReports(id, 1));
}

TEST(SimBus, LatencyDelaysEveryReport) {
    SimBus bus;
    const int id = bus.Add(std::make_shared<EchoPad>());
    auto node = bus.Open(CommandPath(bus, id), true, true, nullptr);
    bus.SetLatencyMs(15);
    const auto start = Clock::now();
    ASSERT_EQ(Exchange(*node, 1), hid::IoResult::Ok);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(30));  // write + read
    EXPECT_EQ(bus.LatencyMs(), 15);
}

TEST(SimBus, AbortWakesAReaderUntilCleared) {
    SimBus bus;
    const int id = bus.Add(std::make_shared<EchoPad>());
    auto node = bus.Open(CommandPath(bus, id), true, true, nullptr);
    hid::IoResult result = hid::IoResult::Ok;
    std::thread reader([&] {
        uint8_t in[64];
        size_t n = 0;
        result = node->Read(in, sizeof in, n, -1);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    node->Abort();
    reader.join();
    EXPECT_EQ(result, hid::IoResult::Aborted);
    EXPECT_EQ(Exchange(*node, 1), hid::IoResult::Aborted);
    node->ClearAbort();
    EXPECT_EQ(Exchange(*node, 1), hid::IoResult::Ok);
}

TEST(SimBus, ProductTableAndSimulationLists) {
    const std::vector<std::string> names = {
        "mouse", "mouse-receiver", "keyboard", "keyboard-receiver", "mousepad", "headset"};
    EXPECT_EQ(ProductNames(), names);
    struct Ids {
        uint16_t vid, pid;
    };
    const Ids ids[] = {{0x320F, 0x50EF}, {0x320F, 0x221D}, {0x320F, 0x5084},
                       {0x320F, 0x50EC}, {0x320F, 0x1004}, {0x0C76, 0x1630}};
    for (size_t i = 0; i < names.size(); ++i) {
        const auto p = MakeProduct(names[i]);
        ASSERT_NE(p, nullptr) << names[i];
        EXPECT_EQ(p->Name(), names[i]);
        EXPECT_EQ(p->VendorId(), ids[i].vid);
        EXPECT_EQ(p->ProductId(), ids[i].pid);
    }
    EXPECT_EQ(MakeProduct("trackball"), nullptr);

    std::vector<std::string> list;
    std::string error;
    EXPECT_TRUE(ParseSimulationList("all", list, &error));
    EXPECT_EQ(list, names);
    EXPECT_TRUE(ParseSimulationList("headset,,mouse", list, &error));
    EXPECT_EQ(list, (std::vector<std::string>{"headset", "mouse"}));
    EXPECT_FALSE(ParseSimulationList("mouse,trackball", list, &error));
    EXPECT_NE(error.find("trackball"), std::string::npos);
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(ParseSimulationList("", list, &error));
}

// Every simulated product, opened through CHidDevice, shows the catalogue
// row its path names: all rows once.
TEST(SimBus, AllProductsCoverTheInterfaceTable) {
    auto bus = std::make_shared<SimBus>();
    for (const auto& name : ProductNames())
        bus->Add(MakeProduct(name));
    hid::SetActiveBus(bus);
    hid::CHidDevice dev;
    ASSERT_TRUE(dev.EnumerateInterfaces());
    std::vector<size_t> rows;
    while (const std::string* path = dev.NextPath()) {
        hid::HidPathIds ids = hid::ParseHidPathIds(*path);
        if (!hid::FindInterfaceByPath(ids)) continue;
        ASSERT_TRUE(dev.Open(*path, true, false, true, false)) << *path;
        const auto match = hid::FindInterfaceByCaps(ids, dev.Caps().usagePage, dev.Caps().usage);
        ASSERT_TRUE(match) << *path;
        rows.push_back(match->row);
        if (match->channel == hid::kChannelCommand && match->typeCode != hid::kTypeHeadset) {
            EXPECT_EQ(dev.Caps().inputReportByteLength, 64) << *path;
            EXPECT_EQ(dev.Caps().outputReportByteLength, 64) << *path;
        }
        dev.Close();
    }
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    hid::SetActiveBus(nullptr);
}

}  // namespace
