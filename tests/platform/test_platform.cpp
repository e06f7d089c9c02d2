#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/Debug.h"
#include "platform/Folders.h"
#include "platform/StopEvent.h"
#include "platform/TickClock.h"
#include "platform/WorkerThread.h"

using namespace platform;
using namespace std::chrono;

TEST(TickClock, CountFollowsTheGrainAndTheManualClock) {
    TickClock::UseManual(true);
    const uint64_t start = TickClock::TickIndex();
    const uint32_t count0 = TickClock::TickCount();
    TickClock::Advance(1);
    EXPECT_EQ(TickClock::TickIndex(), start + 1);
    // 15.625 ms per tick: eight ticks are exactly 125 ms.
    TickClock::Advance(7);
    EXPECT_EQ(static_cast<uint32_t>(TickClock::TickCount() - count0), 125u);
    TickClock::UseManual(false);
}

TEST(TickClock, RealTicksAdvanceInGrainSteps) {
    const uint64_t a = TickClock::TickIndex();
    StopEvent never;
    ASSERT_TRUE(TickClock::WaitForTickChange(a, never));
    const uint64_t b = TickClock::TickIndex();
    EXPECT_GT(b, a);
    // Consecutive counts differ by 15 or 16 ms, never by less.
    const uint32_t c1 = static_cast<uint32_t>(b * 125 / 8);
    const uint32_t c0 = static_cast<uint32_t>((b - 1) * 125 / 8);
    EXPECT_TRUE(c1 - c0 == 15 || c1 - c0 == 16);
}

TEST(TickClock, WaitForTickChangeEndsOnStop) {
    TickClock::UseManual(true);
    StopEvent stop;
    std::atomic<bool> result{true};
    std::thread t([&] { result = TickClock::WaitForTickChange(TickClock::TickIndex(), stop); });
    std::this_thread::sleep_for(20ms);
    stop.Set();
    t.join();
    EXPECT_FALSE(result.load());
    TickClock::UseManual(false);
}

TEST(StopEvent, ManualResetWakesEveryWaiterAndStaysSet) {
    StopEvent ev;
    EXPECT_FALSE(ev.Wait(0));
    const auto t0 = steady_clock::now();
    EXPECT_FALSE(ev.Wait(30));
    EXPECT_GE(steady_clock::now() - t0, 29ms);

    std::atomic<int> woke{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) waiters.emplace_back([&] { woke += ev.Wait(-1); });
    ev.Set();
    for (auto& w : waiters) w.join();
    EXPECT_EQ(woke.load(), 3);
    EXPECT_TRUE(ev.Wait(0));
    ev.Reset();
    EXPECT_FALSE(ev.IsSet());
}

TEST(WorkerThread, StopRequestedBeforeTheBodyRunsIsNotLost) {
    for (int i = 0; i < 50; ++i) {
        WorkerThread w;
        std::atomic<bool> sawStop{false};
        w.Start("early", [&](StopEvent& stop) { sawStop = stop.Wait(5000); });
        w.Stop();
        EXPECT_TRUE(sawStop.load());
        EXPECT_FALSE(w.IsRunning());
    }
}

TEST(WorkerThread, StopPastGraceTracesAndStillJoins) {
    std::vector<std::string> lines;
    SetDebugSink([&](std::string_view l) { lines.emplace_back(l); });
    std::atomic<bool> finished{false};
    {
        WorkerThread w;
        w.Start("slow", [&](StopEvent&) {
            std::this_thread::sleep_for(80ms);  // ignores its stop event for a while
            finished = true;
        });
        w.Stop(10);
        EXPECT_TRUE(finished.load());  // joined, not detached
    }
    SetDebugSink(nullptr);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("slow"), std::string::npos);
}

TEST(Debug, SinkCapturesFormattedLines) {
    std::vector<std::string> lines;
    SetDebugSink([&](std::string_view l) { lines.emplace_back(l); });
    DebugOutF("value %d %s", 7, "x");
    SetDebugSink(nullptr);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "value 7 x");
}

TEST(Folders, XdgFoldersAndSlashes) {
    setenv("XDG_DATA_HOME", "/tmp/xdgdata", 1);
    EXPECT_EQ(DataHomeFolder(), "/tmp/xdgdata/");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(DataHomeFolder(), "/home/u/.local/share/");
    EXPECT_EQ(ConfigHomeFolder(), "/home/u/.config/");
    EXPECT_EQ(ToSlashPath("XML\\DeviceXml\\mousedevice.xml"), "XML/DeviceXml/mousedevice.xml");
    EXPECT_EQ(WithTrailingSlash("a\\b"), "a/b/");
    setenv("BROMMELIVANTOS_PROGRAM_DIR", "/opt/x", 1);
    EXPECT_EQ(ProgramFolder(), "/opt/x/");
    unsetenv("BROMMELIVANTOS_PROGRAM_DIR");
    EXPECT_EQ(ProgramFolder().back(), '/');
}

#include <sys/wait.h>
#include <unistd.h>

#include "platform/InstanceLock.h"

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstEnds) {
    char dir[] = "/tmp/brom-lock-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    setenv("XDG_RUNTIME_DIR", dir, 1);
    const std::string name = "BROMMELIVANTOS";
    EXPECT_FALSE(InstanceLock::IsHeldElsewhere(name));
    InstanceLock first(name);
    ASSERT_TRUE(first.TryAcquire());
    // flock locks belong to the open file, so a second process is needed to
    // see the lock as foreign.
    const pid_t child = fork();
    if (child == 0) {
        InstanceLock second(name);
        _exit((!second.TryAcquire() && InstanceLock::IsHeldElsewhere(name)) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    first.Release();
    EXPECT_FALSE(InstanceLock::IsHeldElsewhere(name));
    unsetenv("XDG_RUNTIME_DIR");
}
