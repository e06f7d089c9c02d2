// The main window and its dialogs on Qt's offscreen platform, built from the
// program's own skins and language files, on a private session bus.
#include <gtest/gtest.h>
#include "tests/app/ShellEnvironment.h"

#include "tests/app/RecordingDevice.h"

#include <QTimer>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "app/AboutWnd.h"
#include "app/AppEntry.h"
#include "app/AppMessages.h"
#include "app/IniFile.h"
#include "app/Language.h"
#include "app/MainWnd.h"
#include "app/MsgWnd.h"
#include "app/SetWnd.h"
#include "app/SkinFrame.h"
#include "app/ipc/MessageNames.h"
#include "platform/Debug.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/InputControls.h"

namespace {

using uitest::Pump;

std::string ReadFile(const std::string& path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// The program's folders point into the source tree; the user's folders into
// a fresh temporary folder per test.
const auto* const kEnv = ::testing::AddGlobalTestEnvironment(
    new apptest::ShellEnvironment(apptest::ShellParts::WholeShell));

using apptest::RecordingDevice;

class MainWindowTest : public ::testing::Test {
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
        wnd = std::make_unique<app::CMainWnd>();
        ASSERT_TRUE(wnd->Create(nullptr, "BROMMELIVANTOS", 0x96CA0000u, 0, 0, 0, 800, 572));
        wnd->CenterWindow();
        // First layout, the empty scan pass and the DPI timer.
        Pump(300);
    }
    void TearDown() override {
        if (wnd && wnd->IsWindow()) {
            wnd->Close(0);
            Pump(50);
        }
        wnd.reset();
        Pump();
        platform::SetDebugSink(nullptr);
        ui::ResetUiShutdown();
    }
    bool Traced(const std::string& text) {
        std::lock_guard<std::mutex> lock(traceMutex);
        for (const std::string& l : trace)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    ui::CControlUI* Find(const char* name) { return wnd->FindControl(name); }
    void Notify(const char* name, const char* type = "click") {
        ui::CControlUI* c = Find(name);
        ASSERT_NE(c, nullptr) << name;
        wnd->GetPaintManager().SendNotify(c, type);
        Pump();
    }
    std::string ConfigFile(const std::string& rel) { return home.path().toStdString() + rel; }

    QTemporaryDir home;
    std::mutex traceMutex;
    std::vector<std::string> trace;
    std::unique_ptr<app::CMainWnd> wnd;
};

TEST_F(MainWindowTest, FirstStartShowsTheNoDevicePageInEnglish) {
    EXPECT_TRUE(wnd->IsWindowVisible());
    EXPECT_EQ(wnd->LanguageIndex(), 0);  // no registry value yet
    EXPECT_EQ(wnd->Language().CurrentFace(), "Times New Roman");
    ASSERT_NE(Find("No_device_Link"), nullptr);
    EXPECT_TRUE(Find("No_device_Link")->IsVisible());
    EXPECT_EQ(Find("no_device_title")->GetText(), "No device connected");
    EXPECT_EQ(wnd->Slots().size(), hid::kInterfaceRowCount);
    EXPECT_EQ(wnd->WindowDpi(), app::ChooseWindowDpi(ui::GetMonitorRect({0, 0}).size()));
    EXPECT_EQ(wnd->GetHWND()->width(), ui::ScaleByDpi(app::kMainDesignWidth, wnd->WindowDpi()));
    // The first layout told other programs that we control the lighting.
    EXPECT_EQ(wnd->LightControlStatus(), 1);
}

TEST_F(MainWindowTest, ClosebtnNeverEndsTheProgramButTheTrayMenuExitDoes) {
    uitest::Click(Find("closebtn"));
    Pump(50);
    ASSERT_TRUE(wnd->IsWindow());
    EXPECT_FALSE(Traced("退出测试"));
    // Without a tray the window stays reachable in the task bar.
    if (ui::IsTrayAvailable())
        EXPECT_FALSE(wnd->IsWindowVisible());
    else
        EXPECT_TRUE(wnd->IsMinimized());

    // A tray left click brings it back.
    wnd->SendMessage(app::kMsgTrayIcon, 107, ui::WM_LBUTTONUP);
    Pump(30);
    EXPECT_TRUE(wnd->IsWindowVisible());
    EXPECT_FALSE(wnd->IsMinimized());

    for (const char* other : {"about_menu_unknown", "setwnd_menu_x"}) {
        wnd->PostMessage(app::kMsgMenuCommand, ui::WPARAM(new ui::MenuCmd{other, "", "", false}));
        Pump();
        EXPECT_TRUE(wnd->IsWindow());
    }
    wnd->PostMessage(app::kMsgMenuCommand, ui::WPARAM(new ui::MenuCmd{"exit", "", "", false}));
    Pump(50);
    EXPECT_FALSE(wnd->IsWindow());
    EXPECT_TRUE(Traced("退出测试"));
}

TEST_F(MainWindowTest, InstanceMessageRestoresAndRaisesTheHiddenWindow) {
    wnd->ShowWindow(false);
    ASSERT_FALSE(wnd->IsWindowVisible());
    wnd->SendMessage(app::Registered().instance, 0, 1);
    EXPECT_TRUE(wnd->IsWindowVisible());
    EXPECT_TRUE(wnd->IsTopMost());  // raised above the others for a moment
    Pump(60);
    EXPECT_FALSE(wnd->IsTopMost());
}

TEST_F(MainWindowTest, LightControlClickBroadcastsOnceAndTheMessageDoesNot) {
    std::vector<std::pair<int64_t, int64_t>> seen;
    app::ipc::CBusLink watcher(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "watch"));
    watcher.SetAcceptedNames({std::string(app::ipc::kSecondIdentityMessage)});
    watcher.SetMessageHandler([&](const std::string&, int64_t w, int64_t l) {
        seen.emplace_back(w, l);
        return int64_t(0);
    });
    ASSERT_TRUE(watcher.ListenForBroadcasts());
    RecordingDevice mouse;
    wnd->Devices().mice.push_back(&mouse);

    Notify("control_light_status");
    EXPECT_EQ(wnd->LightControlStatus(), 0);
    EXPECT_EQ(mouse.status, 0);
    EXPECT_EQ(Find("control_light_status")->GetText(), "Lighting: other app");
    Pump(200);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], std::make_pair(int64_t(1), int64_t(0)));

    const ui::UINT status = app::Registered().identity[app::kLightControlStatus];
    wnd->SendMessage(status, 1, 1);
    EXPECT_EQ(wnd->LightControlStatus(), 1);
    EXPECT_EQ(mouse.status, 1);
    EXPECT_EQ(Find("control_light_status")->GetText(), "Lighting: this app");
    wnd->SendMessage(status, 2, 0);  // only wParam 1 counts
    EXPECT_EQ(wnd->LightControlStatus(), 1);
    Pump(200);
    EXPECT_EQ(seen.size(), 1u);
    wnd->Devices().mice.clear();
}

TEST_F(MainWindowTest, GameLightTimerRestoresTheDeviceThatTookIt) {
    RecordingDevice mouse, keyboard;
    wnd->SetSelectedDevice(&mouse);
    const ui::UINT start = ui::RegisterWindowMessage("Game_Start");
    wnd->SendMessage(start, 0, 7);
    EXPECT_EQ(mouse.gameMode, 7);
    EXPECT_TRUE(wnd->HasTimer(app::kGameLightTimerId));
    wnd->SetSelectedDevice(&keyboard);
    wnd->SendMessage(ui::WM_TIMER, app::kGameLightTimerId, 0);
    EXPECT_EQ(mouse.restored, 1);
    EXPECT_EQ(keyboard.restored, 0);
    EXPECT_FALSE(wnd->HasTimer(app::kGameLightTimerId));
    wnd->SetSelectedDevice(nullptr);
}

TEST_F(MainWindowTest, SuspendDropsMessagesUntilResumeAndResendsTheStatus) {
    RecordingDevice keyboard;
    wnd->Devices().keyboards.push_back(&keyboard);
    wnd->SendMessage(ui::WM_POWERBROADCAST, ui::PBT_APMSUSPEND, 0);
    EXPECT_FALSE(wnd->IsPowerGateOpen());
    EXPECT_EQ(keyboard.status, 0);
    wnd->SendMessage(app::kMsgShowSettingProgress, 0, 0);
    EXPECT_FALSE(Find("setting_progress")->IsOwnVisible());
    wnd->SendMessage(ui::WM_POWERBROADCAST, ui::PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(wnd->IsPowerGateOpen());
    EXPECT_EQ(keyboard.status, 1);
    wnd->SendMessage(app::kMsgShowSettingProgress, 0, 0);
    EXPECT_TRUE(Find("setting_progress")->IsOwnVisible());
    wnd->Devices().keyboards.clear();
}

TEST_F(MainWindowTest, OversizedCopyDataStopsAtItsBuffer) {
    std::vector<uint8_t> data(5000, 0x5A);
    app::CopyDataStruct cds{app::kCopyDataAudioLevels, uint32_t(data.size()), data.data()};
    EXPECT_EQ(wnd->SendMessage(ui::WM_COPYDATA, 0, ui::LPARAM(&cds)), 2000);
    EXPECT_EQ(wnd->CopyBuffers().Levels().back(), 0x5A);
    app::CopyDataStruct colours{app::kCopyDataAudioColours, uint32_t(data.size()), data.data()};
    EXPECT_EQ(wnd->SendMessage(ui::WM_COPYDATA, 0, ui::LPARAM(&colours)), 24);
}

TEST_F(MainWindowTest, ShutdownJoinsAWorkerBlockedInASynchronousSend) {
    std::atomic<int> sends{0};
    app::CMainWnd* target = wnd.get();
    ASSERT_TRUE(wnd->StartThread(3, "sender", [&, target](platform::StopEvent& stop) {
        while (!stop.IsSet()) {
            target->SendMessage(app::kMsgNoAction, 0, 0);
            ++sends;
        }
    }));
    while (sends.load() < 10)
        Pump(1);
    QElapsedTimer clock;
    clock.start();
    wnd->Close(0);
    Pump(20);
    EXPECT_FALSE(wnd->IsWindow());
    EXPECT_FALSE(wnd->IsThreadRunning(3));
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_TRUE(Traced("所有对象处于激发状态"));
}

TEST_F(MainWindowTest, LanguageSwitchRetranslatesTheMainWindowAndOpenDialogs) {
    std::string setTitleInChinese, mainTextInChinese;
    bool secondOpenIgnored = false;
    QTimer::singleShot(100, [&] {
        auto* set = dynamic_cast<app::CSetWnd*>(wnd->ChildWindowAt(app::kChildSettings));
        ASSERT_NE(set, nullptr);
        wnd->ShowSettingsWindow(true);  // already open: nothing happens
        secondOpenIgnored = wnd->ChildWindowAt(app::kChildSettings) == set;
        auto* combo = set->FindControlAs<ui::CComboUI>("Language_combox_info");
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->GetCount(), 2);
        EXPECT_EQ(combo->GetCurSel(), 0);
        combo->SelectItem(1, false, true);
        Pump();
        setTitleInChinese = set->FindControl("set_title")->GetText();
        mainTextInChinese = Find("no_device_title")->GetText();
        set->Close(0);
    });
    wnd->ShowSettingsWindow(false);
    EXPECT_TRUE(secondOpenIgnored);
    EXPECT_EQ(wnd->ChildWindowAt(app::kChildSettings), nullptr);
    EXPECT_EQ(setTitleInChinese, "设置");
    EXPECT_EQ(mainTextInChinese, "未连接设备");
    EXPECT_EQ(wnd->LanguageIndex(), 1);
    EXPECT_EQ(app::ReadLanguageIndex(), 1);
    EXPECT_NE(ReadFile(app::RegistryFilePath()).find("LANGUAGE=2052"), std::string::npos);

    wnd->SendMessage(app::kMsgLanguageChanged, 0, 0);
    EXPECT_EQ(Find("no_device_title")->GetText(), "No device connected");
}

TEST_F(MainWindowTest, AboutWindowShowsTheVersionAndOpensOnce) {
    std::string version;
    bool once = false;
    QTimer::singleShot(100, [&] {
        ui::CWindowWnd* about = wnd->ChildWindowAt(app::kChildAbout);
        ASSERT_NE(about, nullptr);
        wnd->ShowAboutWindow();
        once = wnd->ChildWindowAt(app::kChildAbout) == about;
        version =
            dynamic_cast<app::CAboutWnd*>(about)->FindControl("software_ver_label")->GetText();
        about->Close(0);
    });
    wnd->PostMessage(app::kMsgMenuCommand,
                     ui::WPARAM(new ui::MenuCmd{"about_menu", "", "", false}));
    Pump(300);
    EXPECT_TRUE(once);
    EXPECT_EQ(version, "Software version: V1001");
    EXPECT_EQ(wnd->ChildWindowAt(app::kChildAbout), nullptr);
}

TEST_F(MainWindowTest, MessageBoxButtonsAndDpi) {
    auto box = app::CreateMessageBox(wnd.get(), "", "message_text_22", 110, true,
                                     app::kMsgButtonsQuestion);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetDpi(), 96);
    EXPECT_EQ(box->GetPaintManager().GetDPI(), 96);
    EXPECT_TRUE(Traced("MSG_WND DPI SET ERROR"));
    EXPECT_TRUE(box->FindControl("cancel_btn")->IsOwnVisible());
    EXPECT_EQ(box->FindControl("MessageText")->GetText(),
              "Restore the default settings of this device?");
    box.reset();

    struct Case {
        int buttons;
        const char* press;
        int result;
    };
    for (const Case& c : {Case{0, "confirm_btn", 1}, Case{0, "closebtn", 0},
                          Case{1, "cancel_btn", 0}, Case{1, "confirm_btn", 1}}) {
        auto shown =
            app::CreateMessageBox(wnd.get(), "Title", "message_text_5", 144, true, c.buttons);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->GetDpi(), 144);
        EXPECT_EQ(shown->FindControl("cancel_btn")->IsOwnVisible(), c.buttons == 1);
        EXPECT_EQ(shown->FindControl("MessageTitle")->GetText(), "Title");
        app::CMsgWnd* raw = shown.get();
        QTimer::singleShot(50, [raw, &c] {
            raw->GetPaintManager().SendNotify(raw->FindControl(c.press), "click");
        });
        EXPECT_EQ(raw->ShowModal(), c.result) << c.press;
    }
}

TEST_F(MainWindowTest, SkinFrameChangesTheBackgroundAndWritesMainIni) {
    ui::CControlUI* root = Find("root");
    app::CSkinFrame* frame = app::CSkinFrame::Open(wnd.get(), Find("skinbtn"));
    ASSERT_NE(frame, nullptr);
    auto click = [&](ui::CControlUI* c) { frame->GetPaintManager().SendNotify(c, "click"); };
    auto* colour = frame->FindControl("skin_color_btn");
    click(colour);
    EXPECT_EQ(root->GetBkColor(), colour->GetBkColor());
    EXPECT_EQ(root->GetBkImage(), "");

    auto* picture = frame->FindControl("skin_image_btn");
    click(picture);
    EXPECT_EQ(root->GetBkImage(), picture->GetBkImage());
    EXPECT_EQ(root->GetBkColor(), 0u);
    app::CIniFile ini(app::SkinIniPath());
    EXPECT_EQ(ini.Read("SKINIMAGE", "FLAGS"), "1");
    EXPECT_EQ(ini.Read("SKINIMAGE", "IMAGE"), picture->GetBkImage());

    app::CSkinFrame::SetFileChooser([](ui::CWindowWnd*) { return std::optional<std::string>(); });
    click(frame->FindControl("skin_Custom"));
    EXPECT_EQ(root->GetBkImage(), picture->GetBkImage());  // cancelled: unchanged
    app::CSkinFrame::SetFileChooser(
        [](ui::CWindowWnd*) { return std::optional<std::string>("/tmp/mine.png"); });
    click(frame->FindControl("skin_Custom"));
    EXPECT_EQ(root->GetBkImage(), "/tmp/mine.png");
    EXPECT_EQ(ini.Read("SKINIMAGE", "FLAGS"), "1");  // custom pictures are not written
    app::CSkinFrame::SetFileChooser(nullptr);

    click(frame->FindControl("skin_reset"));
    EXPECT_EQ(root->GetBkImage(), app::kDefaultBackground);
    EXPECT_EQ(ini.Read("SKINIMAGE", "FLAGS"), "0");
    frame->Close(0);
    Pump(20);
    EXPECT_EQ(app::CSkinFrame::Current(), nullptr);
}

}  // namespace
