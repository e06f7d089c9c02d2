// CHidDevice over both buses: the simulated bus and hidraw on a fixture
// sysfs tree. The same cases run on each.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "hid/Catalog.h"
#include "hid/HidDevice.h"
#include "hid/HidrawBus.h"
#include "sim/Descriptors.h"
#include "sim/SimBus.h"
#include "tests/hid/HidrawFixture.h"

using namespace hid;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

namespace {

constexpr uint16_t kVid = 0x320F;
constexpr uint16_t kPid = 0x5084;

// A keyboard's interface 1 on the simulated bus that records what the host
// writes; the test emits its input reports.
class RecordingKeyboard : public sim::SimDevice {
  public:
    explicit RecordingKeyboard(std::string name = "recording")
        : SimDevice(std::move(name), kVid, kPid, 0x0102) {}
    std::vector<sim::SimCollection> Collections() const override {
        return {{1, 1, 0x01, 0x06}, {1, 2, 0x01, 0x80}, {1, 3, 0x0C, 0x01}, {1, 4, 0xFF1C, 0x92}};
    }
    std::vector<uint8_t> ReportDescriptor(uint16_t) const override {
        return sim::CommandInterfaceDescriptor();
    }
    void OnHostWrite(const sim::SimCollection&, const uint8_t* data, size_t len) override {
        std::lock_guard<std::mutex> lock(mutex_);
        written_.insert(written_.end(), data, data + len);
    }
    Bytes Written() {
        std::lock_guard<std::mutex> lock(mutex_);
        return written_;
    }

  private:
    std::mutex mutex_;
    Bytes written_;
};

// One way of providing the keyboard interface to CHidDevice.
class Backend {
  public:
    virtual ~Backend() = default;
    virtual void Plug() = 0;
    virtual void Unplug() = 0;
    // Path of a collection of the plugged interface.
    virtual std::string PathOf(uint16_t collection) = 0;
    virtual std::string MissingPath() = 0;
    virtual void Send(uint16_t collection, const Bytes& report) = 0;
    virtual Bytes Received(size_t want) = 0;
};

class SimBackend : public Backend {
  public:
    SimBackend() : bus_(std::make_shared<sim::SimBus>()) { SetActiveBus(bus_); }
    ~SimBackend() override { SetActiveBus(nullptr); }
    void Plug() override {
        device_ = std::make_shared<RecordingKeyboard>();
        id_ = bus_->Add(device_);
    }
    void Unplug() override { bus_->Remove(id_); }
    std::string PathOf(uint16_t collection) override {
        std::vector<std::string> paths;
        bus_->Enumerate(paths);
        for (const auto& p : paths) {
            if (ParseHidPathIds(p).collectionNumber == collection) return p;
        }
        return {};
    }
    std::string MissingPath() override { return "sim/recording/999#vid_320f&pid_5084&mi_01&col04"; }
    void Send(uint16_t collection, const Bytes& report) override {
        device_->Emit(collection, report);
    }
    Bytes Received(size_t) override { return device_->Written(); }

  private:
    std::shared_ptr<sim::SimBus> bus_;
    std::shared_ptr<RecordingKeyboard> device_;
    int id_ = 0;
};

class HidrawBackend : public Backend {
  public:
    HidrawBackend() { SetActiveBus(MakeHidrawBus(fixture_.Roots())); }
    ~HidrawBackend() override { SetActiveBus(nullptr); }
    void Plug() override {
        fixture_.AddNode("hidraw0", kVid, kPid, 1, 0x0102, sim::CommandInterfaceDescriptor());
    }
    void Unplug() override { fixture_.Unplug("hidraw0"); }
    std::string PathOf(uint16_t collection) override {
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, "#vid_320f&pid_5084&mi_01&col%02x", collection);
        return fixture_.DevPath("hidraw0") + suffix;
    }
    std::string MissingPath() override {
        return fixture_.DevPath("hidraw7") + "#vid_320f&pid_5084&mi_01&col04";
    }
    void Send(uint16_t, const Bytes& report) override { fixture_.Send("hidraw0", report); }
    Bytes Received(size_t want) override { return fixture_.Receive("hidraw0", want); }

  private:
    testfixture::HidrawFixture fixture_;
};

class HidDeviceTest : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        if (std::string(GetParam()) == "sim") {
            backend_ = std::make_unique<SimBackend>();
        } else {
            backend_ = std::make_unique<HidrawBackend>();
        }
        backend_->Plug();
    }
    std::unique_ptr<Backend> backend_;
};

Bytes CommandReport(uint8_t code) {
    Bytes r(64, 0);
    r[0] = sim::kCommandReportId;
    r[1] = code;
    r[63] = 0x5A;
    return r;
}

TEST_P(HidDeviceTest, OpensAndIdentifiesTheCommandCollection) {
    CHidDevice dev;
    const std::string path = backend_->PathOf(4);
    ASSERT_TRUE(dev.Open(path, true, true, true, false));
    EXPECT_TRUE(dev.IsOpen());
    EXPECT_EQ(dev.Path(), path);
    EXPECT_EQ(dev.Attributes().vendorId, kVid);
    EXPECT_EQ(dev.Attributes().productId, kPid);
    EXPECT_EQ(dev.Attributes().versionNumber, 0x0102);
    EXPECT_EQ(dev.Caps().usagePage, 0xFF1C);
    EXPECT_EQ(dev.Caps().usage, 0x92);
    EXPECT_EQ(dev.Caps().inputReportByteLength, 64);
    EXPECT_EQ(dev.Caps().outputReportByteLength, 64);
    EXPECT_EQ(dev.Caps().featureReportByteLength, 0);
    EXPECT_EQ(dev.InterfaceNumber(), 1u);
    EXPECT_EQ(dev.CollectionNumber(), 4u);
    EXPECT_EQ(dev.InputReport().size(), 64u);
    // The catalogue recognises it from the opened interface.
    const auto match =
        FindInterfaceByCaps(ParseHidPathIds(path), dev.Caps().usagePage, dev.Caps().usage);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->row, 0u);

    // The event collection of the same interface.
    ASSERT_TRUE(dev.Open(backend_->PathOf(3), true, false, true, false));
    EXPECT_EQ(dev.Caps().usagePage, 0x0C);
    EXPECT_EQ(dev.Caps().inputReportByteLength, 3);
    EXPECT_EQ(dev.Caps().numberInputValueCaps, 1);
    EXPECT_EQ(dev.CollectionNumber(), 3u);

    dev.Close();
    EXPECT_FALSE(dev.IsOpen());
    EXPECT_EQ(dev.Caps().inputReportByteLength, 0);
    EXPECT_TRUE(dev.InputReport().empty());
}

TEST_P(HidDeviceTest, WritesAndReadsReportsWithTimeOut) {
    CHidDevice dev;
    ASSERT_TRUE(dev.Open(backend_->PathOf(4), true, true, true, false));
    const Bytes out = CommandReport(0x11);
    size_t written = 0;
    ASSERT_TRUE(dev.WriteReport(out.data(), out.size(), &written, 1000));
    EXPECT_EQ(written, 64u);
    EXPECT_EQ(backend_->Received(64), out);

    // Nothing to read: fails at its time-out with nothing transferred.
    uint8_t in[64];
    size_t got = 99;
    const auto start = Clock::now();
    EXPECT_FALSE(dev.ReadReport(in, sizeof in, &got, 100));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(90));
    EXPECT_EQ(got, 0u);

    // A report of another collection of the interface is not this one's.
    backend_->Send(3, {sim::kEventReportId, 0x01, 0x04});
    EXPECT_FALSE(dev.ReadReport(in, sizeof in, &got, 100));
    const Bytes reply = CommandReport(0x11);
    backend_->Send(4, reply);
    ASSERT_TRUE(dev.ReadReport(in, sizeof in, &got, 1000));
    EXPECT_EQ(Bytes(in, in + got), reply);
    EXPECT_TRUE(dev.IsOpen()) << "a time-out leaves the interface open";
}

TEST_P(HidDeviceTest, UnpacksTheEventValue) {
    CHidDevice dev;
    ASSERT_TRUE(dev.Open(backend_->PathOf(3), true, false, true, false));
    ASSERT_EQ(dev.InputItems().size(), 1u);
    EXPECT_FALSE(dev.InputItems()[0].isButtonData);
    backend_->Send(3, {sim::kEventReportId, 0x03, 0x10});
    std::vector<uint8_t>& report = dev.InputReport();
    size_t got = 0;
    ASSERT_TRUE(dev.ReadReport(report.data(), report.size(), &got, 1000));
    ASSERT_TRUE(dev.UnpackInputReport(report.data(), got));
    const HidDataItem& item = dev.InputItems()[0];
    EXPECT_TRUE(item.isDataSet);
    EXPECT_EQ(item.status, kHidStatusSuccess);
    EXPECT_EQ(item.usagePage, 0x0C);
    EXPECT_EQ(item.value, 0x1003u);
    // A report cut short fails without reading past it.
    const uint8_t shortReport[2] = {sim::kEventReportId, 0x07};
    EXPECT_FALSE(dev.UnpackInputReport(shortReport, sizeof shortReport));
    EXPECT_EQ(dev.InputItems()[0].status, kHidStatusInvalidReportLength);
}

TEST_P(HidDeviceTest, ReadWithNoTimeOutEndsPromptlyOnCloseFromAnotherThread) {
    CHidDevice dev;
    ASSERT_TRUE(dev.Open(backend_->PathOf(3), true, true, true, false));
    std::atomic<bool> entered{false};
    std::atomic<bool> result{true};
    Clock::time_point returned;
    std::thread reader([&] {
        std::vector<uint8_t>& buf = dev.InputReport();
        size_t got = 0;
        entered = true;
        result = dev.ReadReport(buf.data(), buf.size(), &got, kInfinite);
        returned = Clock::now();
    });
    while (!entered)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // let it block
    const auto closed = Clock::now();
    dev.Close();
    reader.join();
    EXPECT_FALSE(result);
    EXPECT_LT(returned - closed, std::chrono::milliseconds(50));
    EXPECT_FALSE(dev.IsOpen());
}

TEST_P(HidDeviceTest, UnpluggedInterfaceFailsAndTheObjectStaysUsable) {
    CHidDevice dev;
    const std::string path = backend_->PathOf(4);
    ASSERT_TRUE(dev.Open(path, true, true, true, false));
    EXPECT_TRUE(CHidDevice::IsPresent(path));
    backend_->Unplug();
    EXPECT_FALSE(CHidDevice::IsPresent(path));
    const Bytes out = CommandReport(0x22);
    size_t written = 7;
    const auto start = Clock::now();
    EXPECT_FALSE(dev.WriteReport(out.data(), out.size(), &written, 1000));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_EQ(written, 0u);
    uint8_t in[64];
    size_t got = 0;
    EXPECT_FALSE(dev.ReadReport(in, sizeof in, &got, kInfinite)) << "ends at once, unplugged";
    EXPECT_FALSE(dev.Reopen());
    EXPECT_FALSE(dev.IsOpen());

    backend_->Plug();
    ASSERT_TRUE(dev.Open(backend_->PathOf(4), true, true, true, false));
    EXPECT_TRUE(dev.WriteReport(out.data(), out.size(), &written, 1000));
}

TEST_P(HidDeviceTest, OpeningAMissingPathFailsAndLeavesItClosed) {
    CHidDevice dev;
    ASSERT_TRUE(dev.Open(backend_->PathOf(4), true, true, true, false));
    EXPECT_FALSE(dev.Open(backend_->MissingPath(), true, true, true, false));
    EXPECT_FALSE(dev.IsOpen());
    EXPECT_EQ(dev.LastOpenError(), ENOENT);
    EXPECT_EQ(dev.Caps().usagePage, 0);
    // A collection the interface does not have.
    EXPECT_FALSE(dev.Open(backend_->PathOf(4).replace(backend_->PathOf(4).size() - 2, 2, "09"),
                          true, true, true, false));
    EXPECT_FALSE(dev.IsOpen());
    uint8_t buf[64] = {4};
    size_t n = 0;
    EXPECT_FALSE(dev.WriteReport(buf, sizeof buf, &n, 100));
    EXPECT_FALSE(dev.ReadReport(buf, sizeof buf, &n, 0));
    EXPECT_FALSE(dev.UnpackInputReport(buf, sizeof buf));
}

TEST_P(HidDeviceTest, EnumeratesEveryCollectionPath) {
    CHidDevice dev;
    ASSERT_TRUE(dev.EnumerateInterfaces());
    std::vector<std::string> paths;
    while (const std::string* p = dev.NextPath())
        paths.push_back(*p);
    EXPECT_EQ(dev.NextPath(), nullptr);
    ASSERT_EQ(paths.size(), 4u);
    for (uint16_t c = 1; c <= 4; ++c)
        EXPECT_EQ(paths[c - 1], backend_->PathOf(c));
    dev.FreePathList();
    EXPECT_EQ(dev.PathCount(), 0u);
    EXPECT_EQ(dev.NextPath(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Buses, HidDeviceTest, ::testing::Values("sim", "hidraw"),
                         [](const auto& info) { return std::string(info.param); });

// Enumeration keeps every path past the 8, 16 and 32 a fixed list would hold.
TEST(HidDeviceEnumeration, KeepsEveryPathOfManyInterfaces) {
    for (int products : {2, 4, 8, 9, 25}) {
        auto bus = std::make_shared<sim::SimBus>();
        for (int i = 0; i < products; ++i)
            bus->Add(std::make_shared<RecordingKeyboard>());
        SetActiveBus(bus);
        CHidDevice dev;
        ASSERT_TRUE(dev.EnumerateInterfaces());
        std::set<std::string> seen;
        while (const std::string* p = dev.NextPath())
            seen.insert(*p);
        EXPECT_EQ(seen.size(), size_t(products) * 4) << products << " products";
        EXPECT_EQ(dev.PathCount(), size_t(products) * 4);
    }
    SetActiveBus(nullptr);
}

// Paths longer than the 260 characters of a fixed path field open and stay whole.
TEST(HidDeviceEnumeration, LongPathsAreKeptWhole) {
    auto bus = std::make_shared<sim::SimBus>();
    bus->Add(std::make_shared<RecordingKeyboard>(std::string(400, 'k')));
    SetActiveBus(bus);
    CHidDevice dev;
    ASSERT_TRUE(dev.EnumerateInterfaces());
    const std::string* path = nullptr;
    while (const std::string* p = dev.NextPath())
        path = p;
    ASSERT_NE(path, nullptr);
    EXPECT_GT(path->size(), 420u);
    const std::string copy = *path;
    ASSERT_TRUE(dev.Open(copy, true, true, true, false));
    EXPECT_EQ(dev.Path(), copy);
    EXPECT_EQ(dev.CollectionNumber(), 4u);
    SetActiveBus(nullptr);
}

}  // namespace
