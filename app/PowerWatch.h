#pragma once
// Suspend and resume from logind's PrepareForSleep signal on the system bus,
// turned into WM_POWERBROADCAST for the window. Without a system bus (or
// logind) nothing arrives and the power gate simply stays open.
#include <QObject>

namespace ui {
class CWindowWnd;
}

namespace app {

class CPowerWatch : public QObject {
    Q_OBJECT
  public:
    explicit CPowerWatch(ui::CWindowWnd* window);
    bool IsWatching() const { return watching_; }

  private slots:
    void OnPrepareForSleep(bool sleeping);

  private:
    ui::CWindowWnd* window_;
    bool watching_ = false;
};

}  // namespace app
