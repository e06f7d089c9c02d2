#pragma once
// What the scan thread and the connection code ask of the main window: the
// scan's arrivals and removals become window messages handled on the UI
// thread, the connection code's page and item requests become calls on the
// window's device side.
#include "app/AppMessages.h"
#include "app/MainWnd.h"
#include "app/pages/DeviceOption.h"
#include "app/pages/UsbDevice.h"
#include "devices/events/DeviceLinks.h"
#include "hid/scan/ScanThread.h"
#include "platform/Debug.h"

namespace app {

// What the scan thread and the connection code ask of the window.
class CMainDeviceLinks : public devices::events::ILinkUi, public hid::scan::IScanSink {
  public:
    explicit CMainDeviceLinks(CMainWnd& wnd) : wnd_(wnd) {}

    // ILinkUi (UI thread).
    void CreateDevicePage(size_t commandRow) override {
        wnd_.CreateDevicePage(hid::KindOfRow(commandRow), commandRow, 0);
    }
    void OnConnected(devices::events::CDeviceCore& core, devices::LinkType link,
                     bool channelOpen) override {
        const int index = ItemOf(core);
        if (index < 0) return;
        if (!channelOpen) platform::DebugOut("device interface could not be opened");
        if (link == devices::LinkType::Cable) {
            const bool anyVisible = wnd_.DeviceItemCount() > 0 && AnyVisible();
            wnd_.ShowDeviceItem(index, true, !anyVisible);
        }
        wnd_.DeviceItem(index)->StartConnectTimer();
    }
    void OnLost(devices::events::CDeviceCore& core) override { wnd_.HideLostDevice(ItemOf(core)); }
    void OnSwitchedToReceiver(devices::events::CDeviceCore& core) override {
        const int index = ItemOf(core);
        if (index >= 0) wnd_.DeviceItem(index)->StartLinkMonitor(pages::kLinkMonitorMs);
        CloseSettingsWindow();
    }
    void OnSwitchedToCable(devices::events::CDeviceCore& core) override {
        const int index = ItemOf(core);
        if (index < 0) return;
        wnd_.DeviceItem(index)->StartConnectTimer();
        wnd_.SendMessage(kMsgDeviceItem, ui::WPARAM(index), 1);
        CloseSettingsWindow();
    }
    bool HasSelectorItem(const devices::events::CDeviceCore& core) const override {
        return ItemOf(core) >= 0;
    }

    // IScanSink (scan thread): the window handles each change before the
    // scan goes on.
    void OnInterfaceArrived(size_t slot) override {
        wnd_.SendMessage(kMsgInterfaceArrived, ui::WPARAM(slot), 0);
    }
    void OnInterfaceRemoved(size_t slot) override {
        wnd_.SendMessage(kMsgInterfaceRemoved, ui::WPARAM(slot), 0);
    }
    void OnFirstPassDone() override { wnd_.PostMessage(Registered().instance, 0, 0); }

  private:
    int ItemOf(const devices::events::CDeviceCore& core) const {
        const auto* device = dynamic_cast<const pages::CTervanicUSBDevice*>(&core);
        return device ? wnd_.FindDeviceItem(device) : -1;
    }
    bool AnyVisible() const {
        for (int i = 0; i < wnd_.DeviceItemCount(); ++i)
            if (wnd_.DeviceItem(i)->IsOwnVisible()) return true;
        return false;
    }
    void CloseSettingsWindow() {
        ui::CWindowWnd* settings = wnd_.ChildWindowAt(kChildSettings);
        if (settings && settings->IsWindow()) settings->Close(0);
    }

    CMainWnd& wnd_;
};

}  // namespace app
