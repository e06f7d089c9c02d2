// Arrivals and removals through the real scan thread, connected to device
// cores by CDeviceLinks, against simulated products.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "devices/events/DeviceLinks.h"
#include "devices/events/LightSync.h"
#include "hid/HidBus.h"
#include "hid/scan/ScanThread.h"
#include "platform/Debug.h"
#include "sim/SimBus.h"
#include "sim/models/Models.h"

using namespace std::chrono_literals;
using namespace devices::events;

namespace {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

class TestDevice : public CDeviceCore {
  public:
    TestDevice(hid::DeviceKind kind, const hid::HidInterfaceEntry& row)
        : CDeviceCore(kind, size_t(hid::DeviceCatalog()[size_t(kind)].lightZoneCount),
                      hid::DeviceCatalog()[size_t(kind)].showPower != 0) {
        SetInterfaceRow(row);
    }
    ~TestDevice() override { StopThreads(); }

    void OnProfileSwitch(int p, int) override { profile = p; }
    void StartReloadTimer(int ms) override { reloadMs = ms; }
    void RefreshPowerStatus() override {
        devices::StatusBlock status;
        if (Command().ReadStatus(status) == 1) ++powerReads;
    }
    void ReadDevice() override { ++reads; }

    std::atomic<int> profile{-1};
    std::atomic<int> reloadMs{0};
    std::atomic<int> powerReads{0};
    std::atomic<int> reads{0};
};

// The page half as far as these tests need it: pages, visible items.
class TestUi : public ILinkUi {
  public:
    explicit TestUi(CDeviceRegistry& registry) : registry_(registry) {}

    TestDevice* Build(size_t row) {
        std::lock_guard lock(mutex_);
        devices_.push_back(
            std::make_unique<TestDevice>(hid::KindOfRow(row), hid::InterfaceTable()[row]));
        registry_.Add(devices_.back().get());
        return devices_.back().get();
    }
    void CreateDevicePage(size_t row) override {
        Build(row);
        ++pagesBuilt;
    }
    void OnConnected(CDeviceCore& d, devices::LinkType link, bool open) override {
        Record("connected");
        if (link == devices::LinkType::Cable && open) Show(&d, true);
    }
    void OnLost(CDeviceCore& d) override {
        Record("lost");
        Show(&d, false);
    }
    void OnSwitchedToReceiver(CDeviceCore&) override { Record("to-receiver"); }
    void OnSwitchedToCable(CDeviceCore& d) override {
        Record("to-cable");
        Show(&d, true);
    }
    size_t Visible() {
        std::lock_guard lock(mutex_);
        return visible_.size();
    }
    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    void StopAll() {
        std::lock_guard lock(mutex_);
        for (auto& d : devices_)
            d->StopThreads();
    }
    std::atomic<int> pagesBuilt{0};

  private:
    void Record(const char* what) {
        std::lock_guard lock(mutex_);
        calls_.emplace_back(what);
    }
    // Shows or hides an item; with fewer than two visible, synchronised
    // lighting ends for all devices.
    void Show(CDeviceCore* d, bool show) {
        size_t visible;
        {
            std::lock_guard lock(mutex_);
            if (show) {
                visible_.insert(d);
            } else {
                visible_.erase(d);
            }
            visible = visible_.size();
        }
        UpdateSyncAvailability(registry_, visible);
    }
    CDeviceRegistry& registry_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<TestDevice>> devices_;
    std::set<CDeviceCore*> visible_;
    std::vector<std::string> calls_;
};

// The main window's message handlers: the scan's calls go straight to the links.
class LinkSink : public hid::scan::IScanSink {
  public:
    explicit LinkSink(CDeviceLinks& links) : links_(links) {}
    void OnInterfaceArrived(size_t s) override { links_.OnInterfaceArrived(s); }
    void OnInterfaceRemoved(size_t s) override { links_.OnInterfaceRemoved(s); }
    void OnFirstPassDone() override {}

  private:
    CDeviceLinks& links_;
};

struct LinkRig : ::testing::Test {
    void SetUp() override {
        bus = std::make_shared<sim::SimBus>();
        hid::SetActiveBus(bus);
        // The mouse and keyboard pages exist from the start (cable rows 4 and 0).
        mouse = ui.Build(4);
        keyboard = ui.Build(0);
        links.SetLinkPollPauseMs(5);
    }
    void TearDown() override {
        scan.Stop();
        ui.StopAll();
        hid::SetActiveBus(nullptr);
    }
    void Start() { ASSERT_TRUE(scan.Start()); }
    int Plug(const std::string& name, std::shared_ptr<sim::models::FirmwareModel>* out = nullptr) {
        auto model = sim::models::MakeFirmwareModel(name);
        if (out) *out = model;
        const int id = bus->Add(model);
        scan.Wake();
        return id;
    }
    bool Claimed(size_t slot) { return slots.Slot(slot).claimed != 0; }

    std::shared_ptr<sim::SimBus> bus;
    hid::scan::CInterfaceSlots slots;
    CDeviceRegistry registry;
    TestUi ui{registry};
    CDeviceLinks links{slots, registry, ui};
    LinkSink sink{links};
    TestDevice* mouse = nullptr;
    TestDevice* keyboard = nullptr;
    hid::scan::CScanThread scan{slots, sink};
};

}  // namespace

TEST_F(LinkRig, ReceiverOfAMouseSwitchedOffClaimsAndOpensButLinkIsDown) {
    Start();
    auto model = sim::models::MakeFirmwareModel("mouse-receiver");
    model->SetLinkUp(false);
    bus->Add(model);
    scan.Wake();
    ASSERT_TRUE(WaitUntil([&] { return Claimed(6) && mouse->Command().IsOpen(); }));
    EXPECT_TRUE(mouse->Command().OnReceiver());
    EXPECT_EQ(ui.Visible(), 0u);  // the item waits for the link
    EXPECT_FALSE(mouse->Command().IsLinkUp());
    model->SetLinkUp(true);
    EXPECT_TRUE(mouse->Command().IsLinkUp());
    EXPECT_EQ(ui.pagesBuilt.load(), 0);
}

TEST_F(LinkRig, CableOverReceiverSwitchesAndUnplugMovesBack) {
    Start();
    Plug("mouse-receiver");
    ASSERT_TRUE(WaitUntil([&] {
        return mouse->Command().IsOpen() &&
               mouse->Events().IsInterfaceOpen(hid::kTypeMouseReceiver);
    }));
    ASSERT_TRUE(mouse->Command().OnReceiver());
    const int cable = Plug("mouse");
    ASSERT_TRUE(WaitUntil([&] { return Claimed(4) && !mouse->Command().OnReceiver(); }));
    EXPECT_TRUE(mouse->Command().IsOpen());
    EXPECT_EQ(ui.Visible(), 1u);
    EXPECT_EQ(registry.Snapshot().mice.size(), 1u);  // no second page
    const int powerBefore = mouse->powerReads.load();
    bus->Remove(cable);
    scan.Wake();
    ASSERT_TRUE(WaitUntil([&] { return !Claimed(4) && mouse->Command().OnReceiver(); }));
    EXPECT_TRUE(mouse->Command().IsOpen());
    EXPECT_GT(mouse->powerReads.load(), powerBefore);  // link polled, status read on the receiver
    EXPECT_GE(mouse->reads.load(), 1);
    const auto calls = ui.Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "to-cable"), calls.end());
    EXPECT_EQ(calls.back(), "to-receiver");
}

TEST_F(LinkRig, UnpluggingTheReceiverLeavesTheCableAlone) {
    Start();
    Plug("mouse");
    ASSERT_TRUE(WaitUntil([&] { return Claimed(4) && mouse->Command().IsOpen(); }));
    const int rx = Plug("mouse-receiver");
    ASSERT_TRUE(WaitUntil([&] { return Claimed(6); }));
    bus->Remove(rx);
    scan.Wake();
    ASSERT_TRUE(WaitUntil([&] { return !Claimed(6) && !Claimed(7); }));
    EXPECT_TRUE(mouse->Command().IsOpen());
    EXPECT_FALSE(mouse->Command().OnReceiver());
    devices::StatusBlock status;
    EXPECT_EQ(mouse->Command().ReadStatus(status), 1);
    const auto calls = ui.Calls();
    EXPECT_EQ(std::find(calls.begin(), calls.end(), "lost"), calls.end());
}

TEST_F(LinkRig, PadArrivalBuildsItsPageOnceAndLeavesClosed) {
    Start();
    const int pad = Plug("mousepad");
    ASSERT_TRUE(WaitUntil([&] {
        const auto pads = registry.Snapshot().mousePads;
        return pads.size() == 1 && pads[0]->Command().IsOpen() &&
               pads[0]->Events().IsInterfaceOpen(hid::kTypeMousePad);
    }));
    EXPECT_EQ(ui.pagesBuilt.load(), 1);
    CDeviceCore* d = registry.Snapshot().mousePads[0];
    EXPECT_TRUE(d->Command().IsOpen());
    EXPECT_TRUE(d->Events().IsInterfaceOpen(hid::kTypeMousePad));
    bus->Remove(pad);
    scan.Wake();
    ASSERT_TRUE(WaitUntil([&] { return !d->Command().IsOpen(); }));
    EXPECT_FALSE(d->Events().IsReaderRunning(hid::kTypeMousePad));
    // Back again: the same device object is reused.
    Plug("mousepad");
    ASSERT_TRUE(WaitUntil([&] { return d->Command().IsOpen(); }));
    EXPECT_EQ(ui.pagesBuilt.load(), 1);
}

TEST_F(LinkRig, ProfileSwitchEventOnTheMouseReachesTheDevice) {
    Start();
    std::shared_ptr<sim::models::FirmwareModel> model;
    Plug("mouse", &model);
    ASSERT_TRUE(WaitUntil([&] { return mouse->Events().IsInterfaceOpen(hid::kTypeMouse); }));
    model->RaiseEvent(0x1003);
    ASSERT_TRUE(WaitUntil([&] { return mouse->profile.load() == 3; }));
    model->RaiseEvent(0x401);
    ASSERT_TRUE(WaitUntil([&] { return mouse->reloadMs.load() == 50; }));
}

TEST_F(LinkRig, ClosingTheEventInterfaceEndsAWaitingReaderAtOnce) {
    std::vector<std::string> lines;
    std::mutex linesMutex;
    platform::SetDebugSink([&](std::string_view l) {
        std::lock_guard lock(linesMutex);
        lines.emplace_back(l);
    });
    Start();
    Plug("keyboard");
    ASSERT_TRUE(WaitUntil([&] { return keyboard->Events().IsInterfaceOpen(hid::kTypeKeyboard); }));
    std::this_thread::sleep_for(50ms);  // the reader now waits in its read
    const auto start = std::chrono::steady_clock::now();
    keyboard->Events().CloseEventInterface(hid::kTypeKeyboard);
    const auto took = std::chrono::steady_clock::now() - start;
    platform::SetDebugSink(nullptr);
    EXPECT_FALSE(keyboard->Events().IsReaderRunning(hid::kTypeKeyboard));
    EXPECT_LT(took, 450ms);  // within the reader's 500 ms stop wait
    std::lock_guard lock(linesMutex);
    EXPECT_NE(std::find(lines.begin(), lines.end(), kThreadEndedTrace), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), kThreadTimeoutTrace), lines.end());
}

TEST_F(LinkRig, UnpluggingOneOfTwoSynchronisedDevicesEndsSynchronisation) {
    CLightSyncThread sync(registry);
    sync.SetIdlePauseMs(10);
    CommonLightState common;
    common.type = 1;
    common.brightness = 4;
    common.speed = 5;
    common.colour = {1, 2, 3};
    sync.SetCommonState(common);
    ASSERT_TRUE(sync.Start());
    Start();
    Plug("mouse");
    const int kb = Plug("keyboard");
    ASSERT_TRUE(WaitUntil([&] { return ui.Visible() == 2u; }));
    mouse->Command().SetPaused(true);
    keyboard->Command().SetPaused(true);
    ASSERT_TRUE(WaitUntil([&] { return sync.Steps() > 2; }));
    EXPECT_EQ(keyboard->GetLightColor(169), 0xFF030201u);
    EXPECT_EQ(mouse->GetLightColor(14), 0xFF030201u);
    bus->Remove(kb);
    scan.Wake();
    ASSERT_TRUE(WaitUntil([&] { return ui.Visible() == 1u; }));
    EXPECT_FALSE(mouse->Command().IsPaused());
    EXPECT_FALSE(keyboard->Command().IsPaused());
    EXPECT_EQ(FirstSynchronisedDevice(registry.Snapshot()), nullptr);
    sync.Stop();
}
