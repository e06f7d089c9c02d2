#include "app/AppBus.h"

#include "app/CopyData.h"
#include "app/ipc/MessageNames.h"
#include "ui/Window.h"

namespace app {

std::set<std::string> NamesAcceptedFromOutside() {
    std::set<std::string> names{
        std::string(ipc::kInstanceName), std::string(ipc::kFirstIdentityMessage),
        std::string(ipc::kLightControlStatusMessage), std::string(ipc::kToolMessage)};
    for (std::string_view game : ipc::kGameMessages)
        names.emplace(game);
    return names;
}

CAppBus::CAppBus(ui::CWindowWnd* window)
    : window_(window), link_(std::make_unique<ipc::CBusLink>()) {
    link_->SetMessageHandler(
        [this](const std::string& n, int64_t w, int64_t l) { return OnMessage(n, w, l); });
    link_->SetCopyDataHandler(
        [this](int64_t w, int64_t t, const QByteArray& d) { return OnCopyData(w, t, d); });
}

CAppBus::~CAppBus() {
    Stop();
}

bool CAppBus::Start(const std::string& title) {
    if (!link_->IsConnected()) return false;
    link_->ListenForBroadcasts();
    return link_->PublishWindow(QString::fromStdString(title));
}

void CAppBus::Stop() {
    link_->UnpublishWindow();
    link_->SetAcceptedNames({});
}

void CAppBus::AcceptOutsideNames() {
    link_->SetAcceptedNames(NamesAcceptedFromOutside());
}

bool CAppBus::IsConnected() const {
    return link_->IsConnected();
}

bool CAppBus::Broadcast(UINT msg, int64_t wParam, int64_t lParam) {
    const std::string name = ui::RegisteredMessageName(msg);
    return !name.empty() && link_->Broadcast(name, wParam, lParam);
}

std::optional<int64_t> CAppBus::CopyDataTo(const std::string& title, int64_t wParam,
                                           int64_t dataType, const QByteArray& data) {
    return link_->CopyDataTo(QString::fromStdString(title), wParam, dataType, data);
}

bool CAppBus::WindowExists(const std::string& title) const {
    return link_->WindowExists(QString::fromStdString(title));
}

// Bus calls are dispatched on the UI thread, so the window handles them directly.
int64_t CAppBus::OnMessage(const std::string& name, int64_t wParam, int64_t lParam) {
    const UINT msg = ui::RegisterWindowMessage(name);
    if (msg == 0 || !window_->IsWindow()) return 0;
    return window_->SendMessage(msg, WPARAM(wParam), LPARAM(lParam));
}

int64_t CAppBus::OnCopyData(int64_t wParam, int64_t dataType, const QByteArray& data) {
    if (!window_->IsWindow()) return 0;
    CopyDataStruct cds;
    cds.dwData = uintptr_t(dataType);
    cds.cbData = uint32_t(std::min<qsizetype>(data.size(), INT32_MAX));
    cds.lpData = data.constData();
    return window_->SendMessage(ui::WM_COPYDATA, WPARAM(wParam), LPARAM(&cds));
}

}  // namespace app
