#include "app/PowerWatch.h"

#include <QDBusConnection>

#include "ui/Window.h"

namespace app {

CPowerWatch::CPowerWatch(ui::CWindowWnd* window) : window_(window) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return;
    watching_ = bus.connect("org.freedesktop.login1", "/org/freedesktop/login1",
                            "org.freedesktop.login1.Manager", "PrepareForSleep", this,
                            SLOT(OnPrepareForSleep(bool)));
}

void CPowerWatch::OnPrepareForSleep(bool sleeping) {
    window_->PostMessage(ui::WM_POWERBROADCAST,
                         sleeping ? ui::PBT_APMSUSPEND : ui::PBT_APMRESUMEAUTOMATIC, 0);
}

}  // namespace app
