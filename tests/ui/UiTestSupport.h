#pragma once
// Shared test helpers: one QApplication for the process, a temporary skin
// folder, a window built from skin text that records its notifications, and
// user input aimed at controls.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Builder.h"
#include "ui/PaintManager.h"
#include "ui/Resources.h"
#include "ui/Window.h"

namespace uitest {

inline QApplication* App() {
    static int argc = 1;
    static char arg0[] = "ui-tests";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = [] {
        ui::PrepareApplication();
        auto* a = new QApplication(argc, argv);
        ui::ApplyTheme(*a);
        return a;
    }();
    return app;
}

// A temporary resource folder; files are written relative to it.
class SkinFolder {
  public:
    SkinFolder() {
        App();
        ui::CResourceManager::Instance().SetResourcePath(Path());
    }
    std::string Path() const { return dir_.path().toStdString() + "/"; }
    void Write(const std::string& name, const std::string& text) const {
        QString file = QString::fromStdString(Path() + name);
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text.data(), qint64(text.size()));
    }
    // A solid PNG of one colour.
    void Image(const std::string& name, int w, int h, QColor color) const {
        QString file = QString::fromStdString(Path() + name);
        QDir().mkpath(QFileInfo(file).path());
        QImage img(w, h, QImage::Format_ARGB32);
        img.fill(color);
        img.save(file);
    }

  private:
    QTemporaryDir dir_;
};

struct Note {
    std::string type;
    std::string sender;
    ui::WPARAM w = 0;
    ui::LPARAM l = 0;
};

// A window whose skin is a file of the folder; it records every notification
// and every message its custom handler sees.
class RecordingWnd : public ui::WindowImplBase {
  public:
    explicit RecordingWnd(std::string skin) : skin_(std::move(skin)) {}
    std::string GetSkinFile() override { return skin_; }
    std::string GetWindowClassName() const override { return "RecordingWnd"; }
    void Notify(ui::TNotifyUI& msg) override {
        notes.push_back(
            {msg.sType, msg.pSender ? msg.pSender->GetName() : "", msg.wParam, msg.lParam});
        ui::WindowImplBase::Notify(msg);
    }
    ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l,
                                    bool& handled) override {
        if (onMessage) return onMessage(msg, w, l, handled);
        handled = false;
        return 0;
    }
    ui::CControlUI* CreateControl(const char* name) override {
        return createControl ? createControl(name) : nullptr;
    }
    // Notes of one type, in order.
    std::vector<Note> Of(const std::string& type) const {
        std::vector<Note> out;
        for (const Note& n : notes)
            if (n.type == type) out.push_back(n);
        return out;
    }
    // Types and senders, without the "timer", "windowinit", "windowsize" noise.
    std::vector<std::string> Trail() const {
        std::vector<std::string> out;
        for (const Note& n : notes)
            if (n.type != "timer" && n.type != "windowinit" && n.type != "windowsize")
                out.push_back(n.type + ":" + n.sender);
        return out;
    }
    std::function<ui::LRESULT(ui::UINT, ui::WPARAM, ui::LPARAM, bool&)> onMessage;
    std::function<ui::CControlUI*(const char*)> createControl;
    std::vector<Note> notes;

  private:
    std::string skin_;
};

// Creates, shows and lays out a window; nullptr when the skin did not build.
inline std::unique_ptr<RecordingWnd> OpenWindow(const std::string& skin, bool show = true) {
    auto wnd = std::make_unique<RecordingWnd>(skin);
    if (!wnd->Create(nullptr, "test", ui::UI_WNDSTYLE_FRAME & ~ui::WS_VISIBLE, 0)) return nullptr;
    if (show) {
        wnd->ShowWindow(true);
        (void)QTest::qWaitForWindowExposed(wnd->GetHWND());
    }
    QApplication::processEvents();
    wnd->GetPaintManager().DoLayout();
    QApplication::processEvents();
    return wnd;
}

// The widget that receives a control's mouse input and the point inside it.
inline QWidget* HostOf(ui::CControlUI* c) {
    return c->GetHost()->GetWidget();
}
inline QPoint LocalPoint(ui::CControlUI* c, QPoint windowPt) {
    return windowPt - c->GetHost()->GetPos().topLeft();
}
inline QPoint Center(ui::CControlUI* c) {
    return c->GetPos().center();
}

inline void Mouse(ui::CControlUI* over, QEvent::Type type, QPoint windowPt,
                  Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* w = HostOf(over);
    QPointF local = LocalPoint(over, windowPt);
    Qt::MouseButtons buttons = (type == QEvent::MouseButtonRelease ||
                                (type == QEvent::MouseMove && button == Qt::NoButton))
                                   ? Qt::NoButton
                                   : Qt::MouseButtons(button);
    Qt::MouseButton which = type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent e(type, local, w->mapToGlobal(local), which, buttons, mods);
    QApplication::sendEvent(w, &e);
}

inline void Click(ui::CControlUI* c) {
    QTest::mouseClick(HostOf(c), Qt::LeftButton, Qt::NoModifier, LocalPoint(c, Center(c)));
    QApplication::processEvents();
}

// Lets queued work (posted messages, relayouts) run.
inline void Pump(int ms = 0) {
    QApplication::processEvents();
    if (ms > 0) QTest::qWait(ms);
    QApplication::processEvents();
}

}  // namespace uitest
