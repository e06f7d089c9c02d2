// The colour picker on Qt's offscreen platform, built from the program's own
// skin, with its colour file in a fresh data folder per test.
#include <gtest/gtest.h>
#include "tests/app/ShellEnvironment.h"

#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ColorSelectWnd.h"
#include "platform/Debug.h"
#include "profiles/AppFolders.h"
#include "profiles/ColorOptions.h"
#include "profiles/JsonFile.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/InputControls.h"
#include "ui/Messages.h"

namespace {

using uitest::Pump;

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(
    new apptest::ShellEnvironment(apptest::ShellParts::ResourcesOnly));

class ColorPickTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        setenv("XDG_DATA_HOME", (home.path().toStdString() + "/data").c_str(), 1);
        ui::ResetUiShutdown();
    }
    void TearDown() override {
        platform::SetDebugSink(nullptr);
        if (picker && picker->IsWindow()) picker->DestroyWindow();
        picker.reset();
        Pump();
    }

    // Opens a picker the way the mouse page does, without running it.
    void Open(uint32_t initial = 0xFF3DA5FFu) {
        if (picker && picker->IsWindow()) picker->DestroyWindow();
        picker = std::make_unique<app::CColorSelectWnd>();
        ASSERT_TRUE(picker->CreatePicker(nullptr));
        picker->SetWindowDpi(96);
        picker->SetCurrentColor(initial);
        picker->EnableSevenColor(0);
        picker->CenterWindow();
        (void)QTest::qWaitForWindowExposed(picker->GetHWND());
        Pump();
        picker->GetPaintManager().DoLayout();
        Pump();
    }
    // Runs the picker modally; actions run inside the modal loop.
    int RunModal(std::function<void()> actions) {
        QTimer::singleShot(0, [actions] {
            actions();
            Pump();
        });
        return picker->ShowModal();
    }

    ui::CControlUI* C(const std::string& name) {
        ui::CControlUI* c = picker->FindControl(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    ui::COptionUI* Option(const std::string& name) { return dynamic_cast<ui::COptionUI*>(C(name)); }
    uint32_t Sample() { return C("color_show_btn")->GetBkColor(); }
    std::vector<std::string> EditTexts() {
        return {C("color_edit_r")->GetText(), C("color_edit_g")->GetText(),
                C("color_edit_b")->GetText()};
    }
    std::vector<std::string> Components(uint32_t c) {
        return {std::to_string((c >> 16) & 0xFF), std::to_string((c >> 8) & 0xFF),
                std::to_string(c & 0xFF)};
    }
    void PickOnPalette(double fx, double fy) {
        ui::CControlUI* palette = C("Pallet");
        const QRect r = palette->GetPos();
        const QPoint pt(r.left() + int(r.width() * fx), r.top() + int(r.height() * fy));
        uitest::Mouse(palette, QEvent::MouseButtonPress, pt);
        uitest::Mouse(palette, QEvent::MouseButtonRelease, pt);
        Pump();
    }
    std::string UserFile() const { return profiles::ColorOptionsUserPath(); }
    Json::Value UserValue() const { return profiles::CJsonFile().ReadJsonFile(UserFile()); }
    void WriteUserFile(const std::string& text) {
        profiles::GetAppDataRoot();
        std::ofstream(UserFile(), std::ios::binary) << text;
    }

    QTemporaryDir home;
    std::unique_ptr<app::CColorSelectWnd> picker;
};

TEST_F(ColorPickTest, OpensWithEveryControlAndTheGivenColour) {
    Open(0xFF102030u);
    EXPECT_EQ(picker->GetWindowClassName(), "ColorSelectWnd");
    EXPECT_EQ(picker->GetHWND()->width(), app::CColorSelectWnd::kWidth);
    EXPECT_EQ(picker->GetHWND()->height(), app::CColorSelectWnd::kHeight);
    for (int i = 0; i < 20; ++i) {
        EXPECT_NE(Option("color_option_" + std::to_string(i)), nullptr);
        EXPECT_NE(Option("collect_color_option_" + std::to_string(i)), nullptr);
    }
    for (const char* name : {"Pallet", "okbtn", "closebtn", "laterbtn", "minbtn", "maxbtn",
                             "restorebtn", "menubtn", "7color"})
        EXPECT_NE(C(name), nullptr);
    EXPECT_FALSE(C("7color_layout")->IsVisible());
    EXPECT_EQ(Sample(), 0xFF102030u);
    EXPECT_EQ(EditTexts(), Components(0xFF102030u));
    // The colour file was made from the default copy on opening.
    EXPECT_EQ(UserValue()["coloroptioninfo"]["palletDialogcoloroption_selectitem"].asInt(), 4);
    EXPECT_EQ(picker->GetPresetIndex(), 4);
    EXPECT_EQ(picker->GetCollectionIndex(), -1);
}

TEST_F(ColorPickTest, LeavingAnEditBuildsTheColourFromAllThree) {
    struct Case {
        std::vector<std::string> typed;
        uint32_t color;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {{"10", "20", "30"}, 0xFF0A141Eu, {"10", "20", "30"}},
        {{"12", "300", ""}, 0xFF0CFF00u, {"12", "255", "0"}},
        {{"255", "0", "999"}, 0xFFFF00FFu, {"255", "0", "255"}},
        {{"007", "", "1"}, 0xFF070001u, {"007", "0", "1"}},
    };
    Open(0xFF3DA5FFu);
    const char* edits[] = {"color_edit_r", "color_edit_g", "color_edit_b"};
    for (const Case& c : cases) {
        for (int i = 0; i < 3; ++i)
            C(edits[i])->SetText(c.typed[std::size_t(i)]);
        ui::DeliverFocusEvent(C("color_edit_g"), false);
        Pump();
        EXPECT_EQ(picker->GetColor(), c.color);
        EXPECT_EQ(Sample(), c.color);
        EXPECT_EQ(EditTexts(), c.shown);
    }
    // No slot was current: the collection stays empty.
    for (int i = 0; i < 20; ++i)
        EXPECT_NE(C("collect_color_option_" + std::to_string(i))->GetUserData(), "1");
}

TEST_F(ColorPickTest, PalettePickAndPresetsSetTheSample) {
    Open(0xFFFF0000u);
    PickOnPalette(0.5, 0.2);
    auto* palette = dynamic_cast<ui::CColorPaletteUI*>(C("Pallet"));
    ASSERT_NE(palette, nullptr);
    const uint32_t picked = palette->GetSelectColor();
    EXPECT_NE(picked, 0xFFFF0000u);
    EXPECT_EQ(picker->GetColor(), picked);
    EXPECT_EQ(Sample(), picked);
    EXPECT_EQ(EditTexts(), Components(picked));

    struct Case {
        int preset;
        uint32_t color;
    };
    for (const Case& c : {Case{8, 0xFF0000FFu}, Case{0, 0xFFFF0000u}, Case{13, 0xFFC0C0C0u}}) {
        uitest::Click(C("color_option_" + std::to_string(c.preset)));
        Pump();
        EXPECT_EQ(picker->GetPresetIndex(), c.preset);
        EXPECT_EQ(Sample(), c.color);
        EXPECT_EQ(EditTexts(), Components(c.color));
        EXPECT_EQ(UserValue()["coloroptioninfo"]["palletDialogcoloroption_selectitem"].asInt(),
                  c.preset);
    }
    EXPECT_EQ(RunModal([this] { uitest::Click(C("okbtn")); }), app::CColorSelectWnd::kResultOk);
    EXPECT_EQ(picker->GetColor(), 0xFFC0C0C0u);
}

TEST_F(ColorPickTest, CollectionSlotFillsAndPersistsAcrossAReopen) {
    Open(0xFFFF0000u);
    PickOnPalette(0.3, 0.3);  // no slot is current yet
    EXPECT_EQ(C("collect_color_option_3")->GetUserData(), "0");

    uitest::Click(C("collect_color_option_3"));  // empty: nothing happens yet
    EXPECT_EQ(picker->GetCollectionIndex(), 3);
    PickOnPalette(0.7, 0.1);  // fills the current slot
    const uint32_t filled = picker->GetColor();
    ASSERT_NE(filled, 0xFFFF0000u);
    ASSERT_NE(filled, 0xFFFFFFFFu);
    auto* slot = Option("collect_color_option_3");
    EXPECT_EQ(slot->GetUserData(), "1");
    EXPECT_EQ(slot->GetBkColor(), filled);
    const Json::Value info = UserValue()["coloroptioninfo"];
    EXPECT_EQ(info["palletDialogcollectcoloroption"][3]["color"].asString(),
              profiles::ColorText(filled));
    EXPECT_EQ(info["palletDialogcollectcoloroption"][3]["UserData"].asString(), "1");
    EXPECT_EQ(info["palletDialogcollectcoloroption_selectitem"].asInt(), 3);
    EXPECT_EQ(RunModal([this] { uitest::Click(C("closebtn")); }),
              app::CColorSelectWnd::kResultCancel);

    Open(0xFF000000u);
    slot = Option("collect_color_option_3");
    EXPECT_EQ(slot->GetUserData(), "1");
    EXPECT_EQ(slot->GetBkColor(), filled);
    EXPECT_EQ(Option("collect_color_option_4")->GetBkColor(), 0xFFFFFFFFu);
    EXPECT_EQ(picker->GetCollectionIndex(), -1);
    // Selecting the filled slot shows it, and confirming returns it.
    uitest::Click(slot);
    EXPECT_EQ(Sample(), filled);
    EXPECT_EQ(EditTexts(), Components(filled));
    EXPECT_EQ(RunModal([this] { uitest::Click(C("okbtn")); }), app::CColorSelectWnd::kResultOk);
    EXPECT_EQ(picker->GetColor(), filled);
}

TEST_F(ColorPickTest, DamagedColourFilesLoadWhatIsUsable) {
    struct Case {
        const char* name;
        const char* text;
        uint32_t slot0;
        std::string data0;
        int presetIndex;
    };
    const Case cases[] = {
        {"malformed", "{\"coloroptioninfo\": {", 0xFFFFFFFFu, "0", 4},
        {"array root", "[]", 0xFFFFFFFFu, "0", 4},
        {"lower case colour",
         R"({"coloroptioninfo": {"palletDialogcollectcoloroption": [{"color": "ff12ab34", "UserData": "1"}],
             "palletDialogcoloroption_selectitem": 11}})",
         0xFF12AB34u, "1", 11},
        {"wrong types",
         R"({"coloroptioninfo": {"palletDialogcollectcoloroption": [{"color": 5, "UserData": "1"}],
             "palletDialogcoloroption_selectitem": "9"}})",
         0xFFFFFFFFu, "0", 4},
        {"index out of range",
         R"({"coloroptioninfo": {"palletDialogcoloroption_selectitem": 4000000000}})", 0xFFFFFFFFu,
         "0", 4},
    };
    for (const Case& c : cases) {
        WriteUserFile(c.text);
        Open();
        EXPECT_EQ(C("collect_color_option_0")->GetBkColor(), c.slot0) << c.name;
        EXPECT_EQ(C("collect_color_option_0")->GetUserData(), c.data0) << c.name;
        EXPECT_EQ(picker->GetPresetIndex(), c.presetIndex) << c.name;
        // Saves over whatever the file held.
        uitest::Click(C("color_option_2"));
        EXPECT_EQ(UserValue()["coloroptioninfo"]["palletDialogcoloroption"][2]["color"].asString(),
                  "FFFFFF00")
            << c.name;
    }
}

TEST_F(ColorPickTest, EveryCloseButOkReturnsZero) {
    struct Case {
        const char* name;
        std::function<void(app::CColorSelectWnd&)> close;
        int result;
    };
    const Case cases[] = {
        {"closebtn", [](app::CColorSelectWnd& w) { uitest::Click(w.FindControl("closebtn")); }, 0},
        {"laterbtn", [](app::CColorSelectWnd& w) { uitest::Click(w.FindControl("laterbtn")); }, 0},
        {"SC_CLOSE",
         [](app::CColorSelectWnd& w) { w.SendMessage(ui::WM_SYSCOMMAND, ui::SC_CLOSE, 0); }, 0},
        {"WM_CLOSE", [](app::CColorSelectWnd& w) { w.SendMessage(ui::WM_CLOSE, 0, 0); }, 0},
        {"okbtn", [](app::CColorSelectWnd& w) { uitest::Click(w.FindControl("okbtn")); }, 1},
    };
    for (const Case& c : cases) {
        Open(0xFF445566u);
        EXPECT_EQ(RunModal([this, &c] { c.close(*picker); }), c.result) << c.name;
        EXPECT_FALSE(picker->IsWindow()) << c.name;
    }
}

// The system close of the picker ends only the picker: the application's
// own loop keeps running until it is told to stop.
TEST_F(ColorPickTest, SystemCloseKeepsTheApplicationRunning) {
    int result = -1;
    bool ranAfterPicker = false;
    QTimer::singleShot(0, [&] {
        app::CColorSelectWnd* open = nullptr;
        QTimer::singleShot(50, [&open] {
            if (open) open->SendMessage(ui::WM_SYSCOMMAND, ui::SC_CLOSE, 0);
        });
        app::CColorSelectWnd local;
        open = &local;
        ASSERT_TRUE(local.CreatePicker(nullptr));
        local.SetCurrentColor(0xFF00FF00u);
        local.EnableSevenColor(0);
        local.CenterWindow();
        result = local.ShowModal();
        open = nullptr;
        local.DestroyWindow();
        QTimer::singleShot(50, [&] {
            ranAfterPicker = true;
            QCoreApplication::exit(42);
        });
    });
    EXPECT_EQ(ui::MessageLoop(), 42);
    EXPECT_EQ(result, app::CColorSelectWnd::kResultCancel);
    EXPECT_TRUE(ranAfterPicker);
}

TEST_F(ColorPickTest, PickColorReturnsTheConfirmedColourOnly) {
    uint32_t chosen = 0;
    QTimer::singleShot(50, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == "PalletDialog") w->close();
    });
    EXPECT_EQ(app::PickColor(nullptr, 96, 0xFF123456u, &chosen), 0);
    EXPECT_EQ(chosen, 0u);
}

TEST_F(ColorPickTest, WindowDpiAcceptsOnlyTheKnownSteps) {
    std::vector<std::string> trace;
    platform::SetDebugSink([&trace](std::string_view line) { trace.emplace_back(line); });
    Open();
    struct Case {
        int dpi, expected;
        bool traced;
    };
    for (const Case& c : {Case{144, 144, false}, Case{100, 96, true}, Case{192, 192, false}}) {
        trace.clear();
        picker->SetWindowDpi(c.dpi);
        EXPECT_EQ(picker->GetWindowDpi(), c.expected) << c.dpi;
        bool found = false;
        for (const std::string& l : trace)
            found |= l.find("SET_WND DPI SET ERROR") != std::string::npos;
        EXPECT_EQ(found, c.traced) << c.dpi;
    }
}

}  // namespace
