#include "app/MsgWnd.h"

#include "app/Dpi.h"
#include "ui/Text.h"

namespace app {

void CMsgWnd::SetDpi(int dpi) {
    const int value = ValidDpiOr96(dpi, "MSG_WND DPI SET ERROR");
    if (value == dpi_) return;
    dpi_ = value;
    pm_.SetDPI(value);
    if (!pm_.GetInitSize().isEmpty())
        ResizeClient(pm_.GetInitSizeScaled().width(), pm_.GetInitSizeScaled().height());
}

void CMsgWnd::Notify(ui::TNotifyUI& msg) {
    if (msg.sType == "click" && msg.pSender) {
        const std::string& name = msg.pSender->GetName();
        if (ui::EqualsNoCase(name, "closebtn") || ui::EqualsNoCase(name, "cancel_btn")) {
            Close(0);
            return;
        }
        if (ui::EqualsNoCase(name, "confirm_btn")) {
            Close(1);
            return;
        }
    }
    WindowImplBase::Notify(msg);
}

ui::LRESULT CMsgWnd::HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l, bool& handled) {
    if (msg == ui::WM_DPICHANGED) {
        dpi_ = ValidDpiOr96(int(w & 0xFFFF), "MSG_WND DPI SET ERROR");
        pm_.SetDPI(dpi_);
        pm_.ResetDPIAssets();
        if (const auto* rc = reinterpret_cast<const QRect*>(l)) MoveWindow(*rc);
        handled = true;
        return 0;
    }
    return WindowImplBase::HandleCustomMessage(msg, w, l, handled);
}

std::unique_ptr<CMsgWnd> CreateMessageBox(ui::CWindowWnd* parent, const std::string& title,
                                          const std::string& text, int dpi, bool textIsResource,
                                          int buttons) {
    auto box = std::make_unique<CMsgWnd>();
    if (!box->Create(parent, "msgwnd", ui::UI_WNDSTYLE_DIALOG, ui::WS_EX_TOOLWINDOW))
        return nullptr;
    if (!title.empty()) {
        if (ui::CControlUI* c = box->FindControl("MessageTitle")) c->SetText(title);
    }
    if (!text.empty()) {
        if (ui::CControlUI* c = box->FindControl("MessageText")) {
            c->SetResourceText(textIsResource);
            c->SetText(text);
        }
    }
    box->SetDpi(dpi);
    const bool question = buttons == kMsgButtonsQuestion;
    if (ui::CControlUI* cancel = box->FindControl("cancel_btn")) cancel->SetVisible(question);
    if (ui::CControlUI* confirm = box->FindControl("confirm_btn")) confirm->SetVisible(true);
    return box;
}

int ShowMessageBox(ui::CWindowWnd* parent, const std::string& title, const std::string& text,
                   int dpi, bool textIsResource, int buttons) {
    std::unique_ptr<CMsgWnd> box =
        CreateMessageBox(parent, title, text, dpi, textIsResource, buttons);
    if (!box) return 0;
    box->CenterWindow();
    return box->ShowModal() == 1 ? 1 : 0;
}

}  // namespace app
