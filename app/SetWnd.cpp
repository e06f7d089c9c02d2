#include "app/SetWnd.h"

#include "app/AppMessages.h"
#include "app/Dpi.h"
#include "ui/InputControls.h"
#include "ui/List.h"
#include "ui/Text.h"

namespace app {

void CSetWnd::InitWindow() {
    ResizeClient(kWidth, kHeight);
}

void CSetWnd::SetDpi(int dpi) {
    dpi_ = ValidDpiOr96(dpi, "SET_WND DPI SET ERROR");
    pm_.SetDPI(dpi_);
    ResizeClient(pm_.ScaleValue(kWidth), pm_.ScaleValue(kHeight));
}

void CSetWnd::SetMainWindow(ui::CWindowWnd* main, int languageIndex) {
    main_ = main;
    languageIndex_ = languageIndex;
    FillLanguageList();
}

void CSetWnd::FillLanguageList() {
    auto* combo = FindControlAs<ui::CComboUI>("Language_combox_info");
    if (!combo) return;
    filling_ = true;
    combo->RemoveAll();
    for (const LanguageEntry& entry : ReadLanguageConfig()) {
        auto* item = new ui::CListLabelElementUI();
        item->SetText(entry.text);
        combo->Add(item);
    }
    if (languageIndex_ >= 0 && languageIndex_ < combo->GetCount())
        combo->SelectItem(languageIndex_, false, false);
    filling_ = false;
}

void CSetWnd::Notify(ui::TNotifyUI& msg) {
    if (msg.sType == "itemselect" && msg.pSender && msg.pSender->IsName("Language_combox_info")) {
        auto* combo = dynamic_cast<ui::CComboUI*>(msg.pSender);
        if (filling_ || !combo) return;
        languageIndex_ = combo->GetCurSel();
        if (main_ && languageIndex_ >= 0)
            main_->SendMessage(kMsgLanguageChanged, ui::WPARAM(languageIndex_), 0);
        return;
    }
    if (msg.sType == "click" && msg.pSender && msg.pSender->IsName("laterbtn")) {
        Close(0);
        return;
    }
    WindowImplBase::Notify(msg);
}

ui::LRESULT CSetWnd::HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l, bool& handled) {
    if (msg == kMsgLanguageChanged) {
        pm_.ReloadText();
        pm_.NeedUpdate();
        handled = true;
        return 0;
    }
    if (msg == Registered().identity[kFirstIdentity] && msg != 0) {
        // The update answer to the first identity message comes with the
        // update service; the window then closes itself.
        Close(0);
        handled = true;
        return 0;
    }
    return WindowImplBase::HandleCustomMessage(msg, w, l, handled);
}

}  // namespace app
