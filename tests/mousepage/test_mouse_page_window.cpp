// The mouse page in the real main window: the scan finds a simulated mouse,
// the window builds and reads its page, and the settings controls are
// driven through the window's own event routing. One window per process.
#include <gtest/gtest.h>
#include "tests/app/ShellEnvironment.h"

#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

#include "app/AppEntry.h"
#include "app/ColorSelectWnd.h"
#include "app/MainWnd.h"
#include "app/pages/DeviceOption.h"
#include "app/pages/DeviceSettings.h"
#include "app/pages/MouseDevice.h"
#include "devices/CommandReport.h"
#include "hid/HidBus.h"
#include "sim/SimBus.h"
#include "sim/models/Models.h"
#include "tests/mousepage/MousePageSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Controls.h"
#include "ui/InputControls.h"
#include "ui/PaintManager.h"

namespace {

using namespace std::chrono_literals;
using app::pages::CTervanicMouseDevice;
using apptest::PumpUntil;
using uitest::Pump;

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(
    new apptest::ShellEnvironment(apptest::ShellParts::WholeShell));

class MainWindowMouseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        const std::string h = home.path().toStdString();
        setenv("XDG_CONFIG_HOME", (h + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (h + "/data").c_str(), 1);
        ui::ResetUiShutdown();
        bus = std::make_shared<sim::SimBus>();
        hid::SetActiveBus(bus);
        wnd = std::make_unique<app::CMainWnd>();
        ASSERT_TRUE(wnd->Create(nullptr, "BROMMELIVANTOS", 0x96CA0000u, 0, 0, 0, 800, 572));
        mouse = sim::models::MakeFirmwareModel("mouse");
        bus->Add(mouse);
        ASSERT_TRUE(PumpUntil([&] {
            page = dynamic_cast<CTervanicMouseDevice*>(wnd->CurrentDevice());
            return page && page->Engine() && page->Engine()->SettingsValid();
        }));
        Pump(50);
        mouse->ClearHostReports();
    }
    void TearDown() override {
        if (wnd && wnd->IsWindow()) {
            wnd->Close(0);
            Pump(50);
        }
        wnd.reset();
        Pump();
        hid::SetActiveBus(nullptr);
        ui::ResetUiShutdown();
    }

    ui::CControlUI* Find(const std::string& name) {
        ui::CControlUI* c = ui::CPaintManagerUI::FindSubControlByName(page, name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    void Notify(const std::string& name, const char* type) {
        wnd->GetPaintManager().SendNotify(Find(name), type);
        Pump();
    }
    void Select(const std::string& name, bool on) {
        static_cast<ui::COptionUI*>(Find(name)->GetInterface("Option"))->Selected(on, false);
        Notify(name, "selectchanged");
    }
    ui::CSliderUI* Slider(const std::string& name) {
        return static_cast<ui::CSliderUI*>(Find(name)->GetInterface("Slider"));
    }
    void ExpectMouseHoldsTheProfile() {
        EXPECT_EQ(mousepage::MousePage(*mouse), mousepage::ExpectedPage(*page));
    }

    QTemporaryDir home;
    std::shared_ptr<sim::SimBus> bus;
    std::shared_ptr<sim::models::FirmwareModel> mouse;
    std::unique_ptr<app::CMainWnd> wnd;
    CTervanicMouseDevice* page = nullptr;
};

TEST_F(MainWindowMouseTest, SettingsControlsReachProfileAndMouse) {
    // Typed below the minimum: the minimum's steps, shown as the minimum.
    Find("DPI_edit_1")->SetText("150");
    Notify("DPI_edit_1", "killfocus");
    EXPECT_EQ(Find("DPI_edit_1")->GetText(), "200");
    EXPECT_EQ(page->Profile().GetDPIStages()[1].stageDPIX, 0);
    ExpectMouseHoldsTheProfile();

    // Selecting a stage: all five slider positions, one settings write.
    const int positions[] = {4, 8, 16, 32, 64};
    for (int i = 0; i < 5; ++i)
        Slider("DPI_slider_" + std::to_string(i))->SetValue(positions[i]);
    mouse->ClearHostReports();
    Select("DPI_select_check_3", true);
    EXPECT_EQ(mousepage::Sent(*mouse, devices::kCmdBeginWrite), 1u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(page->Profile().GetDPIStages()[size_t(i)].stageDPIX, positions[i]);
    ExpectMouseHoldsTheProfile();

    // Stages off one by one: the last one's check ends disabled.
    for (int n : {0, 1, 2, 4})
        Select("DPI_enable_check_" + std::to_string(n), false);
    EXPECT_FALSE(Find("DPI_enable_check_3")->IsEnabled());
    ExpectMouseHoldsTheProfile();

    // Scroll lines while page scrolling is on: the check clears, nothing sent.
    Select("scrolls_page_check", true);
    mouse->ClearHostReports();
    Slider("scroll_speed_slider")->SetValue(9);
    Notify("scroll_speed_slider", "valuechanged");
    EXPECT_FALSE(static_cast<ui::COptionUI*>(Find("scrolls_page_check")->GetInterface("Option"))
                     ->IsSelected());
    EXPECT_EQ(mousepage::SavedProfile(*page)->GetActiveRoot()["SystemStages"]["ScorllPage"].asInt(),
              0);
    EXPECT_TRUE(mouse->HostReports().empty());

    // The advanced DPI edit is held to its range.
    Find("korva_DPI_edit_0")->SetText("7000");
    Notify("korva_DPI_edit_0", "killfocus");
    EXPECT_EQ(Find("korva_DPI_edit_0")->GetText(), "6500");

    // A stage colour chosen in the picker.
    constexpr uint32_t kChosen = 0xFF40C080;
    bool picked = false;
    QTimer::singleShot(50, [&] {
        app::CColorSelectWnd* picker = app::pages::OpenStageColourPicker();
        if (!picker) return;
        picker->SetCurrentColor(kChosen);
        if (ui::CControlUI* ok = picker->FindControl("okbtn")) {
            picked = true;
            picker->GetPaintManager().SendNotify(ok, "click");
        }
    });
    Notify("DPI_color_option_2", "click");
    EXPECT_TRUE(picked);
    const auto stage = mousepage::SavedProfile(*page)->GetDPIStages()[2];
    EXPECT_EQ((uint32_t(stage.red) << 16) | (uint32_t(stage.green) << 8) | stage.blue,
              kChosen & 0xFFFFFF);
    EXPECT_EQ(Find("DPI_color_option_2")->GetBkColor(), kChosen);
    ExpectMouseHoldsTheProfile();
}

TEST_F(MainWindowMouseTest, PollingOptionWithAPadSelectedChangesNothing) {
    auto pad = sim::models::MakeFirmwareModel("mousepad");
    bus->Add(pad);
    int padItem = -1;
    ASSERT_TRUE(PumpUntil([&] {
        for (int i = 0; i < wnd->DeviceItemCount(); ++i)
            if (auto* d = wnd->DeviceItem(i)->Device();
                d && d->TypeCode() == hid::kTypeMousePad && wnd->DeviceItem(i)->IsOwnVisible())
                padItem = i;
        return padItem >= 0;
    }));
    wnd->ShowDeviceItem(padItem, true, true);
    ASSERT_EQ(wnd->CurrentDevice()->TypeCode(), hid::kTypeMousePad);
    const auto words = page->Profile().GetSystemStages();
    const auto held = mousepage::MousePage(*mouse);
    mouse->ClearHostReports();
    pad->ClearHostReports();
    Select("polling_rate_option_4", true);
    EXPECT_EQ(page->Profile().GetSystemStages(), words);
    EXPECT_EQ(mousepage::MousePage(*mouse), held);
    EXPECT_TRUE(mouse->HostReports().empty());
    EXPECT_TRUE(pad->HostReports().empty());
}

}  // namespace
