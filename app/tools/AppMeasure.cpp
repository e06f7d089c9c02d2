// Whole-program figures of the shell with the demo devices:
//   brommelivantos-appmeasure [SECONDS]
// starts the main window as the program does, with BROMMELIVANTOS_SIMULATE
// (default "all"), and prints the time from process start to the window
// shown, the CPU of one core over SECONDS (default 20) with the window shown
// on the keyboard page and with it hidden, and the resident memory.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/AppEntry.h"
#include "app/AppMessages.h"
#include "app/MainWnd.h"
#include "app/pages/DeviceOption.h"
#include "platform/Folders.h"
#include "ui/Application.h"

namespace {

// Seconds since this process started, from its start time in /proc.
double SecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    unsigned long long start = 0;
    for (int i = 3; i <= 22 && rest >> field; ++i)
        if (i == 22) start = std::stoull(field);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9 -
           double(start) / double(sysconf(_SC_CLK_TCK));
}

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// Runs the event loop as the program does (sleeping between events).
void RunFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Percent of one core used while the event loop runs for `seconds`.
double CpuPercentOver(int seconds) {
    QElapsedTimer wall;
    const double cpu0 = CpuSeconds();
    wall.start();
    RunFor(seconds * 1000);
    return 100.0 * (CpuSeconds() - cpu0) / (double(wall.elapsed()) / 1000.0);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    setenv("BROMMELIVANTOS_SIMULATE", "all", 0);
    ui::PrepareApplication();
    QApplication qapp(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ui::ApplyTheme(qapp);
    app::RegisterInstanceMessage();
    ui::InitResources(platform::ProgramFolder());
    app::RegisterControlClasses();
    app::RegisterIdentityMessages();

    app::CMainWnd wnd;
    if (!wnd.Create(nullptr, "BROMMELIVANTOS", 0x96CA0000u, 0, 0, 0, 800, 572)) return 1;
    wnd.CenterWindow();
    QElapsedTimer limit;
    limit.start();
    while (!wnd.IsWindowVisible() && limit.elapsed() < 10000)
        RunFor(1);
    const double shownAfter = SecondsSinceProcessStart();
    if (!wnd.IsWindowVisible()) {
        std::fprintf(stderr, "the window was never shown\n");
        return 1;
    }
    // Let every demo device read itself, then show the keyboard page.
    RunFor(3000);
    wnd.ShowDeviceItem(1, true, true);  // the keyboard item
    wnd.SendMessage(ui::WM_ACTIVATE, 1, 0);
    RunFor(1000);
    const double shownCpu = CpuPercentOver(seconds);
    const long rss = ResidentKiB();
    wnd.HideToTray();
    RunFor(1000);
    const double hiddenCpu = CpuPercentOver(seconds);

    int visible = 0;
    for (int i = 0; i < wnd.DeviceItemCount(); ++i)
        visible += wnd.DeviceItem(i)->IsOwnVisible();
    std::printf("devices shown:                 %d of %d\n", visible, wnd.DeviceItemCount());
    std::printf("process start to window shown: %.0f ms\n", shownAfter * 1000.0);
    std::printf("CPU, shown on keyboard page:   %.2f %% of one core over %d s\n", shownCpu,
                seconds);
    std::printf("CPU, hidden:                   %.2f %% of one core over %d s\n", hiddenCpu,
                seconds);
    std::printf("resident memory:               %.1f MB\n", double(rss) / 1024.0);
    wnd.Close(0);
    RunFor(200);
    return 0;
}
