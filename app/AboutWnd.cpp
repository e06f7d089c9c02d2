#include "app/AboutWnd.h"

#include "app/AppMessages.h"
#include "hid/Catalog.h"
#include "ui/Text.h"

namespace app {

std::string ApplicationVersionText() {
    for (const hid::UpdateCatalogEntry& row : hid::UpdateCatalog())
        if (row.updateKind == 0) return row.versionText;
    return {};
}

void CAboutWnd::InitWindow() {
    ShowVersion();
}

void CAboutWnd::ShowVersion() {
    ui::CControlUI* probe = FindControl("text_test");
    ui::CControlUI* label = FindControl("software_ver_label");
    if (!probe || !label) return;
    probe->SetResourceText(true);
    probe->SetText("software_rev_text");
    label->SetText(probe->GetText() + ApplicationVersionText());
}

void CAboutWnd::Notify(ui::TNotifyUI& msg) {
    if (msg.sType == "click" && msg.pSender && msg.pSender->IsName("homepage_btn")) return;
    if (msg.sType == "timer" && msg.wParam == 1) {
        KillTimer(1);
        return;
    }
    WindowImplBase::Notify(msg);
}

ui::LRESULT CAboutWnd::HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l,
                                           bool& handled) {
    if (msg == kMsgLanguageChanged) {
        ShowVersion();
        pm_.Invalidate();
        pm_.NeedUpdate();
        handled = true;
        return 0;
    }
    if (msg == ui::WM_TIMER && w == 1) {
        KillTimer(1);
        handled = true;
        return 0;
    }
    return WindowImplBase::HandleCustomMessage(msg, w, l, handled);
}

}  // namespace app
