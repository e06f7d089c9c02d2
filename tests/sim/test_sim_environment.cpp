// BROMMELIVANTOS_SIMULATE and BROMMELIVANTOS_SIM_LATENCY_MS select the
// default bus (this test runs with both set, see CMakeLists.txt).
#include <gtest/gtest.h>

#include "hid/HidDevice.h"
#include "sim/SimBus.h"

namespace {

std::vector<std::string> SimPaths() {
    hid::CHidDevice dev;
    EXPECT_TRUE(dev.EnumerateInterfaces());
    std::vector<std::string> paths;
    while (const std::string* p = dev.NextPath()) {
        if (sim::SimBus::IsSimPath(*p)) paths.push_back(*p);
    }
    return paths;
}

TEST(SimEnvironment, DefaultBusHostsTheListedProducts) {
    const auto paths = SimPaths();  // first use builds the default bus
    EXPECT_EQ(sim::GlobalSimBus().Ids().size(), 2u);
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(paths.front().rfind("sim/mouse/", 0), 0u) << paths.front();
    EXPECT_EQ(paths.back().rfind("sim/headset/", 0), 0u) << paths.back();
    EXPECT_EQ(sim::GlobalSimBus().LatencyMs(), 2);

    // Plugging at run time on the global bus shows up in the next scan.
    const size_t before = paths.size();
    const int id = sim::GlobalSimBus().Add(sim::MakeProduct("mousepad"));
    EXPECT_GT(SimPaths().size(), before);
    sim::GlobalSimBus().Remove(id);
    EXPECT_EQ(SimPaths().size(), before);

    std::string error;
    EXPECT_FALSE(sim::EnableSimulation("mouse,nonsense", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(sim::EnableSimulation("keyboard", &error));
    EXPECT_EQ(sim::GlobalSimBus().Ids().size(), 3u);
    EXPECT_TRUE(hid::CHidDevice::IsPresent(SimPaths().back()));
}

}  // namespace
