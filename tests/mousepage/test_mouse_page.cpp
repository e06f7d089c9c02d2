// The mouse page built from the program's skin into a window on Qt's
// offscreen platform, connected to a simulated mouse: the settings controls
// driven by their events, the profile and the mouse's settings memory read
// back after each change.
#include <gtest/gtest.h>
#include <stdlib.h>
#include "tests/app/ShellEnvironment.h"

#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/AppEntry.h"
#include "app/ColorSelectWnd.h"
#include "app/MainRoutes.h"
#include "app/pages/DeviceSettings.h"
#include "app/pages/MouseDevice.h"
#include "devices/CommandReport.h"
#include "devices/mouse/MouseSettingsPage.h"
#include "editors/CustomControls.h"
#include "hid/Catalog.h"
#include "hid/HidBus.h"
#include "profiles/JsonFile.h"
#include "sim/SimBus.h"
#include "sim/models/Models.h"
#include "tests/mousepage/MousePageSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Builder.h"
#include "ui/Controls.h"
#include "ui/InputControls.h"
#include "ui/PaintManager.h"

namespace {

using app::pages::CTervanicMouseDevice;
using uitest::Pump;

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(
    new apptest::ShellEnvironment(apptest::ShellParts::Controls));

// The window that carries a device page, creating the device objects for
// their skin elements as the main window does.
class HostWnd : public ui::WindowImplBase {
  public:
    std::string GetSkinFile() override { return "msgwnd.xml"; }
    std::string GetWindowClassName() const override { return "MousePageHost"; }
    ui::CControlUI* CreateControl(const char* name) override {
        if (std::string_view(name) == "TervanicMouseDevice") return new CTervanicMouseDevice;
        return nullptr;
    }
};

std::shared_ptr<sim::models::FirmwareModel> MakeModel(const std::string& product) {
    return sim::models::MakeFirmwareModel(product);
}

class MousePageTest : public ::testing::Test {
  protected:
    void SetUp() override { Open(hid::kTypeMouse); }

    void Open(hid::DeviceTypeCode typeCode, const std::string& product = "mouse") {
        ASSERT_TRUE(home.isValid());
        setenv("XDG_DATA_HOME", (home.path().toStdString() + "/data").c_str(), 1);
        bus = std::make_shared<sim::SimBus>();
        model = MakeModel(product);
        ASSERT_NE(model, nullptr);
        bus->Add(model);
        hid::SetActiveBus(bus);

        wnd = std::make_unique<HostWnd>();
        ASSERT_TRUE(wnd->Create(nullptr, "host", ui::UI_WNDSTYLE_FRAME & ~ui::WS_VISIBLE, 0));
        ui::CDialogBuilder builder;
        ui::CControlUI* root =
            builder.Create("XML\\DeviceXml\\mousedevice.xml", wnd.get(), &wnd->GetPaintManager());
        ASSERT_NE(root, nullptr) << builder.GetLastError();
        page = static_cast<CTervanicMouseDevice*>(root->GetInterface("TervanicMouseDevice"));
        ASSERT_NE(page, nullptr);
        auto* host = static_cast<ui::CContainerUI*>(
            wnd->GetPaintManager().GetRoot()->GetInterface("Container"));
        ASSERT_NE(host, nullptr);
        host->Add(page);

        const hid::DeviceCatalogEntry& row = hid::DeviceCatalog()[size_t(hid::kKindMouse)];
        app::pages::DevicePageSetup setup;
        setup.pageFile = row.pageXml;
        setup.mainWnd = wnd.get();
        setup.keyCount = row.keyCount;
        setup.lightZoneCount = row.lightZoneCount;
        setup.appDataFolder = home.path().toStdString() + "/app/";
        setup.deviceName = row.name;
        setup.row.typeCode = typeCode;
        page->Setup(setup);
        page->BindPageButtons();

        std::vector<std::string> paths;
        bus->Enumerate(paths);
        std::string path;
        for (const auto& p : paths)
            if (p.find("&col04") != std::string::npos) path = p;
        devices::DeviceChannel& channel = page->Command();
        const bool receiver = model->IsReceiver();
        hid::CHidDevice& iface = receiver ? channel.ReceiverInterface() : channel.CableInterface();
        ASSERT_TRUE(iface.Open(path, true, true, true, false));
        channel.SetLinkType(receiver ? 2 : 1);
        channel.SetOpen(true);
        page->ReadDevice();
        Pump();
        model->ClearHostReports();
    }

    void TearDown() override {
        if (page) page->StopThreads();
        if (wnd && wnd->IsWindow()) wnd->DestroyWindow();
        wnd.reset();
        Pump();
        hid::SetActiveBus(nullptr);
    }

    ui::CControlUI* Find(const std::string& name) {
        ui::CControlUI* c = ui::CPaintManagerUI::FindSubControlByName(page, name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    template <class T>
    T* As(const std::string& name, const char* iface) {
        ui::CControlUI* c = Find(name);
        return c ? static_cast<T*>(c->GetInterface(iface)) : nullptr;
    }
    // The event of a control, routed as the main window routes it.
    bool Send(const std::string& name, const std::string& type) {
        ui::CControlUI* c = Find(name);
        if (!c) return false;
        ui::TNotifyUI msg;
        msg.sType = type;
        msg.pSender = c;
        const app::RouteResult routes = app::RouteEvent(type, name);
        bool handled = false;
        for (const app::RouteHit& hit : routes.hits)
            handled |= app::pages::HandleDeviceSettings(page, msg, hit);
        return handled;
    }
    void Select(const std::string& name, bool on) {
        As<ui::COptionUI>(name, "Option")->Selected(on, false);
        EXPECT_TRUE(Send(name, "selectchanged")) << name;
    }
    void Slide(const std::string& name, int value, const char* type = "valuechanged") {
        As<ui::CSliderUI>(name, "Slider")->SetValue(value);
        EXPECT_TRUE(Send(name, type)) << name;
    }
    void Type(const std::string& name, const std::string& text, const char* type = "killfocus") {
        Find(name)->SetText(text);
        EXPECT_TRUE(Send(name, type)) << name;
    }
    bool Checked(const std::string& name) {
        return As<ui::COptionUI>(name, "Option")->IsSelected();
    }

    size_t Sent(uint8_t code) const { return mousepage::Sent(*model, code); }
    std::vector<uint8_t> ExpectedPage() { return mousepage::ExpectedPage(*page); }
    std::vector<uint8_t> MousePage() const { return mousepage::MousePage(*model); }
    std::unique_ptr<profiles::CMouseProfiledata> SavedProfile() {
        return mousepage::SavedProfile(*page);
    }

    QTemporaryDir home;
    std::shared_ptr<sim::SimBus> bus;
    std::shared_ptr<sim::models::FirmwareModel> model;
    std::unique_ptr<HostWnd> wnd;
    CTervanicMouseDevice* page = nullptr;
};

TEST_F(MousePageTest, PageShowsTheProfileAndTheMouse) {
    // Key buttons, light buttons and the DPI rules read from the mouse.
    ASSERT_EQ(page->KeyButtons().size(), 11u);
    for (auto* b : page->KeyButtons())
        EXPECT_NE(b, nullptr);
    for (auto* b : page->LightButtons())
        EXPECT_NE(b, nullptr);
    EXPECT_EQ(As<ui::CSliderUI>("DPI_slider_0", "Slider")->GetValue(),
              page->Profile().GetDPIStages()[0].stageDPIX);
    const int steps = page->Profile().GetDPIStages()[1].stageDPIX;
    EXPECT_EQ(Find("DPI_edit_1")->GetText(), std::to_string(page->StepsToDpi(steps)));
    const int active = page->Profile().GetActiveStage();
    EXPECT_TRUE(Checked("DPI_select_check_" + std::to_string(active)));
    EXPECT_FALSE(Find("DPI_enable_check_" + std::to_string(active))->IsEnabled());
    EXPECT_EQ(As<ui::CSliderUI>("DPI_slider_" + std::to_string(active), "Slider")->GetThumbImage(),
              "Control/SliderBar1_Thumb.png");
    // Captions: a tool-tip title per key and one info row per key.
    EXPECT_FALSE(page->KeyButtons()[0]->GetToolTipTitle().empty());
    auto* list = As<ui::CContainerUI>("device_setkeyinfo_list", "Container");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCount(), 11);
    EXPECT_EQ(Find("logo")->GetToolTipTitle(), "Logo");
    // The first sub-tab option is selected.
    EXPECT_TRUE(Checked("mouse_device_seting_option_0"));
}

TEST_F(MousePageTest, SwitchingStagesOffOneByOneLeavesTheLastCheckDisabled) {
    Select("DPI_select_check_4", true);
    for (int n = 0; n < 4; ++n) {
        const std::string check = "DPI_enable_check_" + std::to_string(n);
        ASSERT_TRUE(Find(check)->IsEnabled()) << n;
        Select(check, false);
        EXPECT_EQ(page->Profile().GetDPIStages()[size_t(n)].stageActive, 0) << n;
        EXPECT_FALSE(Find("DPI_layout_" + std::to_string(n))->IsEnabled());
        EXPECT_EQ(MousePage(), ExpectedPage()) << n;
    }
    EXPECT_TRUE(Checked("DPI_enable_check_4"));
    EXPECT_FALSE(Find("DPI_enable_check_4")->IsEnabled());
    EXPECT_EQ(page->Profile().GetDPIStages()[4].stageActive, 1);
    // The profile on disk says the same.
    EXPECT_EQ(SavedProfile()->GetDPIStages(), page->Profile().GetDPIStages());
}

TEST_F(MousePageTest, LastEnabledStageCannotBeSwitchedOffEvenWhenNotActive) {
    // A profile whose active stage 0 is off, with stages 1 and 2 on.
    std::vector<profiles::DPIStage> stages = page->Profile().GetDPIStages();
    for (size_t i = 0; i < stages.size(); ++i)
        stages[i].stageActive = (i == 1 || i == 2);
    page->SetDPIStages(stages);
    page->Profile().SetActiveStage(0);
    page->RefreshPage();
    EXPECT_FALSE(Find("DPI_enable_check_0")->IsEnabled());
    EXPECT_TRUE(Find("DPI_enable_check_1")->IsEnabled());
    EXPECT_TRUE(Find("DPI_enable_check_2")->IsEnabled());

    Select("DPI_enable_check_1", false);
    EXPECT_FALSE(Find("DPI_enable_check_2")->IsEnabled());
    EXPECT_EQ(page->Profile().GetDPIStages()[2].stageActive, 1);
    EXPECT_EQ(MousePage(), ExpectedPage());
    // A second stage on again frees the check.
    Select("DPI_enable_check_3", true);
    EXPECT_TRUE(Find("DPI_enable_check_2")->IsEnabled());
    EXPECT_TRUE(Find("DPI_enable_check_3")->IsEnabled());
    EXPECT_FALSE(Find("DPI_enable_check_0")->IsEnabled());
    // The same rule holds when the page is shown again.
    Select("DPI_enable_check_3", false);
    page->RefreshPage();
    EXPECT_FALSE(Find("DPI_enable_check_2")->IsEnabled());
}

TEST_F(MousePageTest, KeyCaptionsNameTheAssignmentsAndMarkChangedKeys) {
    // One macro in the device's macro list; key 3 plays it, key 1 is a
    // media key.
    Json::Value list(Json::objectValue);
    Json::Value entry(Json::objectValue);
    entry["MacroName"] = "Reload";
    entry["Guid"] = "guid_reload";
    list["MacroInfo"].append(entry);
    ASSERT_TRUE(profiles::CJsonFile().WriteJsonFile(page->DeviceFolder() + "macro.config", list));
    auto keys = page->Profile().GetKeyList();
    ASSERT_GE(keys.size(), 11u);
    keys[3].SetAssignment(0x700000);
    keys[1].SetAssignment(0x30CD00);
    page->Profile().SetKeyList(keys);
    page->RefreshPage();

    const auto& buttons = page->KeyButtons();
    EXPECT_EQ(buttons[3]->GetToolTip(), "Reload");
    EXPECT_EQ(buttons[1]->GetToolTip(), page->AssignmentCaption(0x30, 0xCD, 0x00));
    EXPECT_EQ(buttons[3]->GetKeySetImageHidden(), 0u);
    EXPECT_EQ(buttons[0]->GetKeySetImageHidden(), 1u);
    // The information list repeats title and name per key.
    auto* row = Find("device_setkeyinfo_row_3");
    ASSERT_NE(row, nullptr);
    auto* cells = static_cast<ui::CContainerUI*>(row->GetInterface("Container"));
    EXPECT_EQ(cells->GetItemAt(0)->GetText(), buttons[3]->GetToolTipTitle());
    EXPECT_EQ(cells->GetItemAt(1)->GetText(), "Reload");
    // The logo names the lighting.
    EXPECT_EQ(Find("logo")->GetToolTipTitle(), "Logo");
    EXPECT_NE(Find("logo")->GetToolTip().find('\n'), std::string::npos);
}

TEST_F(MousePageTest, ProfileSwitchOfTheMouseShowsItsStage) {
    page->OnProfileSwitch(2, 3);
    Pump(20);
    EXPECT_EQ(page->Engine()->CurrentProfile(), 2);
    EXPECT_EQ(page->Profile().GetActiveStage(), 3);
    EXPECT_TRUE(Checked("DPI_select_check_3"));
    EXPECT_FALSE(Find("DPI_enable_check_3")->IsEnabled());
}

TEST_F(MousePageTest, SelectingAStageStoresAllSliderPositionsAndSendsOnce) {
    const int positions[] = {3, 9, 17, 33, 60};
    for (int i = 0; i < 5; ++i)
        As<ui::CSliderUI>("DPI_slider_" + std::to_string(i), "Slider")->SetValue(positions[i]);
    Select("DPI_select_check_2", true);
    const auto stages = page->Profile().GetDPIStages();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(stages[size_t(i)].stageDPIX, positions[i]) << i;
    EXPECT_EQ(page->Profile().GetActiveStage(), 2);
    EXPECT_EQ(Sent(devices::kCmdBeginWrite), 1u);
    EXPECT_EQ(Sent(devices::kCmdWriteMemory) > 0, true);
    EXPECT_EQ(MousePage(), ExpectedPage());
    EXPECT_EQ(MousePage()[12], 2);
    EXPECT_FALSE(Find("DPI_enable_check_2")->IsEnabled());
    EXPECT_EQ(As<ui::CSliderUI>("DPI_slider_2", "Slider")->GetThumbImage(),
              "Control/SliderBar1_Thumb.png");
    EXPECT_EQ(As<ui::CSliderUI>("DPI_slider_0", "Slider")->GetThumbImage(),
              "Control/SliderBar2_Thumb.png");
    // The option the group cleared raises nothing that changes the stage.
    Select("DPI_select_check_2", false);
    EXPECT_EQ(page->Profile().GetActiveStage(), 2);
}

TEST_F(MousePageTest, DpiSliderAndEditStoreStepsAndShowDpi) {
    // The simulated mouse: step 100, minimum 200, code 13093.
    struct Case {
        const char* control;
        const char* type;
        std::string text;  // edit text, or empty for the slider value
        int slider;
        int steps;
        std::string shown;
    } cases[] = {
        {"DPI_edit_1", "killfocus", "150", 0, 0, "200"},
        {"DPI_edit_1", "killfocus", "", 0, 0, "200"},
        {"DPI_edit_2", "killfocus", "5200", 0, 49, "5200"},
        {"DPI_edit_3", "killfocus", "1650", 0, 14, "1600"},
        {"DPI_slider_4", "valuechanged", "", 49, 49, "5200"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control + std::string(" ") + c.text);
        const int n = c.control[std::string(c.control).size() - 1] - '0';
        model->ClearHostReports();
        if (std::string(c.type) == "valuechanged")
            Slide(c.control, c.slider);
        else
            Type(c.control, c.text, c.type);
        EXPECT_EQ(page->Profile().GetDPIStages()[size_t(n)].stageDPIX, c.steps);
        EXPECT_EQ(Find("DPI_edit_" + std::to_string(n))->GetText(), c.shown);
        EXPECT_EQ(As<ui::CSliderUI>("DPI_slider_" + std::to_string(n), "Slider")->GetValue(),
                  c.steps);
        EXPECT_EQ(Sent(devices::kCmdBeginWrite), 1u);
        EXPECT_EQ(MousePage(), ExpectedPage());
    }
}

TEST_F(MousePageTest, DragsShowValuesButStoreAndSendNothing) {
    const auto before = page->Profile().GetDPIStages();
    Slide("DPI_slider_1", 49, "movevaluechanged");
    EXPECT_EQ(Find("DPI_edit_1")->GetText(), "5200");
    Slide("korva_DPI_slider_2", 3100, "movevaluechanged");
    EXPECT_EQ(Find("korva_DPI_edit_2")->GetText(), "3100");
    for (const auto& [text, shown] : std::vector<std::pair<std::string, std::string>>{
             {"7000", "6500"}, {"150", "200"}, {"", "200"}, {"1234", "1234"}}) {
        Type("korva_DPI_edit_0", text);
        EXPECT_EQ(Find("korva_DPI_edit_0")->GetText(), shown) << text;
        EXPECT_EQ(As<ui::CSliderUI>("korva_DPI_slider_0", "Slider")->GetValue(), std::stoi(shown));
    }
    EXPECT_EQ(page->Profile().GetDPIStages(), before);
    EXPECT_TRUE(model->HostReports().empty());
}

TEST_F(MousePageTest, ProfileOnlyValuesAreSavedButNeverSent) {
    const auto mouseBefore = MousePage();
    struct Case {
        const char* control;
        int value;  // slider value, or check state
        size_t word;
        bool high;
    } cases[] = {
        {"pointer_speed_slider", 14, 0, true},
        {"double_click_slider", 420, 0, false},
        {"pointer_precision_check", 1, 1, false},
        {"scrolls_page_check", 1, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        if (std::string(c.control).ends_with("_check"))
            Select(c.control, c.value != 0);
        else
            Slide(c.control, c.value);
        const uint32_t w = SavedProfile()->GetSystemStages()[c.word];
        EXPECT_EQ(c.high ? int(w >> 16) : int(w & 0xFFFF), c.value);
    }
    // Scroll lines with page scrolling on: the check clears, "ScorllPage" 0.
    ASSERT_TRUE(Checked("scrolls_page_check"));
    Slide("scroll_speed_slider", 7);
    EXPECT_FALSE(Checked("scrolls_page_check"));
    const auto saved = SavedProfile()->GetSystemStages();
    EXPECT_EQ(saved[1] >> 16, 0u);
    EXPECT_EQ(saved[2] & 0xFFFF, 7u);
    EXPECT_EQ(SavedProfile()->GetActiveRoot()["SystemStages"]["ScorllPage"].asInt(), 0);
    EXPECT_TRUE(model->HostReports().empty());
    EXPECT_EQ(MousePage(), mouseBefore);
}

TEST_F(MousePageTest, PollingRateOptionReachesTheMouse) {
    for (int n : {3, 1}) {
        model->ClearHostReports();
        Select("polling_rate_option_" + std::to_string(n), true);
        EXPECT_EQ(page->Profile().GetSystemStages()[2] >> 16, uint32_t(n));
        EXPECT_EQ(MousePage()[11], n);
        EXPECT_EQ(MousePage(), ExpectedPage());
        EXPECT_EQ(Sent(devices::kCmdBeginWrite), 1u);
    }
    EXPECT_FALSE(Checked("polling_rate_option_3"));
}

TEST_F(MousePageTest, SubTabOptionsSelectTheirPage) {
    auto* tab = As<ui::CTabLayoutUI>("mouse_device_seting_layout", "TabLayout");
    for (int n : {2, 1, 0}) {
        Select("mouse_device_seting_option_" + std::to_string(n), true);
        EXPECT_EQ(tab->GetCurSel(), n);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Checked("mouse_device_seting_option_" + std::to_string(i)), i == n);
    }
    EXPECT_TRUE(model->HostReports().empty());
}

TEST_F(MousePageTest, StageColourFromThePickerReachesStageProfileAndMouse) {
    constexpr uint32_t kChosen = 0xFF12A4C8;
    int opened = 0;
    bool secondIgnored = false;
    QTimer::singleShot(50, [&] {
        app::CColorSelectWnd* picker = app::pages::OpenStageColourPicker();
        if (!picker) return;
        ++opened;
        // A second click while the picker is open does nothing.
        secondIgnored = app::pages::PickStageColour(*page, 1) == -1;
        picker->SetCurrentColor(kChosen);
        ui::CControlUI* ok = picker->FindControl("okbtn");
        if (ok) picker->GetPaintManager().SendNotify(ok, "click");
    });
    EXPECT_TRUE(Send("DPI_color_option_3", "click"));
    Pump();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(secondIgnored);
    EXPECT_EQ(app::pages::OpenStageColourPicker(), nullptr);
    EXPECT_EQ(Find("DPI_color_option_3")->GetBkColor(), kChosen);
    const auto stage = SavedProfile()->GetDPIStages()[3];
    EXPECT_EQ(stage.red, 0x12);
    EXPECT_EQ(stage.green, 0xA4);
    EXPECT_EQ(stage.blue, 0xC8);
    EXPECT_EQ(MousePage()[14 + 9 * 3 + 6], 0x12);
    EXPECT_EQ(MousePage(), ExpectedPage());
}

TEST_F(MousePageTest, StageColourBeyondTheListGrowsIt) {
    app::pages::ApplyStageColour(*page, 7, 0xFF010203);
    const auto stages = page->Profile().GetDPIStages();
    ASSERT_EQ(stages.size(), 8u);
    EXPECT_EQ(stages[5], profiles::DPIStage{});
    EXPECT_EQ(stages[6], profiles::DPIStage{});
    EXPECT_EQ(stages[7].blue, 3);
    EXPECT_EQ(MousePage(), ExpectedPage());
}

TEST_F(MousePageTest, LightingThreadRunsTheMousePreviews) {
    ASSERT_TRUE(page->LightThreadRunning());
    auto setMode = [&](int mode) {
        profiles::LightInfo light = page->Profile().GetLightInfo();
        light.selectItem = uint8_t(mode);
        light.multiColor = 1;
        light.light = 4;
        light.speed = 0;  // one step in eight passes
        page->Profile().SetLightInfo(light);
        page->SaveProfile();
        page->ApplyProfileToPage();
    };
    auto waitSteps = [&](uint64_t steps) {
        const uint64_t until = page->LightSteps() + steps;
        for (int i = 0; i < 800 && page->LightSteps() < until; ++i)
            Pump(5);
        Pump(20);  // the pass that ran the last step ends
        return page->LightSteps() >= until;
    };
    // The wave: groups share a colour at full level.
    setMode(0);
    ASSERT_TRUE(waitSteps(3));
    const uint32_t level = devices::light::Level(4);
    EXPECT_EQ(page->GetLightColor(0) >> 24, level);
    EXPECT_EQ(page->GetLightColor(0), page->GetLightColor(13));
    // Reactive: dark until a click arms it.
    setMode(6);
    ASSERT_TRUE(waitSteps(2));
    EXPECT_EQ(page->GetLightColor(4) >> 24, 0u);
    page->OnReactiveTrigger();
    ASSERT_TRUE(waitSteps(3));
    EXPECT_GT(page->GetLightColor(4) >> 24, 0u);
    // The buttons show the preview.
    page->RefreshLightButtons();
    EXPECT_GT(page->LightButtons()[4]->GetLightAlpha(), 0u);
}

TEST_F(MousePageTest, WholeProfileApplyAndFactoryProfileReachPageAndMouse) {
    // A profile file changed behind the page's back: stage 0 at 30 steps,
    // a key naming a macro that does not exist.
    auto other = SavedProfile();
    auto stages = other->GetDPIStages();
    stages[0].stageDPIX = 30;
    other->SetDPIStages(stages);
    auto keys = other->GetKeyList();
    keys[4].SetAssignment(0x700500);
    other->SetKeyList(keys);
    ASSERT_TRUE(other->Save());

    const devices::mouse::MouseApplyResults r = page->ApplyWholeProfile();
    EXPECT_TRUE(r.droppedStaleMacros);
    EXPECT_EQ(r.settings, 1);
    EXPECT_EQ(r.macros, 0);
    ASSERT_TRUE(r.keys.has_value());
    EXPECT_EQ(*r.keys, 1);
    EXPECT_EQ(As<ui::CSliderUI>("DPI_slider_0", "Slider")->GetValue(), 30);
    EXPECT_TRUE(page->Profile().GetKeyList()[4].IsDefault());
    EXPECT_EQ(page->KeyButtons()[4]->GetKeySetImageHidden(), 1u);
    EXPECT_EQ(MousePage(), ExpectedPage());

    // The factory profile puts stage 0 back and is saved.
    ASSERT_TRUE(page->LoadDefaultProfile());
    EXPECT_NE(SavedProfile()->GetDPIStages()[0].stageDPIX, 30);
    EXPECT_EQ(As<ui::CSliderUI>("DPI_slider_0", "Slider")->GetValue(),
              SavedProfile()->GetDPIStages()[0].stageDPIX);
}

// Through the receiver: changes reach the mouse while it answers; with the
// mouse off the profile keeps the change and nothing but link checks is sent.
class ReceiverPageTest : public MousePageTest {
  protected:
    void SetUp() override { Open(hid::kTypeMouse, "mouse-receiver"); }
};

TEST_F(ReceiverPageTest, ChangesFollowTheLink) {
    ASSERT_TRUE(page->OnReceiver());
    EXPECT_TRUE(page->IsReceiverLinkUp());
    Type("DPI_edit_2", "3200");
    EXPECT_EQ(MousePage(), ExpectedPage());

    model->SetLinkUp(false);
    EXPECT_FALSE(page->IsReceiverLinkUp());
    const auto held = MousePage();
    model->ClearHostReports();
    Slide("DPI_slider_2", 40);
    EXPECT_EQ(SavedProfile()->GetDPIStages()[2].stageDPIX, 40);
    EXPECT_EQ(MousePage(), held);
    EXPECT_EQ(Sent(devices::kCmdBeginWrite), 0u);
    EXPECT_EQ(Sent(devices::kCmdWriteMemory), 0u);

    // Back on: the next change sends the whole page again.
    model->SetLinkUp(true);
    Slide("DPI_slider_3", 41);
    EXPECT_EQ(MousePage(), ExpectedPage());
    EXPECT_EQ(MousePage()[14 + 9 * 2 + 2], 40);
}

// The polling options of other pages: the same event on a device whose type
// is not the mouse's changes nothing.
class OtherPageTest : public MousePageTest,
                      public ::testing::WithParamInterface<hid::DeviceTypeCode> {
  protected:
    void SetUp() override { Open(GetParam()); }
};

TEST_P(OtherPageTest, PollingOptionChangesNothing) {
    const auto words = page->Profile().GetSystemStages();
    const auto mem = MousePage();
    Select("polling_rate_option_4", true);
    EXPECT_EQ(page->Profile().GetSystemStages(), words);
    EXPECT_EQ(MousePage(), mem);
    EXPECT_TRUE(model->HostReports().empty());
}

INSTANTIATE_TEST_SUITE_P(PadAndHeadset, OtherPageTest,
                         ::testing::Values(hid::kTypeMousePad, hid::kTypeHeadset));

}  // namespace
