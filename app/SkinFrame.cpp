#include "app/SkinFrame.h"

#include <QApplication>
#include <QWidget>

#include "app/IniFile.h"
#include "profiles/AppFolders.h"
#include "ui/Containers.h"
#include "ui/Dialogs.h"
#include "ui/Text.h"

namespace app {

namespace {
CSkinFrame* g_current = nullptr;

std::optional<std::string> DefaultChooser(ui::CWindowWnd* owner) {
    return ui::OpenFileDialog(owner, "(*.png) | *.png |(*.*)|*.*||", "*.png");
}

CSkinFrame::FileChooser& Chooser() {
    static CSkinFrame::FileChooser chooser = DefaultChooser;
    return chooser;
}

// The frame closes itself when it loses the keyboard focus.
class CFocusWatch : public QObject {
  public:
    CFocusWatch(QWidget* w, CSkinFrame* frame) : QObject(w), frame_(frame) {
        w->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::WindowDeactivate) frame_->OnDeactivated();
        return false;
    }

  private:
    CSkinFrame* frame_;
};
}  // namespace

SkinObserver& GetSkinObserver() {
    static SkinObserver observer;
    return observer;
}

std::string SkinIniPath() {
    return profiles::GetAppDataRoot() + "main.ini";
}

bool WriteSkinChoice(const std::string& flags, const std::string& image) {
    CIniFile ini(SkinIniPath());
    return ini.Write("SKINIMAGE", "FLAGS", flags) && ini.Write("SKINIMAGE", "IMAGE", image);
}

void CSkinFrame::SetFileChooser(FileChooser chooser) {
    Chooser() = chooser ? std::move(chooser) : FileChooser(DefaultChooser);
}

CSkinFrame* CSkinFrame::Current() {
    return g_current;
}

CSkinFrame* CSkinFrame::Open(ui::CWindowWnd* owner, ui::CControlUI* button) {
    if (g_current) g_current->Close(0);
    auto* frame = new CSkinFrame();
    if (!frame->Create(owner, "skinframe", ui::WS_POPUP | ui::WS_CLIPCHILDREN | ui::WS_CLIPSIBLINGS,
                       ui::WS_EX_TOOLWINDOW | ui::WS_EX_TOPMOST | ui::WS_EX_NOACTIVATE)) {
        delete frame;
        return nullptr;
    }
    frame->SetIcon(128);
    QRect r(QPoint(0, 0), frame->GetPaintManager().GetInitSizeScaled());
    if (button) {
        const QRect b = button->GetScreenRect();
        r.moveTopRight(QPoint(b.right(), b.bottom() + 1));
    }
    frame->MoveWindow(r);
    new CFocusWatch(frame->GetHWND(), frame);
    g_current = frame;
    frame->ShowWindow(true, false);
    return frame;
}

void CSkinFrame::OnFinalMessage() {
    if (g_current == this) g_current = nullptr;
    ui::LifeWatch watch = life_;
    CSkinFrame* self = this;
    ui::RunOnUiThread([self, watch] {
        if (!watch.expired()) delete self;
    });
}

void CSkinFrame::OnDeactivated() {
    if (!choosing_) Close(0);
}

void CSkinFrame::SelectPage(int page) {
    if (auto* tab = FindControlAs<ui::CTabLayoutUI>("skin_tab")) tab->SelectItem(page);
}

void CSkinFrame::OnFrameClick(ui::CControlUI* sender) {
    const std::string& name = sender->GetName();
    if (ui::EqualsNoCase(name, "skin_image")) {
        SelectPage(0);
    } else if (ui::EqualsNoCase(name, "skin_color")) {
        SelectPage(1);
    } else if (ui::EqualsNoCase(name, "skin_image_btn")) {
        const std::string image = sender->GetBkImage();
        GetSkinObserver().Broadcast({false, 0, image});
        WriteSkinChoice("1", image);
    } else if (ui::EqualsNoCase(name, "skin_color_btn")) {
        GetSkinObserver().Broadcast({true, sender->GetBkColor(), {}});
    } else if (ui::EqualsNoCase(name, "skin_reset")) {
        GetSkinObserver().Broadcast({false, 0, kDefaultBackground});
        WriteSkinChoice("0", kDefaultBackground);
    } else if (ui::EqualsNoCase(name, "skin_Custom")) {
        choosing_ = true;
        std::optional<std::string> file = Chooser()(this);
        choosing_ = false;
        if (file) GetSkinObserver().Broadcast({false, 0, *file});
    }
}

void CSkinFrame::Notify(ui::TNotifyUI& msg) {
    if (msg.sType == "click" && msg.pSender) {
        OnFrameClick(msg.pSender);
        return;
    }
    WindowImplBase::Notify(msg);
}

ui::LRESULT CSkinFrame::HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l,
                                            bool& handled) {
    return WindowImplBase::HandleCustomMessage(msg, w, l, handled);
}

}  // namespace app
