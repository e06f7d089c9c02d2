#pragma once
// The main window: frame, tray icon, DPI, timers, the routing of every
// window message and control event of the main skin, the thread slots, and
// the messages exchanged with other programs.
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "app/AppBus.h"
#include "app/CopyData.h"
#include "app/GameLight.h"
#include "app/Language.h"
#include "app/MainRoutes.h"
#include "app/PowerWatch.h"
#include "app/ShellDevice.h"
#include "app/SkinFrame.h"
#include "devices/events/DeviceRegistry.h"
#include "hid/Catalog.h"
#include "platform/WorkerThread.h"
#include "ui/Containers.h"
#include "ui/Tray.h"
#include "ui/Window.h"

namespace devices::events {
class CDeviceLinks;
class CLightSyncThread;
}  // namespace devices::events
namespace hid::scan {
class CInterfaceSlots;
class CScanThread;
}  // namespace hid::scan

namespace app {

class CSetWnd;
class CMainDeviceLinks;
namespace pages {
class CDeviceOptionUI;
class CMpDevicePowerUI;
class CTervanicUSBDevice;
}  // namespace pages

constexpr int kThreadSlots = 20;
constexpr int kScanThreadSlot = 0;
constexpr int kAudioLightThreadSlot = 1;
constexpr int kLightSyncThreadSlot = 8;

constexpr unsigned kDpiTimerId = 1011;
constexpr unsigned kTrayMenuTimerId = 1032;
constexpr unsigned kProfileSwitchTimerId = 1055;

// The rows the mouse and keyboard pages are built for at the first layout
// (their cable command rows).
constexpr size_t kMouseCommandRow = 4;
constexpr size_t kKeyboardCommandRow = 0;

constexpr int kMainDesignWidth = 1000;
constexpr int kMainDesignHeight = 640;

// While the system sleeps only the interface arrivals and removals pass.
bool PassesPowerGate(ui::UINT msg, bool gateOpen);

// 144 on monitors wider than 1500 and taller than 960 pixels, else 96.
int ChooseWindowDpi(const QSize& monitor);

// The device objects by kind, in creation order (filled by the device pages).
struct ShellDeviceLists {
    std::vector<IShellDevice*> mousePads, mice, keyboards, headsets;
};

// Child windows the main window closes or tells about a language change.
enum ChildWindow { kChildSettings = 0, kChildAbout, kChildColourPicker, kChildMusic, kChildCount };

class CMainWnd : public ui::WindowImplBase,
                 public ui::CWebBrowserEventHandler,
                 public SkinReceiver {
  public:
    CMainWnd();
    ~CMainWnd() override;

    std::string GetWindowClassName() const override { return "MainWnd"; }
    std::string GetSkinFile() override { return "XML_MAIN"; }
    void InitWindow() override;
    void Notify(ui::TNotifyUI& msg) override;
    ui::CControlUI* CreateControl(const char* className) override;
    const char* QueryControlText(const char* key, const char* type) override;
    ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l,
                                    bool& handled) override;
    int Receive(SkinChangedParam param) override { return OnSkinChanged(param); }
    int OnSkinChanged(const SkinChangedParam& param);

    // Brings the window to the front (instance message, device arrival).
    void RestoreAndRaise();
    // Closes the child windows and hides to the tray; without a tray the
    // window is minimised so that it can always be reached again.
    void HideToTray();
    void ApplyLanguage(int index);
    void ShowAboutWindow();
    void ShowSettingsWindow(bool centre);
    void CloseChildWindows();

    // Starts a worker in a thread slot; stopped and joined on WM_DESTROY.
    bool StartThread(int slot, std::string name, platform::WorkerThread::Body body);
    bool IsThreadRunning(int slot) const { return threads_[size_t(slot)].IsRunning(); }

    // State.
    int LightControlStatus() const { return lightControlStatus_; }
    bool IsPowerGateOpen() const { return powerGate_; }
    int WindowDpi() const { return dpi_; }
    int LanguageIndex() const { return language_.CurrentIndex(); }
    const CLanguage& Language() const { return language_; }
    const CCopyDataBuffers& CopyBuffers() const { return copyData_; }
    // A copy of the interface slots as the scan sees them.
    std::vector<hid::InterfaceSlot> Slots() const;
    ShellDeviceLists& Devices() { return devices_; }
    void SetSelectedDevice(IShellDevice* device) { selected_ = device; }

    // --- devices (MainDevices.cpp) ---------------------------------------
    // Builds the power item, selector item and page of a device kind for an
    // interface row (the command row of its product) and channel.
    bool CreateDevicePage(hid::DeviceKind kind, size_t row, int channel);
    void ShowDeviceItem(int index, bool visible, bool select);
    void HideLostDevice(int index);
    void SelectCurrentDevice();
    void SelectPreviousDevice();
    void SelectNextDevice();
    void SetPageFunction(int mode);
    int DeviceItemCount() const;
    pages::CDeviceOptionUI* DeviceItem(int index) const;
    int FindDeviceItem(const pages::CTervanicUSBDevice* device) const;
    // The device of the selected item; nullptr when none is selected.
    pages::CTervanicUSBDevice* CurrentDevice() const { return current_; }
    int CurrentItemIndex() const { return currentItem_; }
    devices::events::CDeviceRegistry& Registry() { return registry_; }
    hid::scan::CInterfaceSlots& ScanSlots() { return *scanSlots_; }
    hid::scan::CScanThread* Scanner() const { return scan_.get(); }
    devices::events::CLightSyncThread* LightSync() const { return lightSync_.get(); }
    // Plugs the demo devices into the simulated bus and lets the scan find them.
    bool PlugDemoDevices();
    ui::CWindowWnd* ChildWindowAt(ChildWindow which) const { return children_[which]; }
    CAppBus& Bus() { return *bus_; }
    const ui::CTrayIcon& Tray() const { return tray_; }
    // The four state words at the head of the tool block.
    std::array<int32_t, 4> StateWords() const;

  private:
    using Handler = void (CMainWnd::*)(const ui::TNotifyUI&, const RouteHit&);
    static Handler HandlerFor(Route route);

    // Control-event handlers of the frame.
    void OnFirstLayout(const ui::TNotifyUI&, const RouteHit&);
    void OnRelayoutAndDpi(const ui::TNotifyUI&, const RouteHit&);
    void OnHideToTray(const ui::TNotifyUI&, const RouteHit&);
    void OnHideMainWindow(const ui::TNotifyUI&, const RouteHit&);
    void OnToggleLightControl(const ui::TNotifyUI&, const RouteHit&);
    void OnMinimize(const ui::TNotifyUI&, const RouteHit&);
    void OnMaximize(const ui::TNotifyUI&, const RouteHit&);
    void OnRestore(const ui::TNotifyUI&, const RouteHit&);
    void OnSkinButton(const ui::TNotifyUI&, const RouteHit&);
    void OnSettingsButton(const ui::TNotifyUI&, const RouteHit&);
    void OnSystemSettingsPanel(const ui::TNotifyUI&, const RouteHit&);
    void OnProfileSwitchCombo(const ui::TNotifyUI&, const RouteHit&);
    void OnAudioLightSlider(const ui::TNotifyUI&, const RouteHit&);
    void OnFeatureRoute(const ui::TNotifyUI&, const RouteHit&);
    void OnDeviceSwitching(const ui::TNotifyUI&, const RouteHit&);
    void OnDeviceSelection(const ui::TNotifyUI&, const RouteHit&);
    void OnPageTabs(const ui::TNotifyUI&, const RouteHit&);
    void OnDeviceSettings(const ui::TNotifyUI&, const RouteHit&);
    void OnDemoDevices(const ui::TNotifyUI&, const RouteHit&);

    // Window messages.
    bool RouteRegisteredMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l, ui::LRESULT& result);
    bool RouteFixedMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l, ui::LRESULT& result);
    void OnActivate(ui::WPARAM w);
    void OnMouseHover(bool hover);
    void OnLightControlStatusMessage(ui::WPARAM w, ui::LPARAM l);
    void OnToolMessage();
    void OnWindowDestroy();
    void OnPowerBroadcast(ui::WPARAM w);
    void OnGameMessage(ui::WPARAM w, ui::LPARAM l);
    ui::LRESULT OnCopyData(ui::LPARAM l);
    void OnTimer(ui::WPARAM id);
    void OnTrayIcon(ui::LPARAM mouse);
    void OnMenuCommand(ui::WPARAM w);
    void OnMenuItem(const std::string& name);
    void OnLanguageMessage(ui::WPARAM w);
    void OnDeviceItemMessage(ui::WPARAM w, ui::LPARAM l);
    void OnInterfaceMessage(ui::UINT msg, ui::WPARAM slot);

    // Device pieces.
    void StartDeviceScan();
    void StopDeviceThreads();
    ui::CControlUI* BuildPiece(const char* skin, const char* iface,
                               const std::function<ui::CContainerUI*()>& make);
    pages::CTervanicUSBDevice* AsDevice(ui::CControlUI* page) const;
    void AddToKindList(pages::CTervanicUSBDevice* device, hid::DeviceKind kind);
    size_t VisibleItemCount() const;
    void UpdateSynchroMarks();
    void SelectVisibleNeighbour(int step);

    // Frame pieces.
    void SetupDpi();
    void ShowTrayMenu();
    void StopThreads();
    void FinishEmptyScanPass();
    void SetLightControlText(int status);
    void PassLightControlStatus(int status);
    void PassHoverFlag();
    void SetHiddenPause(bool paused);
    void UpdateNoDeviceLink();
    bool AnyDeviceItemVisible() const;
    template <class Fn>
    void ForEachLitDevice(Fn fn);

    std::unique_ptr<CAppBus> bus_;
    std::unique_ptr<CPowerWatch> power_;
    ui::CTrayIcon tray_;
    std::array<platform::WorkerThread, kThreadSlots> threads_;
    std::array<ui::CWindowWnd*, kChildCount> children_{};
    std::unique_ptr<hid::scan::CInterfaceSlots> scanSlots_;
    devices::events::CDeviceRegistry registry_;
    std::unique_ptr<CMainDeviceLinks> linkUi_;
    std::unique_ptr<devices::events::CDeviceLinks> links_;
    std::unique_ptr<hid::scan::CScanThread> scan_;
    std::unique_ptr<devices::events::CLightSyncThread> lightSync_;
    pages::CTervanicUSBDevice* current_ = nullptr;
    int currentItem_ = -1;
    ShellDeviceLists devices_;
    IShellDevice* selected_ = nullptr;
    CGameLight gameLight_;
    CCopyDataBuffers copyData_;
    CLanguage language_;

    ui::CControlUI* closeBtn_ = nullptr;
    ui::CControlUI* maxBtn_ = nullptr;
    ui::CControlUI* restoreBtn_ = nullptr;
    ui::CControlUI* minBtn_ = nullptr;
    ui::CControlUI* skinBtn_ = nullptr;
    ui::CControlUI* gameModeBtn_ = nullptr;
    ui::CControlUI* cloudBtn_ = nullptr;
    ui::CControlUI* smartEyesBtn_ = nullptr;
    ui::CControlUI* setBtn_ = nullptr;

    int lightControlStatus_ = 1;
    int active_ = 0;
    int hover_ = 0;
    int dpi_ = 96;
    bool displayChanged_ = false;
    bool powerGate_ = true;
    bool initialised_ = false;
    bool inDpiSetup_ = false;
    QSize screen_;
};

// The main window, for code that must reach it from elsewhere.
CMainWnd* MainWindow();

}  // namespace app
