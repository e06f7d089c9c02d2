// Devices in the real main window: the real scan thread finds simulated
// products, the connection code opens them and the window shows, hides and
// selects their items, on Qt's offscreen platform.
#include <gtest/gtest.h>
#include "tests/app/ShellEnvironment.h"

#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/AppEntry.h"
#include "app/AppMessages.h"
#include "app/MainWnd.h"
#include "app/pages/DeviceOption.h"
#include "app/pages/MouseDevice.h"
#include "app/pages/UsbDevice.h"
#include "devices/events/LightSync.h"
#include "hid/HidBus.h"
#include "hid/scan/InterfaceSlots.h"
#include "platform/Debug.h"
#include "sim/SimBus.h"
#include "sim/models/Models.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Containers.h"
#include "ui/Controls.h"
#include "ui/PaintManager.h"

namespace {

using apptest::PumpUntil;
using uitest::Pump;
using namespace std::chrono_literals;

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(
    new apptest::ShellEnvironment(apptest::ShellParts::WholeShell));

// Item order: the mouse and keyboard pages are built at the first layout.
constexpr int kMouseItem = 0;
constexpr int kKeyboardItem = 1;

class DeviceWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        const std::string h = home.path().toStdString();
        setenv("XDG_CONFIG_HOME", (h + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (h + "/data").c_str(), 1);
        ui::ResetUiShutdown();
        platform::SetDebugSink([this](std::string_view line) {
            std::lock_guard<std::mutex> lock(traceMutex);
            trace.emplace_back(line);
        });
        bus = std::make_shared<sim::SimBus>();
        hid::SetActiveBus(bus);
    }
    void OpenWindow() {
        wnd = std::make_unique<app::CMainWnd>();
        ASSERT_TRUE(wnd->Create(nullptr, "BROMMELIVANTOS", 0x96CA0000u, 0, 0, 0, 800, 572));
        wnd->CenterWindow();
        ASSERT_TRUE(PumpUntil([&] { return wnd->IsWindowVisible(); }));
    }
    void TearDown() override {
        if (wnd && wnd->IsWindow()) {
            wnd->Close(0);
            Pump(50);
        }
        wnd.reset();
        Pump();
        hid::SetActiveBus(nullptr);
        platform::SetDebugSink(nullptr);
        ui::ResetUiShutdown();
    }

    int Plug(const std::string& name, std::shared_ptr<sim::models::FirmwareModel>* out = nullptr,
             bool linkUp = true) {
        auto model = sim::models::MakeFirmwareModel(name);
        model->SetLinkUp(linkUp);
        if (out) *out = model;
        return bus->Add(model);
    }
    app::pages::CDeviceOptionUI* Item(int i) { return wnd->DeviceItem(i); }
    app::pages::CTervanicUSBDevice* Device(int i) { return Item(i)->Device(); }
    bool Visible(int i) { return Item(i)->IsOwnVisible(); }
    int ClaimedSlots() { return int(wnd->ScanSlots().Claimed().size()); }
    std::vector<std::string> Trace() {
        std::lock_guard<std::mutex> lock(traceMutex);
        return trace;
    }
    int PageCount() {
        auto* tabs = dynamic_cast<ui::CContainerUI*>(wnd->FindControl("device_switch"));
        return tabs ? tabs->GetCount() : -1;
    }
    int SelectedTab(const char* name) {
        auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(wnd->FindControl(name));
        return tabs ? tabs->GetCurSel() : -2;
    }

    QTemporaryDir home;
    std::mutex traceMutex;
    std::vector<std::string> trace;
    std::shared_ptr<sim::SimBus> bus;
    std::unique_ptr<app::CMainWnd> wnd;
};

TEST_F(DeviceWindowTest, MouseAndKeyboardPagesExistFromTheStartWithTheirIcons) {
    OpenWindow();
    ASSERT_EQ(wnd->DeviceItemCount(), 2);
    EXPECT_EQ(PageCount(), 2);
    EXPECT_EQ(Device(kMouseItem)->Kind(), hid::kKindMouse);
    EXPECT_EQ(Device(kKeyboardItem)->Kind(), hid::kKindKeyboard);
    EXPECT_EQ(Item(kMouseItem)->Icons().normal, "common/device_ico/ms_device_normal.png");
    EXPECT_EQ(Item(kKeyboardItem)->Icons().selected, "common/device_ico/kb_device_selected.png");
    EXPECT_FALSE(Visible(kMouseItem));
    EXPECT_TRUE(wnd->FindControl("No_device_Link")->IsVisible());
    EXPECT_EQ(SelectedTab("device_switch"), 0);
    EXPECT_EQ(wnd->CurrentDevice(), nullptr);
    // The pages found their picture buttons.
    EXPECT_EQ(Device(kKeyboardItem)->LightButtons().size(), 170u);
    size_t bound = 0;
    for (auto* b : Device(kKeyboardItem)->LightButtons())
        bound += b != nullptr;
    EXPECT_EQ(bound, 170u);
}

TEST_F(DeviceWindowTest, ArrivalsAtStartComeBeforeTheInstanceMessage) {
    Plug("mouse");
    Plug("keyboard");
    OpenWindow();
    ASSERT_TRUE(PumpUntil([&] { return Visible(kMouseItem) && Visible(kKeyboardItem); }));
    const std::vector<std::string> lines = Trace();
    auto indexOf = [&](const std::string& text) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].find(text) != std::string::npos) return int(i);
        return -1;
    };
    const int instance = indexOf("软件标示 ");
    ASSERT_GE(instance, 0);
    EXPECT_GE(indexOf("添加一个鼠标设备"), 0);
    EXPECT_LT(indexOf("添加一个鼠标设备"), instance);
    EXPECT_LT(indexOf("添加一个键盘设备"), instance);
    // The first device shown is selected; the second is shown unselected.
    EXPECT_EQ(wnd->CurrentItemIndex(), kMouseItem);
    EXPECT_FALSE(wnd->FindControl("No_device_Link")->IsVisible());
}

TEST_F(DeviceWindowTest, ReceiverWithTheMouseOffShowsTheItemOnceTheMouseAnswers) {
    OpenWindow();
    std::shared_ptr<sim::models::FirmwareModel> rx;
    Plug("mouse-receiver", &rx, false);
    ASSERT_TRUE(PumpUntil([&] { return Device(kMouseItem)->IsOpen(); }));
    EXPECT_TRUE(Device(kMouseItem)->OnReceiver());
    // The connection timer asks and finds no link.
    ASSERT_TRUE(PumpUntil([&] { return Item(kMouseItem)->LinkRetryCount() > 0; }));
    EXPECT_FALSE(Visible(kMouseItem));
    rx->SetLinkUp(true);
    // Shown at the next check, 3 s later at most (with room for a loaded machine).
    EXPECT_TRUE(PumpUntil([&] { return Visible(kMouseItem); }, 6s));
    EXPECT_EQ(Item(kMouseItem)->LinkRetryCount(), 0);
}

TEST_F(DeviceWindowTest, CableAndReceiverShareOnePage) {
    OpenWindow();
    const int rx = Plug("mouse-receiver");
    ASSERT_TRUE(PumpUntil([&] { return Visible(kMouseItem); }));
    ASSERT_TRUE(Device(kMouseItem)->OnReceiver());
    const int cable = Plug("mouse");
    ASSERT_TRUE(PumpUntil([&] { return !Device(kMouseItem)->OnReceiver(); }));
    EXPECT_TRUE(Device(kMouseItem)->IsOpen());
    EXPECT_EQ(wnd->DeviceItemCount(), 2);
    EXPECT_EQ(PageCount(), 2);
    // The cable leaves: back to the receiver, the item stays.
    bus->Remove(cable);
    ASSERT_TRUE(PumpUntil([&] { return Device(kMouseItem)->OnReceiver(); }));
    EXPECT_TRUE(Device(kMouseItem)->IsOpen());
    EXPECT_TRUE(Visible(kMouseItem));
    // Now by cable again, and the receiver leaves: the cable goes on.
    Plug("mouse");
    ASSERT_TRUE(PumpUntil([&] { return !Device(kMouseItem)->OnReceiver(); }));
    bus->Remove(rx);
    ASSERT_TRUE(PumpUntil([&] { return ClaimedSlots() == 2; }));  // the cable's two
    Pump(100);
    EXPECT_TRUE(Device(kMouseItem)->IsOpen());
    EXPECT_FALSE(Device(kMouseItem)->OnReceiver());
    EXPECT_TRUE(Visible(kMouseItem));
}

TEST_F(DeviceWindowTest, ASecondIdenticalKeyboardIsIgnored) {
    OpenWindow();
    Plug("keyboard");
    ASSERT_TRUE(PumpUntil([&] { return Visible(kKeyboardItem); }));
    const int claimed = ClaimedSlots();
    Plug("keyboard");
    Pump(400);
    EXPECT_EQ(ClaimedSlots(), claimed);
    EXPECT_EQ(wnd->DeviceItemCount(), 2);
    EXPECT_EQ(PageCount(), 2);
}

TEST_F(DeviceWindowTest, UnpluggingTheSelectedDeviceSelectsTheNextVisibleOne) {
    OpenWindow();
    const int mouse = Plug("mouse");
    ASSERT_TRUE(PumpUntil([&] { return Visible(kMouseItem); }));
    const int pad = Plug("mousepad");
    ASSERT_TRUE(PumpUntil([&] { return wnd->DeviceItemCount() == 3 && Visible(2); }));
    EXPECT_EQ(Item(2)->Icons().normal, "common/device_ico/hard_mp_device_normal.png");
    EXPECT_EQ(wnd->CurrentItemIndex(), kMouseItem);
    // Next and previous walk the visible items and stop at the ends.
    uitest::Click(wnd->FindControl("device_select_next"));
    Pump(30);
    EXPECT_EQ(wnd->CurrentItemIndex(), 2);
    uitest::Click(wnd->FindControl("device_select_next"));
    Pump(30);
    EXPECT_EQ(wnd->CurrentItemIndex(), 2);
    uitest::Click(wnd->FindControl("device_select_prev"));
    Pump(30);
    EXPECT_EQ(wnd->CurrentItemIndex(), kMouseItem);

    bus->Remove(mouse);
    ASSERT_TRUE(PumpUntil([&] { return !Visible(kMouseItem); }));
    EXPECT_EQ(wnd->CurrentItemIndex(), 2);
    EXPECT_EQ(SelectedTab("device_switch"), Item(2)->BoundPageIndex());
    EXPECT_FALSE(wnd->FindControl("No_device_Link")->IsVisible());

    bus->Remove(pad);
    ASSERT_TRUE(PumpUntil([&] { return !Visible(2); }));
    EXPECT_EQ(wnd->CurrentItemIndex(), -1);
    EXPECT_TRUE(wnd->FindControl("No_device_Link")->IsVisible());
    EXPECT_EQ(SelectedTab("device_switch"), 0);
    EXPECT_EQ(SelectedTab("device_power_switch"), 0);
    // The pad's page stays for its next arrival.
    EXPECT_EQ(PageCount(), 3);
}

TEST_F(DeviceWindowTest, ProfileSwitchFromTheMouseReachesItsPage) {
    OpenWindow();
    std::shared_ptr<sim::models::FirmwareModel> mouse;
    Plug("mouse", &mouse);
    ASSERT_TRUE(PumpUntil([&] {
        return Visible(kMouseItem) && Device(kMouseItem)->Events().IsReaderRunning(hid::kTypeMouse);
    }));
    Pump(100);
    mouse->RaiseEvent(0x1003);
    auto* m = dynamic_cast<app::pages::CTervanicMouseDevice*>(Device(kMouseItem));
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return m->Engine() && m->Engine()->CurrentProfile() == 3; }));
}

TEST_F(DeviceWindowTest, UnpluggingOneOfTwoSynchronisedDevicesEndsSynchronisedLighting) {
    OpenWindow();
    const int mouse = Plug("mouse");
    Plug("keyboard");
    ASSERT_TRUE(PumpUntil([&] { return Visible(kMouseItem) && Visible(kKeyboardItem); }));
    Device(kMouseItem)->Command().SetPaused(true);
    Device(kKeyboardItem)->Command().SetPaused(true);
    ASSERT_NE(devices::events::FirstSynchronisedDevice(wnd->Registry().Snapshot()), nullptr);
    bus->Remove(mouse);
    ASSERT_TRUE(PumpUntil([&] { return !Visible(kMouseItem); }));
    EXPECT_FALSE(Device(kMouseItem)->Command().IsPaused());
    EXPECT_FALSE(Device(kKeyboardItem)->Command().IsPaused());
}

TEST_F(DeviceWindowTest, TheNoDevicePageButtonPlugsTheDemoDevices) {
    hid::SetActiveBus(nullptr);
    OpenWindow();
    ASSERT_NE(wnd->FindControl("nodevice_demo_btn"), nullptr);
    uitest::Click(wnd->FindControl("nodevice_demo_btn"));
    EXPECT_TRUE(PumpUntil(
        [&] {
            return wnd->DeviceItemCount() == 4 && Visible(kMouseItem) && Visible(kKeyboardItem) &&
                   Visible(2) && Visible(3);
        },
        8s));
}

}  // namespace

namespace {

TEST_F(DeviceWindowTest, PadPowerItemShowsBatteryChargeAndPhone) {
    OpenWindow();
    std::shared_ptr<sim::models::FirmwareModel> pad;
    Plug("mousepad", &pad);
    pad->SetStatusBlock({57, 1, 0, 0, 0, 2});
    ASSERT_TRUE(PumpUntil([&] { return wnd->DeviceItemCount() == 3 && Visible(2); }));
    app::pages::CMpDevicePowerUI* power = Device(2)->PowerItem();
    ASSERT_NE(power, nullptr);
    auto part = [&](const char* name) {
        return ui::CPaintManagerUI::FindSubControlByName(power, name);
    };
    ASSERT_TRUE(PumpUntil([&] { return part("device_power_value")->GetText() == "57%"; }));
    EXPECT_EQ(dynamic_cast<ui::CProgressUI*>(part("device_Power_progress"))->GetValue(), 43);
    EXPECT_EQ(part("device_power_status")->GetBkImage(), "file='power/powering.png'");
    EXPECT_FALSE(part("device_wuxian_logo")->IsOwnVisible());  // by cable
    EXPECT_TRUE(part("device_phone_type")->IsOwnVisible());
    EXPECT_EQ(part("device_phone_type")->GetBkImage(), "file='power/Phone_type_samsung.png'");
    // The pad reports no battery of its own: its battery area stays hidden.
    EXPECT_FALSE(part("device_power_Layout")->IsOwnVisible());
}

TEST_F(DeviceWindowTest, HeadsetItemUsesTheHeadsetIcons) {
    OpenWindow();
    Plug("headset");
    ASSERT_TRUE(PumpUntil([&] { return wnd->DeviceItemCount() == 3 && Visible(2); }));
    EXPECT_EQ(Item(2)->Icons().normal, "common/device_ico/hd_device_normal.png");
    EXPECT_EQ(Item(2)->Icons().synchroSelected, "common/device_ico/hd_device_synchro_selected.png");
    EXPECT_EQ(Device(2)->Kind(), hid::kKindHeadset);
    EXPECT_EQ(wnd->CurrentItemIndex(), 2);
}

}  // namespace
