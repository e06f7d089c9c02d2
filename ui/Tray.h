#pragma once
// The notification-area icon. Clicks reach the window as its callback
// message with the mouse message in lParam (WM_LBUTTONUP for a left click,
// WM_RBUTTONUP for a right click) and the icon id in wParam.
#include <QSystemTrayIcon>
#include <memory>
#include <string>

#include "ui/Messages.h"

namespace ui {

class CWindowWnd;

// Whether the desktop shows tray icons at all. Without one the program must
// keep its window reachable (it stays in the task bar).
bool IsTrayAvailable();

class CTrayIcon {
  public:
    CTrayIcon() = default;
    ~CTrayIcon() { Delete(); }
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    bool Create(CWindowWnd* window, int iconId, const std::string& tooltip, UINT callbackMsg);
    void Delete();
    bool IsCreated() const { return icon_ != nullptr; }
    void SetToolTip(const std::string& tooltip);
    // The message a click of the given kind sends (0 for none).
    static LPARAM MouseMessageFor(QSystemTrayIcon::ActivationReason reason);
    // Delivers an activation as a click would.
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

  private:
    std::unique_ptr<QSystemTrayIcon> icon_;
    CWindowWnd* window_ = nullptr;
    int iconId_ = 0;
    UINT callback_ = 0;
};

}  // namespace ui
