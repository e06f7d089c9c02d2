#pragma once
// The main window on the session bus: registered messages from other
// programs arrive by name and reach the window under this process's number;
// broadcasts and calls to other windows leave by name.
#include <QByteArray>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/AppMessages.h"
#include "app/ipc/BusLink.h"

namespace ui {
class CWindowWnd;
}

namespace app {

// Names another program may send us. The hook messages are not among them:
// our own hook layer posts those in-process.
std::set<std::string> NamesAcceptedFromOutside();

class CAppBus {
  public:
    explicit CAppBus(ui::CWindowWnd* window);
    ~CAppBus();

    // Listens for broadcasts and publishes the window under its title.
    bool Start(const std::string& title);
    void Stop();
    // Opens the window for the names other programs may send.
    void AcceptOutsideNames();
    bool IsConnected() const;

    bool Broadcast(UINT msg, int64_t wParam, int64_t lParam);
    std::optional<int64_t> CopyDataTo(const std::string& title, int64_t wParam, int64_t dataType,
                                      const QByteArray& data);
    bool WindowExists(const std::string& title) const;

    ipc::CBusLink& Link() { return *link_; }

  private:
    int64_t OnMessage(const std::string& name, int64_t wParam, int64_t lParam);
    int64_t OnCopyData(int64_t wParam, int64_t dataType, const QByteArray& data);

    ui::CWindowWnd* window_;
    std::unique_ptr<ipc::CBusLink> link_;
};

}  // namespace app
