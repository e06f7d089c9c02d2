// The light stream and configuration commands on one channel from two
// threads: every configuration answer must be its own.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/devices/ChannelRig.h"

using namespace devices;
using Bytes = std::vector<uint8_t>;

TEST(DeviceChannelThreads, LightStreamWhileConfigurationCommandsRun) {
    for (const char* product : {"keyboard", "keyboard-receiver"}) {
        ChannelRig rig(product);
        ASSERT_TRUE(rig.opened);
        std::atomic<bool> stop{false};
        std::atomic<int> frames{0}, frameFailures{0};
        std::thread light([&] {
            Bytes frame(512);
            uint8_t n = 0;
            while (!stop.load()) {
                std::fill(frame.begin(), frame.end(), n++);
                if (rig.channel.StreamLight(frame) == kResultOk)
                    frames.fetch_add(1);
                else
                    frameFailures.fetch_add(1);
            }
        });
        int configFailures = 0;
        for (int i = 0; i < 60; ++i) {
            const uint8_t value = static_cast<uint8_t>(i);
            Bytes page(34, value);
            Bytes back(34);
            DeviceInfo info;
            if (rig.channel.BeginWrite() != kResultOk) ++configFailures;
            if (rig.channel.WriteMemory(33, page) != kResultOk) ++configFailures;
            if (rig.channel.ReadMemory(33, back) != kResultOk) ++configFailures;
            if (rig.channel.ReadInfo(info) != kResultOk) ++configFailures;
            if (rig.channel.EndWrite() != kResultOk) ++configFailures;
            EXPECT_EQ(back, page) << product << " round " << i;
            EXPECT_EQ(info.bytes, rig.model->Info()) << product;
        }
        stop.store(true);
        light.join();
        EXPECT_EQ(configFailures, 0) << product;
        EXPECT_EQ(frameFailures.load(), 0) << product;
        EXPECT_GT(frames.load(), 0) << product;
        EXPECT_FALSE(rig.channel.IsBusy());
    }
}
