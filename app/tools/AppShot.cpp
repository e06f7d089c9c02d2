// Renders the shell's windows offscreen to PNG files, for the docs:
//   brommelivantos-appshot OUT_FOLDER [LANGUAGE_INDEX]
// writes main.png, msgbox.png, setwnd.png, skinframe.png and about.png;
// with BROMMELIVANTOS_SIMULATE set also main-N.png, one per device page.
//   brommelivantos-appshot --screen FILE.png
// grabs the whole screen of the current display (a check of a running
// program under Xvfb, where no screenshot tool may be installed).
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string_view>

#include "app/AboutWnd.h"
#include "app/AppEntry.h"
#include "app/AppMessages.h"
#include "app/MainWnd.h"
#include "app/MsgWnd.h"
#include "app/SetWnd.h"
#include "app/SkinFrame.h"
#include "app/pages/DeviceOption.h"
#include "app/pages/UsbDevice.h"
#include "platform/Folders.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/PaintManager.h"

namespace {

bool Grab(ui::CWindowWnd& wnd, const QString& file) {
    QApplication::processEvents();
    QWidget* w = wnd.GetHWND();
    const bool ok = w && w->grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(file));
    return ok;
}

template <class T>
bool GrabDialog(ui::CWindowWnd* owner, const QString& file, const std::function<void(T&)>& setUp) {
    T wnd;
    if (!wnd.Create(owner, "shot", ui::WS_POPUP, ui::WS_EX_TOOLWINDOW)) return false;
    if (setUp) setUp(wnd);
    wnd.ShowWindow(true, false);
    return Grab(wnd, file);
}

void RunFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: brommelivantos-appshot OUT_FOLDER [LANGUAGE_INDEX]\n");
        return 2;
    }
    if (argc > 2 && std::string_view(argv[1]) == "--screen") {
        QGuiApplication screenApp(argc, argv);
        QScreen* screen = QGuiApplication::primaryScreen();
        const bool saved = screen && screen->grabWindow(0).save(QString::fromLocal8Bit(argv[2]));
        std::printf("%s %s\n", saved ? "wrote" : "FAILED", argv[2]);
        return saved ? 0 : 1;
    }
    ui::PrepareApplication();
    QApplication qapp(argc, argv);
    ui::ApplyTheme(qapp);
    const QString out = QString::fromLocal8Bit(argv[1]) + "/";
    QDir().mkpath(out);
    const int language = argc > 2 ? std::atoi(argv[2]) : 0;
    app::RegisterInstanceMessage();
    ui::InitResources(platform::ProgramFolder());
    app::RegisterControlClasses();
    app::RegisterIdentityMessages();

    app::CMainWnd main;
    if (!main.Create(nullptr, "BROMMELIVANTOS", 0x96CA0000u, 0, 0, 0, 800, 572)) return 1;
    QApplication::processEvents();
    main.ApplyLanguage(language);
    main.RestoreAndRaise();
    main.ResizeClient(app::kMainDesignWidth, app::kMainDesignHeight);
    bool ok = true;
    if (std::getenv("BROMMELIVANTOS_SIMULATE")) {
        // Demo devices: let the scan find them and each page read its device,
        // then take every page that is shown.
        RunFor(2500);
        for (int i = 0; i < main.DeviceItemCount(); ++i) {
            if (!main.DeviceItem(i)->IsOwnVisible()) continue;
            main.ShowDeviceItem(i, true, true);
            RunFor(300);
            ok &= Grab(main, out + "main-" + QString::number(i) + ".png");
            // A page with pointer settings: that tab too.
            auto* tab = static_cast<ui::COptionUI*>(
                ui::CPaintManagerUI::FindSubControlByName(main.CurrentDevice(), "cursor_Op_tab"));
            if (!tab) continue;
            tab->Selected(true);
            RunFor(200);
            ok &= Grab(main, out + "main-" + QString::number(i) + "-pointer.png");
        }
    }
    ok &= Grab(main, out + "main.png");

    auto box =
        app::CreateMessageBox(&main, "", "message_text_22", 96, true, app::kMsgButtonsQuestion);
    if (box) {
        box->ShowWindow(true, false);
        ok &= Grab(*box, out + "msgbox.png");
        box->DestroyWindow();
    }
    ok &= GrabDialog<app::CSetWnd>(&main, out + "setwnd.png", [&](app::CSetWnd& w) {
        w.SetMainWindow(&main, main.LanguageIndex());
    });
    ok &= GrabDialog<app::CSkinFrame>(&main, out + "skinframe.png", {});
    ok &= GrabDialog<app::CAboutWnd>(&main, out + "about.png", {});
    return ok ? 0 : 1;
}
