#include "app/AppEntry.h"

#include "app/pages/UsbDevice.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <array>
#include <memory>

#include "app/AppMessages.h"
#include "app/MainWnd.h"
#include "app/MemoryFont.h"
#include "app/ipc/BusLink.h"
#include "app/ipc/MessageNames.h"
#include "editors/CustomControls.h"
#include "platform/Debug.h"
#include "platform/Folders.h"
#include "platform/InstanceLock.h"
#include "ui/Application.h"
#include "ui/Resources.h"

namespace app {

namespace {
constexpr uint32_t kMainWindowStyle = 0x96CA0000u;

void LoadFonts(std::array<CMemoryFont, 4>& fonts) {
    for (size_t i = 0; i < fonts.size(); ++i)
        fonts[i].Load(kFontFiles[i]);
}

void UnloadFonts(std::array<CMemoryFont, 4>& fonts) {
    for (size_t i = fonts.size(); i-- > 0;)
        fonts[i].Unload();
}

int RunMainWindow() {
    auto wnd = std::make_unique<CMainWnd>();
    if (!wnd->Create(nullptr, std::string(ipc::kInstanceName), kMainWindowStyle, 0, 0, 0, 800, 572))
        return 0;
    wnd->CenterWindow();
    ui::MessageLoop();
    wnd.reset();
    return 0;
}
}  // namespace

void RegisterControlClasses() {
    editors::RegisterCustomControls();
    pages::RegisterPageControls();
    // The editor, profile and update list classes register here as their
    // subsystems arrive.
}

void AnnounceToRunningCopy() {
    ipc::CBusLink link;
    if (!link.Broadcast(std::string(ipc::kInstanceName), 0, 1)) return;
    // A round trip to the bus makes sure the signal left before we exit.
    if (QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface())
        bus->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
}

int RunApplication(int argc, char** argv) {
    ui::PrepareApplication();
    QApplication qapp(argc, argv);
    QApplication::setApplicationName("brommelivantos");
    QApplication::setDesktopFileName("brommelivantos");
    QApplication::setQuitOnLastWindowClosed(false);
    ui::ApplyTheme(qapp);

    std::array<CMemoryFont, 4> fonts;
    LoadFonts(fonts);
    const UINT instance = RegisterInstanceMessage();
    platform::DebugOutF("软件标示：%d", int(instance));
    if (!IsRegisteredNumber(instance)) {
        UnloadFonts(fonts);
        return 0;
    }
    platform::InstanceLock lock{std::string(ipc::kInstanceName)};
    if (!lock.TryAcquire() &&
        platform::InstanceLock::IsHeldElsewhere(std::string(ipc::kInstanceName))) {
        AnnounceToRunningCopy();
        UnloadFonts(fonts);
        return 0;
    }
    ui::InitResources(platform::ProgramFolder());
    RegisterControlClasses();
    RegisterIdentityMessages();
    RunMainWindow();
    ui::CResourceManager::Instance().Release();
    lock.Release();
    UnloadFonts(fonts);
    return 0;
}

}  // namespace app
