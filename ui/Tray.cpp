#include "ui/Tray.h"

#include "ui/Resources.h"
#include "ui/Text.h"
#include "ui/Window.h"

namespace ui {

bool IsTrayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool CTrayIcon::Create(CWindowWnd* window, int iconId, const std::string& tooltip,
                       UINT callbackMsg) {
    Delete();
    window_ = window;
    iconId_ = iconId;
    callback_ = callbackMsg;
    icon_ = std::make_unique<QSystemTrayIcon>();
    std::string file = CResourceManager::Instance().GetIconFile(iconId);
    if (!file.empty()) icon_->setIcon(QIcon(Q(file)));
    icon_->setToolTip(Q(tooltip));
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                     [this](QSystemTrayIcon::ActivationReason r) { OnActivated(r); });
    if (IsTrayAvailable()) icon_->show();
    return true;
}

void CTrayIcon::Delete() {
    if (icon_) icon_->hide();
    icon_.reset();
}

void CTrayIcon::SetToolTip(const std::string& tooltip) {
    if (icon_) icon_->setToolTip(Q(tooltip));
}

LPARAM CTrayIcon::MouseMessageFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return WM_LBUTTONUP;
        case QSystemTrayIcon::Context:
            return WM_RBUTTONUP;
        case QSystemTrayIcon::DoubleClick:
            return WM_LBUTTONDBLCLK;
        case QSystemTrayIcon::MiddleClick:
            return WM_MBUTTONUP;
        default:
            return 0;
    }
}

void CTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    LPARAM mouse = MouseMessageFor(reason);
    if (window_ && mouse) window_->PostMessage(callback_, WPARAM(iconId_), mouse);
}

}  // namespace ui
