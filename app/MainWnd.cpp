#include "app/MainWnd.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include "app/AboutWnd.h"
#include "app/AppMessages.h"
#include "app/ColorSelectWnd.h"
#include "app/Dpi.h"
#include "app/MainDeviceLinks.h"
#include "app/SetWnd.h"
#include "app/ipc/MessageNames.h"
#include "app/pages/DeviceSettings.h"
#include "app/pages/MouseDevice.h"
#include "devices/events/LightSync.h"
#include "editors/CustomControls.h"
#include "hid/scan/InterfaceSlots.h"
#include "platform/Debug.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/InputControls.h"
#include "ui/Menu.h"
#include "ui/Resources.h"
#include "ui/Text.h"

namespace app {

namespace {
CMainWnd* g_mainWnd = nullptr;

constexpr int kAppIconId = 107;

// The program's own control classes the skins name without a "C...UI" spelling.
struct ControlMaker {
    const char* name;
    ui::CControlUI* (*make)();
};
template <class T>
ui::CControlUI* Make() {
    return new T();
}
const ControlMaker kOwnControls[] = {
    {"CircleProgress", Make<editors::CCircleProgressUI>},
    {"SelectPanel", Make<editors::CSelectPanelUI>},
    {"DeviceKeyButton", Make<editors::CDeviceKeyButtonUI>},
    {"HandImgButton", Make<editors::CHandImgButtonUI>},
    {"AudioRecord", Make<editors::CAudioRecordUI>},
    {"HandImgSelectButton", Make<editors::CHandImgSelectButtonUI>},
    {"RedioMacroButton", Make<editors::CRedioMacroButtonUI>},
    {"ComboEditContainerElement", Make<editors::CComboEditContainerElementUI>},
};

// The device objects, by the root element of their page skins.
const ControlMaker kDeviceClasses[] = {
    {"TervanicMouseDevice", Make<pages::CTervanicMouseDevice>},
    {"TervanicKeyboardDevice", Make<pages::CTervanicKeyboardDevice>},
    {"TervanicMousePadDevice", Make<pages::CTervanicMousePadDevice>},
    {"TervanicZE6533Device", Make<pages::CTervanicZE6533Device>},
};

// Placeholders that stand for a composite built from its own skin file.
struct Composite {
    const char* name;
    const char* skin;
};
const Composite kComposites[] = {
    {"DeviceProfileUI", "XML\\CustomControlXML\\DeviceProfile.xml"},
    {"LightSetControlUI", "XML\\CustomControlXML\\LightControl.xml"},
    {"Voice6533SetControlUI", "XML\\CustomControlXML\\Voice6533Control.xml"},
    {"MagicSetControlUI", "XML\\CustomControlXML\\MagicControl.xml"},
    {"KeySetControlUI", "XML\\CustomControlXML\\KeySetControl.xml"},
    {"MacroSetControlUI", "XML\\CustomControlXML\\MacroControl.xml"},
    {"ShootKeySetControlUI", "XML\\CustomControlXML\\ShootControl.xml"},
    {"VirtualSetControlUI", "XML\\CustomControlXML\\VirtualSet.xml"},
};

// Desktop tools that show the keyboard (0) or mouse (1) settings.
struct PanelTool {
    int which;
    const char* program;
    const char* argument;
};
const PanelTool kPanelTools[] = {
    {0, "gnome-control-center", "keyboard"}, {0, "systemsettings", "kcm_keyboard"},
    {0, "xfce4-keyboard-settings", ""},      {1, "gnome-control-center", "mouse"},
    {1, "systemsettings", "kcm_mouse"},      {1, "xfce4-mouse-settings", ""},
};
}  // namespace

CMainWnd* MainWindow() {
    return g_mainWnd;
}

int ChooseWindowDpi(const QSize& monitor) {
    return monitor.width() > 1500 && monitor.height() > 960 ? 144 : 96;
}

CMainWnd::CMainWnd()
    : bus_(std::make_unique<CAppBus>(this)),
      scanSlots_(std::make_unique<hid::scan::CInterfaceSlots>()),
      linkUi_(std::make_unique<CMainDeviceLinks>(*this)),
      links_(std::make_unique<devices::events::CDeviceLinks>(*scanSlots_, registry_, *linkUi_)) {
    RegisterHookAndGameMessages();
}

CMainWnd::~CMainWnd() {
    GetSkinObserver().RemoveReceiver(this);
    StopDeviceThreads();
    for (platform::WorkerThread& t : threads_)
        t.Stop();
    if (g_mainWnd == this) g_mainWnd = nullptr;
}

// ---- initialisation --------------------------------------------------------

void CMainWnd::InitWindow() {
    platform::DebugOut("InitWindow");
    ui::CResourceManager& rm = ui::CResourceManager::Instance();
    rm.SetTextQuery(this);
    rm.LoadLanguage("lan_cn.xml");
    GetSkinObserver().AddReceiver(this);
    closeBtn_ = FindControl("closebtn");
    maxBtn_ = FindControl("maxbtn");
    restoreBtn_ = FindControl("restorebtn");
    minBtn_ = FindControl("minbtn");
    skinBtn_ = FindControl("skinbtn");
    gameModeBtn_ = FindControl("gamemodebtn");
    cloudBtn_ = FindControl("cloudbtn");
    smartEyesBtn_ = FindControl("smarteyesbtn");
    setBtn_ = FindControl("setbtn");
    // The caption buttons are routed here; the base class must not act on them too.
    closeButton_ = minButton_ = maxButton_ = restoreButton_ = nullptr;
    g_mainWnd = this;
    SetIcon(kAppIconId);
    tray_.Create(this, kAppIconId, std::string(ipc::kInstanceName), kMsgTrayIcon);
    bus_->Start(std::string(ipc::kInstanceName));
    power_ = std::make_unique<CPowerWatch>(this);
}

void CMainWnd::OnFirstLayout(const ui::TNotifyUI&, const RouteHit&) {
    bus_->AcceptOutsideNames();
    bus_->Broadcast(Registered().identity[kSecondIdentity], 1, 1);
    ApplyLanguage(ReadLanguageIndex());
    // The mouse and keyboard pages always exist; the others come with their devices.
    CreateDevicePage(hid::kKindMouse, kMouseCommandRow, 0);
    CreateDevicePage(hid::kKindKeyboard, kKeyboardCommandRow, 0);
    ShowDeviceItem(0, false, false);
    screen_ = ui::GetScreenSize();
    ShowWindow(false);
    // The scan ends its first pass with the instance message, which shows
    // the window; the light synchronisation runs beside it. The audio light
    // (slot 1) starts here once it exists.
    StartDeviceScan();
    SetTimer(kDpiTimerId, 100);
    initialised_ = true;
    // The audio-light settings file is loaded here once the audio light exists.
}

// Without a scan thread the first scan pass finds nothing and ends at once;
// it ends as the scan thread's does, with the instance message.
void CMainWnd::FinishEmptyScanPass() {
    if (!IsThreadRunning(kScanThreadSlot)) PostMessage(Registered().instance, 0, 0);
}

bool CMainWnd::StartThread(int slot, std::string name, platform::WorkerThread::Body body) {
    if (slot < 0 || slot >= kThreadSlots) return false;
    return threads_[size_t(slot)].Start(std::move(name), std::move(body));
}

ui::CControlUI* CMainWnd::CreateControl(const char* className) {
    for (const ControlMaker& m : kOwnControls)
        if (ui::EqualsNoCase(className, m.name)) return m.make();
    for (const Composite& c : kComposites) {
        if (ui::EqualsNoCase(className, c.name)) {
            ui::CDialogBuilder builder;
            return builder.Create(c.skin, this, &pm_);
        }
    }
    for (const ControlMaker& m : kDeviceClasses)
        if (ui::EqualsNoCase(className, m.name)) return m.make();
    // The feature editors are created here once they exist.
    return nullptr;
}

const char* CMainWnd::QueryControlText(const char*, const char*) {
    return nullptr;
}

// ---- skin, language, DPI ---------------------------------------------------

int CMainWnd::OnSkinChanged(const SkinChangedParam& param) {
    ui::CControlUI* root = FindControl("root");
    if (!root) return 0;
    if (param.isColor) {
        root->SetBkColor(param.color);
        root->SetBkImage("");
    } else {
        root->SetBkColor(0);
        root->SetBkImage(param.image);
    }
    root->Invalidate();
    return 1;
}

void CMainWnd::ApplyLanguage(int index) {
    if (!language_.ApplyLanguage(index)) return;
    pm_.ResetDPIAssets();
    pm_.Invalidate();
    for (ui::CWindowWnd* child : children_)
        if (child && child->IsWindow()) child->SendMessage(kMsgLanguageChanged, 0, 0);
    pm_.NeedUpdate();
}

void CMainWnd::SetupDpi() {
    if (inDpiSetup_ || !IsWindow()) return;
    inDpiSetup_ = true;
    const bool wasShown = IsWindowVisible() && !IsMinimized();
    if (!wasShown) SendMessage(ui::WM_SYSCOMMAND, ui::SC_RESTORE, 0);
    const QRect monitor = ui::GetMonitorRect(GetWindowRect().center());
    dpi_ = ValidDpiOr96(ChooseWindowDpi(monitor.size()), "MAIN_WND DPI SET ERROR");
    ui::CPaintManagerUI::SetAllDPI(96);
    ResizeClient(kMainDesignWidth, kMainDesignHeight);
    ui::CPaintManagerUI::SetAllDPI(dpi_);
    ResizeClient(pm_.ScaleValue(kMainDesignWidth), pm_.ScaleValue(kMainDesignHeight));
    CenterWindow();
    ShowWindow(wasShown, false);
    inDpiSetup_ = false;
}

// ---- bring to front, tray ---------------------------------------------------

bool CMainWnd::AnyDeviceItemVisible() const {
    ui::CControlUI* layout = FindControl("device_select_layout");
    if (!layout) return false;
    for (ui::CControlUI* item : ui::CPaintManagerUI::FindSubControlsByClass(layout, "DeviceOption"))
        if (item->IsVisible()) return true;
    return false;
}

void CMainWnd::UpdateNoDeviceLink() {
    if (ui::CControlUI* link = FindControl("No_device_Link"))
        link->SetVisible(!AnyDeviceItemVisible());
}

void CMainWnd::SetHiddenPause(bool paused) {
    for (auto* list : {&devices_.mice, &devices_.keyboards})
        for (IShellDevice* d : *list)
            d->SetHiddenPause(paused);
}

void CMainWnd::RestoreAndRaise() {
    UpdateNoDeviceLink();
    SetHiddenPause(false);
    SendMessage(ui::WM_SYSCOMMAND, ui::SC_RESTORE, 0);
    ShowWindow(true, true);
    SetTopMost(true);
    ui::LifeWatch watch = life_;
    QTimer::singleShot(10, [this, watch] {
        if (!watch.expired() && IsWindow()) SetTopMost(false);
    });
    platform::DebugOutF("main window restored and raised (visible %d)", IsWindowVisible() ? 1 : 0);
}

void CMainWnd::CloseChildWindows() {
    for (ui::CWindowWnd* child : children_)
        if (child && child->IsWindow()) child->Close(0);
    if (CColorSelectWnd* picker = pages::OpenStageColourPicker(); picker && picker->IsWindow())
        picker->Close(0);
    if (CSkinFrame* frame = CSkinFrame::Current()) frame->Close(0);
}

void CMainWnd::HideToTray() {
    CloseChildWindows();
    if (ui::IsTrayAvailable()) {
        ShowWindow(false);
    } else {
        // No tray to come back from: keep the window in the task bar.
        ShowWindowCmd(ui::SW_MINIMIZE);
    }
    SetHiddenPause(true);
}

void CMainWnd::OnTrayIcon(ui::LPARAM mouse) {
    if (mouse == ui::WM_RBUTTONUP) {
        SetTimer(kTrayMenuTimerId, 10);
        return;
    }
    if (mouse != ui::WM_LBUTTONUP) return;
    UpdateNoDeviceLink();
    if (IsWindowVisible() && !IsMinimized()) {
        ShowWindowCmd(ui::SW_HIDE);
        SetHiddenPause(true);
        return;
    }
    SetupDpi();
    RestoreAndRaise();
    pm_.NeedUpdate();
}

void CMainWnd::ShowTrayMenu() {
    const QPoint pt = ui::GetCursorPos();
    ui::CMenuWnd::ShowMenu(this, "menu.xml", pt, ui::CMenuWnd::AlignForTaskbar(pt), dpi_);
}

void CMainWnd::OnMenuCommand(ui::WPARAM w) {
    std::unique_ptr<ui::MenuCmd> cmd = ui::TakeMenuCmd(w);
    if (!cmd) return;
    if (ui::EqualsNoCase(cmd->name, "exit")) {
        CloseChildWindows();
        Close(0);
        return;
    }
    OnMenuItem(cmd->name);
}

void CMainWnd::OnMenuItem(const std::string& name) {
    if (ui::EqualsNoCase(name, "about_menu"))
        ShowAboutWindow();
    else if (ui::EqualsNoCase(name, "setwnd_menu"))
        ShowSettingsWindow(false);
    // The macro action items go to the macro editor once it exists.
}

// ---- dialogs ------------------------------------------------------------

void CMainWnd::ShowAboutWindow() {
    if (children_[kChildAbout]) return;
    auto about = std::make_unique<CAboutWnd>();
    if (!about->Create(this, "  ", ui::WS_VISIBLE | ui::WS_POPUP, ui::WS_EX_TOOLWINDOW, 0, 0, 800,
                       572))
        return;
    children_[kChildAbout] = about.get();
    about->CenterWindow();
    about->ShowModal();
    children_[kChildAbout] = nullptr;
}

void CMainWnd::ShowSettingsWindow(bool centre) {
    if (children_[kChildSettings]) return;
    auto set = std::make_unique<CSetWnd>();
    if (!set->Create(this, "SetWnd", ui::WS_VISIBLE | ui::WS_POPUP, ui::WS_EX_TOOLWINDOW, 0, 0,
                     CSetWnd::kWidth, CSetWnd::kHeight))
        return;
    set->SetDpi(dpi_);
    children_[kChildSettings] = set.get();
    set->SetMainWindow(this, language_.CurrentIndex());
    // The update list is filled here once the update service exists.
    if (centre) {
        set->CenterWindow();
    } else {
        const QRect main = GetWindowRect();
        QRect r = set->GetWindowRect();
        r.moveTopRight(
            QPoint(main.right() - ui::ScaleByDpi(30, dpi_), main.top() + ui::ScaleByDpi(60, dpi_)));
        set->MoveWindow(r);
    }
    set->ShowModal();
    children_[kChildSettings] = nullptr;
}

// ---- control events ---------------------------------------------------------

CMainWnd::Handler CMainWnd::HandlerFor(Route route) {
    struct Row {
        Route route;
        Handler handler;
    };
    static const Row kHandlers[] = {
        {Route::FirstLayout, &CMainWnd::OnFirstLayout},
        {Route::RelayoutAndDpi, &CMainWnd::OnRelayoutAndDpi},
        {Route::HideToTray, &CMainWnd::OnHideToTray},
        {Route::HideMainWindow, &CMainWnd::OnHideMainWindow},
        {Route::ToggleLightControl, &CMainWnd::OnToggleLightControl},
        {Route::Minimize, &CMainWnd::OnMinimize},
        {Route::Maximize, &CMainWnd::OnMaximize},
        {Route::Restore, &CMainWnd::OnRestore},
        {Route::SkinFrame, &CMainWnd::OnSkinButton},
        {Route::SettingsWindow, &CMainWnd::OnSettingsButton},
        {Route::SystemSettingsPanel, &CMainWnd::OnSystemSettingsPanel},
        {Route::ProfileSwitchTimer, &CMainWnd::OnProfileSwitchCombo},
        {Route::AudioLightLink, &CMainWnd::OnAudioLightSlider},
        {Route::DeviceSwitching, &CMainWnd::OnDeviceSwitching},
        {Route::DeviceSelection, &CMainWnd::OnDeviceSelection},
        {Route::PageTabs, &CMainWnd::OnPageTabs},
        {Route::MouseSettings, &CMainWnd::OnDeviceSettings},
        {Route::MouseSettingsDrag, &CMainWnd::OnDeviceSettings},
        {Route::PollingRate, &CMainWnd::OnDeviceSettings},
        {Route::KeyboardSettings, &CMainWnd::OnDeviceSettings},
        {Route::DpiStageColour, &CMainWnd::OnDeviceSettings},
        {Route::DemoDevices, &CMainWnd::OnDemoDevices},
    };
    for (const Row& r : kHandlers)
        if (r.route == route) return r.handler;
    return &CMainWnd::OnFeatureRoute;
}

void CMainWnd::Notify(ui::TNotifyUI& msg) {
    const std::string name = msg.pSender ? msg.pSender->GetName() : std::string();
    if (msg.sType != "timer") platform::DebugOutF("notify %s %s", msg.sType.c_str(), name.c_str());
    const RouteResult result = RouteEvent(msg.sType, name);
    for (const RouteHit& hit : result.hits)
        (this->*HandlerFor(hit.route))(msg, hit);
    if (result.passOn && IsWindow()) WindowImplBase::Notify(msg);
}

void CMainWnd::OnRelayoutAndDpi(const ui::TNotifyUI&, const RouteHit&) {
    if (ui::CControlUI* root = FindControl("root")) root->NeedUpdate();
    SetupDpi();
}

void CMainWnd::OnHideToTray(const ui::TNotifyUI&, const RouteHit&) {
    HideToTray();
}
void CMainWnd::OnHideMainWindow(const ui::TNotifyUI&, const RouteHit&) {
    ShowWindow(false);
}

void CMainWnd::OnToggleLightControl(const ui::TNotifyUI&, const RouteHit&) {
    lightControlStatus_ = lightControlStatus_ == 1 ? 0 : 1;
    bus_->Broadcast(Registered().identity[kSecondIdentity], 1, lightControlStatus_);
    SetLightControlText(lightControlStatus_);
    PassLightControlStatus(lightControlStatus_);
}

void CMainWnd::OnMinimize(const ui::TNotifyUI&, const RouteHit&) {
    SendMessage(ui::WM_SYSCOMMAND, ui::SC_MINIMIZE, 0);
}
void CMainWnd::OnMaximize(const ui::TNotifyUI&, const RouteHit&) {
    SendMessage(ui::WM_SYSCOMMAND, ui::SC_MAXIMIZE, 0);
}
void CMainWnd::OnRestore(const ui::TNotifyUI&, const RouteHit&) {
    SendMessage(ui::WM_SYSCOMMAND, ui::SC_RESTORE, 0);
}
void CMainWnd::OnSkinButton(const ui::TNotifyUI& msg, const RouteHit&) {
    CSkinFrame::Open(this, msg.pSender);
}
void CMainWnd::OnSettingsButton(const ui::TNotifyUI&, const RouteHit&) {
    ShowSettingsWindow(false);
}

void CMainWnd::OnSystemSettingsPanel(const ui::TNotifyUI&, const RouteHit& hit) {
    for (const PanelTool& tool : kPanelTools) {
        if (tool.which != hit.number) continue;
        const QString program = QStandardPaths::findExecutable(tool.program);
        if (program.isEmpty()) continue;
        QStringList args;
        if (*tool.argument) args << tool.argument;
        QProcess::startDetached(program, args);
        return;
    }
}

void CMainWnd::OnProfileSwitchCombo(const ui::TNotifyUI&, const RouteHit&) {
    SetTimer(kProfileSwitchTimerId, 400);
}

void CMainWnd::OnAudioLightSlider(const ui::TNotifyUI& msg, const RouteHit&) {
    auto* slider = dynamic_cast<ui::CSliderUI*>(msg.pSender);
    if (!slider) return;
    const std::string channel = msg.pSender->GetName().substr(0, 1);
    if (ui::CControlUI* label = FindControl(channel + "_light_label"))
        label->SetText(channel + " " + std::to_string(slider->GetValue()));
    // The value goes to the audio capture program once the audio light exists.
}

// Routes to features of the device pages and editors: they reach their
// handler here, which does nothing until the feature exists.
void CMainWnd::OnFeatureRoute(const ui::TNotifyUI&, const RouteHit&) {}

}  // namespace app
