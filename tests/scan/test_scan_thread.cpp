// The scan thread against a private simulated bus.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hid/HidBus.h"
#include "hid/scan/ScanThread.h"
#include "sim/SimBus.h"

using namespace std::chrono_literals;

namespace {

// Records the scan's calls in order.
class RecordingSink : public hid::scan::IScanSink {
  public:
    void OnInterfaceArrived(size_t slot) override { Add("+" + std::to_string(slot)); }
    void OnInterfaceRemoved(size_t slot) override { Add("-" + std::to_string(slot)); }
    void OnFirstPassDone() override { Add("first"); }

    std::vector<std::string> Events() {
        std::lock_guard lock(mutex_);
        return events_;
    }
    bool WaitForCount(size_t n, std::chrono::milliseconds limit = 5s) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, limit, [&] { return events_.size() >= n; });
    }

  private:
    void Add(std::string e) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(e));
        cv_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::string> events_;
};

// A bus whose enumeration fails on request.
class FlakyBus : public hid::IHidBus {
  public:
    explicit FlakyBus(std::shared_ptr<sim::SimBus> inner) : inner_(std::move(inner)) {}
    bool Enumerate(std::vector<std::string>& paths) override {
        if (fail.load()) return false;
        return inner_->Enumerate(paths);
    }
    std::unique_ptr<hid::IHidNode> Open(const std::string& path, bool r, bool w,
                                        int* err) override {
        return inner_->Open(path, r, w, err);
    }
    bool Present(const std::string& path) override { return inner_->Present(path); }
    std::atomic<bool> fail{false};

  private:
    std::shared_ptr<sim::SimBus> inner_;
};

struct ScanRig : ::testing::Test {
    void SetUp() override {
        bus = std::make_shared<sim::SimBus>();
        flaky = std::make_shared<FlakyBus>(bus);
        hid::SetActiveBus(flaky);
    }
    void TearDown() override {
        scan.reset();
        hid::SetActiveBus(nullptr);
    }
    void StartScan() {
        scan = std::make_unique<hid::scan::CScanThread>(slots, sink);
        ASSERT_TRUE(scan->Start());
    }
    std::shared_ptr<sim::SimBus> bus;
    std::shared_ptr<FlakyBus> flaky;
    hid::scan::CInterfaceSlots slots;
    RecordingSink sink;
    std::unique_ptr<hid::scan::CScanThread> scan;
};

}  // namespace

TEST_F(ScanRig, EveryArrivalAtStartComesBeforeTheFirstPassNotice) {
    for (const auto& name : sim::ProductNames())
        bus->Add(sim::MakeProduct(name));
    StartScan();
    ASSERT_TRUE(sink.WaitForCount(12));
    const auto events = sink.Events();
    EXPECT_EQ(events.back(), "first");
    for (size_t i = 0; i + 1 < events.size(); ++i)
        EXPECT_EQ(events[i][0], '+') << events[i];
    EXPECT_FALSE(slots.HasFreeSlot());
}

TEST_F(ScanRig, PlugAndUnplugClaimAndReleaseSlots) {
    StartScan();
    ASSERT_TRUE(sink.WaitForCount(1));  // the first pass, nothing present
    const int pad = bus->Add(sim::MakeProduct("mousepad"));
    scan->Wake();
    ASSERT_TRUE(sink.WaitForCount(3));
    EXPECT_EQ(slots.Slot(8).claimed, 1);
    EXPECT_NE(slots.Slot(8).path.find("mousepad"), std::string::npos);
    bus->Remove(pad);
    ASSERT_TRUE(sink.WaitForCount(5));
    const auto events = sink.Events();
    // Both slots are released (in slot order within one pass; the unplug may
    // land between two passes).
    std::vector<std::string> removed(events.begin() + 3, events.end());
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{"-8", "-9"}));
    EXPECT_TRUE(slots.Slot(8).path.empty());
    EXPECT_EQ(sink.Events()[0], "first");
}

TEST_F(ScanRig, SecondIdenticalKeyboardIsIgnoredUntilTheFirstLeaves) {
    const int first = bus->Add(sim::MakeProduct("keyboard"));
    bus->Add(sim::MakeProduct("keyboard"));
    StartScan();
    ASSERT_TRUE(sink.WaitForCount(3));
    std::this_thread::sleep_for(300ms);  // several passes: nothing more
    EXPECT_EQ(sink.Events().size(), 3u);
    EXPECT_NE(slots.Slot(0).path.find("/" + std::to_string(first) + "#"), std::string::npos);
    bus->Remove(first);
    ASSERT_TRUE(sink.WaitForCount(7));
    EXPECT_NE(slots.Slot(0).path.find("/" + std::to_string(first + 1) + "#"), std::string::npos);
}

TEST_F(ScanRig, FailedEnumerationDoesNotEndTheScan) {
    const int mouse = bus->Add(sim::MakeProduct("mouse"));
    StartScan();
    ASSERT_TRUE(sink.WaitForCount(3));
    flaky->fail = true;
    // The presence test still runs while enumeration fails.
    bus->Remove(mouse);
    ASSERT_TRUE(sink.WaitForCount(5));
    bus->Add(sim::MakeProduct("mousepad"));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(sink.Events().size(), 5u);
    EXPECT_GT(scan->FailedEnumerations(), 0u);
    EXPECT_TRUE(scan->IsRunning());
    flaky->fail = false;
    ASSERT_TRUE(sink.WaitForCount(7));
    EXPECT_EQ(slots.Slot(8).claimed, 1);
}

TEST_F(ScanRig, StopBeforeTheFirstPassIsNotLost) {
    hid::scan::CScanThread quick(slots, sink);
    ASSERT_TRUE(quick.Start());
    quick.Stop();
    EXPECT_FALSE(quick.IsRunning());
}
