// The main window's message router: registered messages (other programs,
// the hook layer, the game integrations) and the fixed-number messages.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>

#include "app/AppMessages.h"
#include "app/MainWnd.h"
#include "app/ToolBlock.h"
#include "app/ipc/MessageNames.h"
#include "platform/Debug.h"
#include "ui/Application.h"
#include "ui/Controls.h"

namespace app {

namespace {
constexpr const char* kLightControlOnText = "控制灯光";
constexpr const char* kLightControlOffText = "不控制灯光";
}  // namespace

bool PassesPowerGate(ui::UINT msg, bool gateOpen) {
    return gateOpen || msg == kMsgInterfaceArrived || msg == kMsgInterfaceRemoved;
}

template <class Fn>
void CMainWnd::ForEachLitDevice(Fn fn) {
    for (auto* list : {&devices_.mice, &devices_.mousePads, &devices_.keyboards})
        for (IShellDevice* d : *list)
            fn(d);
}

void CMainWnd::PassLightControlStatus(int status) {
    ForEachLitDevice([status](IShellDevice* d) { d->SetLightControlStatus(status); });
}

void CMainWnd::PassHoverFlag() {
    const int hover = hover_;
    ForEachLitDevice([hover](IShellDevice* d) { d->SetHoverFlag(hover); });
}

void CMainWnd::SetLightControlText(int status) {
    if (ui::CControlUI* c = FindControl("control_light_status")) {
        // The two texts are language keys, so each language words them its own way.
        c->SetResourceText(true);
        c->SetText(status ? kLightControlOnText : kLightControlOffText);
    }
}

std::array<int32_t, 4> CMainWnd::StateWords() const {
    return {lightControlStatus_, active_, hover_, dpi_};
}

ui::LRESULT CMainWnd::HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l, bool& handled) {
    ui::LRESULT result = 0;
    handled = RouteRegisteredMessage(msg, w, l, result);
    if (handled) return result;
    if (msg == ui::WM_DESTROY) {
        OnWindowDestroy();
        handled = true;
        return 0;
    }
    if (msg == ui::WM_POWERBROADCAST) {
        OnPowerBroadcast(w);
        handled = true;
        return 1;
    }
    // While suspended only the interface arrivals and removals get through,
    // so that no slot stays claimed without its connection after a resume.
    if (!PassesPowerGate(msg, powerGate_)) return 0;
    if (Registered().IsHook(msg)) {
        // The macro recorder takes these once it exists.
        handled = true;
        return 0;
    }
    if (Registered().GameIndex(msg) >= 0) {
        OnGameMessage(w, l);
        handled = true;
        return 0;
    }
    handled = RouteFixedMessage(msg, w, l, result);
    return result;
}

// Messages handled ahead of the power gate.
bool CMainWnd::RouteRegisteredMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l,
                                      ui::LRESULT& result) {
    const RegisteredMessages& reg = Registered();
    result = 0;
    switch (msg) {
        case ui::WM_ACTIVATE:
            OnActivate(w);
            return true;
        case ui::WM_MOUSELEAVE:
            OnMouseHover(false);
            return false;
        case ui::WM_MOUSEHOVER:
            OnMouseHover(true);
            return false;
        default:
            break;
    }
    if (msg == 0) return false;
    if (msg == reg.instance) {
        platform::DebugOutF("软件标示 %d，%xd%xd", int(msg), unsigned(w), unsigned(l));
        RestoreAndRaise();
        return true;
    }
    if (msg == reg.identity[kFirstIdentity]) {
        if (ui::CWindowWnd* set = children_[kChildSettings]) set->PostMessage(msg, w, l);
        return true;
    }
    if (msg == reg.identity[kLightControlStatus]) {
        OnLightControlStatusMessage(w, l);
        return true;
    }
    if (msg == reg.identity[kToolRequest]) {
        OnToolMessage();
        return true;
    }
    return false;
}

bool CMainWnd::RouteFixedMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l, ui::LRESULT& result) {
    result = 0;
    switch (msg) {
        case ui::WM_COPYDATA:
            result = OnCopyData(l);
            return true;
        case ui::WM_DISPLAYCHANGE:
            platform::DebugOut("显示器分辨率发生变化");
            displayChanged_ = true;
            SetupDpi();
            return true;
        case ui::WM_KEYDOWN:
        case ui::WM_SYSKEYDOWN:
            return true;
        case ui::WM_TIMER:
            OnTimer(w);
            return true;
        case ui::WM_DPICHANGED:
            pm_.SetDPI(int(w & 0xFFFF));
            pm_.ResetDPIAssets();
            if (const auto* rc = reinterpret_cast<const QRect*>(l)) MoveWindow(*rc);
            CenterWindow();
            pm_.NeedUpdate();
            platform::DebugOut("界面 DPI 发生变化");
            return true;
        case kMsgTrayIcon:
            OnTrayIcon(l);
            return true;
        case kMsgInputHook:
            // The input hook is installed and removed here once the hook layer exists.
            return true;
        case kMsgMenuCommand:
            OnMenuCommand(w);
            return true;
        case kMsgDpiTrace:
            platform::DebugOut("界面 DPI 1发生变化");
            return true;
        case kMsgShowSettingProgress:
            if (ui::CControlUI* c = FindControl("setting_progress")) c->SetVisible(true);
            return true;
        case kMsgLanguageChanged:
            OnLanguageMessage(w);
            return true;
        case kMsgInterfaceArrived:
        case kMsgInterfaceRemoved:
            OnInterfaceMessage(msg, w);
            return true;
        case kMsgOpenSettingsCentred:
            ShowSettingsWindow(true);
            return true;
        case kMsgClearUpdateMark:
            if (setBtn_) setBtn_->SetForeImage("");
            return true;
        case kMsgDeviceItem:
            OnDeviceItemMessage(w, l);
            return true;
        default:
            return false;
    }
}

void CMainWnd::OnActivate(ui::WPARAM w) {
    active_ = hover_ = w ? 1 : 0;
    PassHoverFlag();
}

void CMainWnd::OnMouseHover(bool hover) {
    platform::DebugOut(hover ? "鼠标移入" : "鼠标移出");
    if (active_) return;
    hover_ = hover ? 1 : 0;
    PassHoverFlag();
}

void CMainWnd::OnLightControlStatusMessage(ui::WPARAM w, ui::LPARAM l) {
    if (w != 1 || (l != 0 && l != 1)) return;
    lightControlStatus_ = int(l);
    platform::DebugOutF("light-control status %d from another program", lightControlStatus_);
    SetLightControlText(lightControlStatus_);
    PassLightControlStatus(lightControlStatus_);
}

void CMainWnd::OnToolMessage() {
    const std::string tool(ipc::kToolWindowTitle);
    if (!bus_->WindowExists(tool)) return;
    const std::vector<uint8_t> block = BuildToolBlock(StateWords());
    const QByteArray data(reinterpret_cast<const char*>(block.data()), qsizetype(block.size()));
    platform::DebugOut("device list sent to the tool window");
    bus_->CopyDataTo(tool, int64_t(QCoreApplication::applicationPid()),
                     int64_t(kCopyDataDeviceList), data);
}

ui::LRESULT CMainWnd::OnCopyData(ui::LPARAM l) {
    const auto* cds = reinterpret_cast<const CopyDataStruct*>(l);
    if (!cds) return 0;
    const size_t taken = copyData_.Take(*cds);
    // Type 1 feeds the keyboard's audio spectrum and type 2 its audio colours
    // once the audio light exists.
    return ui::LRESULT(taken);
}

void CMainWnd::OnPowerBroadcast(ui::WPARAM w) {
    if (w == ui::PBT_APMRESUMEAUTOMATIC) {
        powerGate_ = true;
        PassLightControlStatus(lightControlStatus_);
    } else if (w == ui::PBT_APMSUSPEND) {
        powerGate_ = false;
        PassLightControlStatus(0);
    }
}

void CMainWnd::OnGameMessage(ui::WPARAM w, ui::LPARAM l) {
    platform::DebugOutF("game event: wParam %d lParam %d", int(w), int(l));
    gameLight_.OnGameMessage(w, l, selected_);
    KillTimer(kGameLightTimerId);
    SetTimer(kGameLightTimerId, kGameLightTimeoutMs);
}

void CMainWnd::OnTimer(ui::WPARAM id) {
    KillTimer(ui::UINT(id));
    switch (id) {
        case kDpiTimerId:
            SetupDpi();
            pm_.Invalidate();
            // The audio-light start-up step runs here once the audio light exists.
            break;
        case kTrayMenuTimerId:
            ShowTrayMenu();
            break;
        case kProfileSwitchTimerId:
            // The profile switch runs here once the profile list exists.
            break;
        case kGameLightTimerId:
            gameLight_.OnTimer();
            break;
        default:
            break;
    }
}

void CMainWnd::OnLanguageMessage(ui::WPARAM w) {
    ApplyLanguage(int(w));
    for (auto* list : {&devices_.mice, &devices_.keyboards})
        for (IShellDevice* d : *list)
            d->ReloadTexts();
}

void CMainWnd::StopThreads() {
    ShowWindow(false);
    // Blocking calls from workers into the UI are refused from now on, so a
    // worker caught in a synchronous send returns at once and can be joined.
    ui::BeginUiShutdown();
    for (platform::WorkerThread& t : threads_)
        t.RequestStop();
    for (size_t slot = 0; slot < threads_.size(); ++slot) {
        platform::WorkerThread& t = threads_[slot];
        if (!t.IsRunning()) continue;
        QElapsedTimer clock;
        clock.start();
        t.Stop(1000);
        platform::DebugOut(clock.elapsed() <= 1000 ? "所有对象处于激发状态\n"
                                                   : "所有对象处于非激发状态，超时\n");
    }
    StopDeviceThreads();
    // The audio capture program is disconnected here once the audio light exists.
}

void CMainWnd::OnWindowDestroy() {
    platform::DebugOut("退出测试");
    tray_.Delete();
    CloseChildWindows();
    StopThreads();
    bus_->Stop();
    ui::PostQuitMessage(0);
}

}  // namespace app
