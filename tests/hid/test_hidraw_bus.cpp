// The hidraw bus on a fixture sysfs tree: the paths it lists, what it skips,
// the presence test, reports without IDs and refused opens.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "hid/HidDevice.h"
#include "hid/HidrawBus.h"
#include "sim/Descriptors.h"
#include "tests/hid/HidrawFixture.h"

using namespace hid;
using Bytes = std::vector<uint8_t>;

namespace {

class HidrawBusTest : public ::testing::Test {
  protected:
    testfixture::HidrawFixture fx;
    CHidrawBus bus{fx.Roots()};

    std::vector<std::string> Paths() {
        std::vector<std::string> paths;
        EXPECT_TRUE(bus.Enumerate(paths));
        return paths;
    }
};

TEST_F(HidrawBusTest, ListsOnePathPerCollectionAndSkipsUnreadableInterfaces) {
    fx.AddNode("hidraw10", 0x0C76, 0x1630, 3, 0x0100, sim::HeadsetDescriptor());
    fx.AddNode("hidraw2", 0x320F, 0x5084, 1, 0x0100, sim::CommandInterfaceDescriptor());
    fx.AddNode("hidraw3", 0x320F, 0x50EF, 1, 0x0100, {0xA1, 0x01});  // broken descriptor
    fx.AddNode("hidraw4", 0x320F, 0x50EF, 1, 0x0100, sim::BootMouseDescriptor(), false);
    fx.AddNode("hidraw5", 0x046D, 0xB01A, -1, 0x0100, sim::BootKeyboardDescriptor());
    const std::string dev = fx.Root() + "/dev/";
    const std::vector<std::string> expected = {
        dev + "hidraw2#vid_320f&pid_5084&mi_01&col01",
        dev + "hidraw2#vid_320f&pid_5084&mi_01&col02",
        dev + "hidraw2#vid_320f&pid_5084&mi_01&col03",
        dev + "hidraw2#vid_320f&pid_5084&mi_01&col04",
        dev + "hidraw5#vid_046d&pid_b01a",         // not on USB: no interface number
        dev + "hidraw10#vid_0c76&pid_1630&mi_03",  // one collection: no "&col"
    };
    EXPECT_EQ(Paths(), expected);
}

TEST_F(HidrawBusTest, NoHidrawClassMeansNoInterfaces) {
    CHidrawBus empty({fx.Root() + "/nothing", fx.Root() + "/dev"});
    std::vector<std::string> paths;
    EXPECT_TRUE(empty.Enumerate(paths));
    EXPECT_TRUE(paths.empty());
}

TEST_F(HidrawBusTest, PresenceFollowsTheNodeAndItsProduct) {
    fx.AddNode("hidraw0", 0x320F, 0x50EF, 1, 0x0100, sim::CommandInterfaceDescriptor());
    const std::string path = Paths().at(3);
    EXPECT_TRUE(bus.Present(path));
    EXPECT_FALSE(bus.Present(fx.DevPath("hidraw1") + "#vid_320f&pid_50ef&mi_01&col04"));
    EXPECT_FALSE(bus.Present("/elsewhere/hidraw0#vid_320f&pid_50ef&mi_01&col04"));
    EXPECT_FALSE(bus.Present(fx.DevPath("../hidraw0") + "#vid_320f&pid_50ef"));
    // Unplugged, and the node number reused by another product.
    fx.Unplug("hidraw0");
    EXPECT_FALSE(bus.Present(path));
    fx.AddNode("hidraw0", 0x320F, 0x5084, 1, 0x0100, sim::CommandInterfaceDescriptor());
    EXPECT_FALSE(bus.Present(path));
    int err = 0;
    EXPECT_EQ(bus.Open(path, true, false, &err), nullptr);
    EXPECT_EQ(err, ENOENT);
}

TEST_F(HidrawBusTest, ReportsWithoutIdsGetAZeroIdByte) {
    fx.AddNode("hidraw0", 0x320F, 0x50EF, 0, 0x0100, sim::BootMouseDescriptor());
    CHidDevice dev;
    SetActiveBus(MakeHidrawBus(fx.Roots()));
    ASSERT_TRUE(dev.Open(Paths().at(0), true, false, true, false));
    EXPECT_EQ(dev.Caps().inputReportByteLength, 7);  // 0 + buttons + X, Y (16 bits) + wheel
    EXPECT_EQ(dev.InterfaceNumber(), 0u);
    EXPECT_EQ(dev.CollectionNumber(), 0u);
    fx.Send("hidraw0", {0x01, 0x05, 0x00, 0xFE, 0xFF, 0x00});  // left button, X 5, Y -2
    auto& report = dev.InputReport();
    size_t got = 0;
    ASSERT_TRUE(dev.ReadReport(report.data(), report.size(), &got, 1000));
    EXPECT_EQ(Bytes(report.begin(), report.begin() + long(got)),
              (Bytes{0x00, 0x01, 0x05, 0x00, 0xFE, 0xFF, 0x00}));
    ASSERT_TRUE(dev.UnpackInputReport(report.data(), got));
    const auto& items = dev.InputItems();
    ASSERT_EQ(items.size(), 4u);  // buttons, X, Y, wheel
    EXPECT_TRUE(items[0].isButtonData);
    EXPECT_EQ(items[0].usages.size(), 5u);
    EXPECT_EQ(items[0].usages[0], 1);
    EXPECT_EQ(items[0].usages[1], 0) << "zero after the last usage";
    EXPECT_EQ(items[1].usage, 0x30);
    EXPECT_EQ(items[1].scaledValue, 5);
    EXPECT_EQ(items[2].usage, 0x31);
    EXPECT_EQ(items[2].value, 0xFFFEu);
    EXPECT_EQ(items[2].scaledValue, -2);
    SetActiveBus(nullptr);
}

TEST_F(HidrawBusTest, WritesGoOutAsGivenAndOutputReportsToo) {
    fx.AddNode("hidraw0", 0x0C76, 0x1630, 3, 0x0100, sim::HeadsetDescriptor());
    auto node = bus.Open(Paths().at(0), true, true, nullptr);
    ASSERT_NE(node, nullptr);
    Bytes leds(17, 0x11);
    leds[0] = sim::kHeadsetOutputReportId;
    EXPECT_TRUE(node->SetOutputReport(leds.data(), leds.size()));
    EXPECT_EQ(fx.Receive("hidraw0", 17), leds);
    // After Abort every transfer fails at once until ClearAbort.
    node->Abort();
    size_t n = 0;
    EXPECT_EQ(node->Write(leds.data(), leds.size(), n, -1), IoResult::Aborted);
    EXPECT_FALSE(node->SetOutputReport(leds.data(), leds.size()));
    node->ClearAbort();
    EXPECT_EQ(node->Write(leds.data(), leds.size(), n, 1000), IoResult::Ok);
    EXPECT_EQ(fx.Receive("hidraw0", 17), leds);
}

// Opens the command collection as a user without rights to the node: EACCES.
int OpenErrorWithoutRights(const HidrawRoots& roots, const std::string& path) {
    SetActiveBus(MakeHidrawBus(roots));
    CHidDevice dev;
    const bool opened = dev.Open(path, true, false, true, false);
    SetActiveBus(nullptr);
    return opened ? 0 : dev.LastOpenError();
}

TEST_F(HidrawBusTest, PermissionDeniedIsReported) {
    fx.AddNode("hidraw0", 0x320F, 0x50EF, 1, 0x0100, sim::CommandInterfaceDescriptor());
    const std::string path = Paths().at(3);
    ASSERT_EQ(::chmod(fx.Root().c_str(), 0755), 0);
    char node[4096];
    const ssize_t len = ::readlink(fx.DevPath("hidraw0").c_str(), node, sizeof node - 1);
    ASSERT_GT(len, 0);
    node[len] = '\0';
    ASSERT_EQ(::chmod(node, 0), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(OpenErrorWithoutRights(fx.Roots(), path), EACCES);
        return;
    }
    // Root opens anything: drop the rights in a child inside a new user
    // namespace, where the node's owner is nobody we are.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::unshare(CLONE_NEWUSER) != 0) ::_exit(77);
        ::_exit(OpenErrorWithoutRights(fx.Roots(), path) == EACCES ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no user namespaces here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
