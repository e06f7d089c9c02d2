// The largest window: a keyboard picture (170 key and 170 light buttons in
// one panel) plus a few hundred ordinary controls. Measures build-and-show
// time, CPU while the lights change colour every 10 ms, and the window's
// memory. Runs on Qt's offscreen platform.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "editors/CustomControls.h"
#include "platform/Folders.h"
#include "ui/Application.h"
#include "ui/Fonts.h"
#include "ui/Window.h"

namespace {

QApplication* App() {
    static int argc = 1;
    static char arg0[] = "bench_ui";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ui::PrepareApplication();
        auto* a = new QApplication(argc, argv);
        ui::ApplyTheme(*a);
        editors::RegisterCustomControls();
        ui::CFontTable::Instance().LoadStandardTable("");
        return a;
    }();
    return app;
}

// Counts the panel's paints so the figures show that repainting happened.
int g_panelPaints = 0;
class CountingPanel : public editors::CSelectPanelUI {
  public:
    void DoPaint(QPainter& p, const QRect& paint) override {
        ++g_panelPaints;
        CSelectPanelUI::DoPaint(p, paint);
    }
};

// How the key picture is laid out: each key followed by its light on an
// opaque panel, or (as the device pages do) all keys, then all lights, on a
// transparent panel with a background picture.
enum class Layout { Interleaved, KeysFirstOnPicture };

std::string KeyboardSkin(Layout layout) {
    std::string keys, lights;
    for (int i = 0; i < 170; ++i) {
        int x = 10 + (i % 22) * 44, y = 10 + (i / 22) * 44;
        std::string pos = std::to_string(x) + "," + std::to_string(y) + ",40,40";
        keys += "<DeviceKeyButton name=\"key_" + std::to_string(i) + "\" float=\"true\" pos=\"" +
                pos +
                "\" normalimage=\"demo/key.png\" keysetimage=\"demo/key_set.png\" "
                "keyunsetimage=\"demo/key_unset.png\"/>";
        (layout == Layout::Interleaved ? keys : lights) +=
            "<DeviceKeyButton name=\"light_" + std::to_string(i) + "\" float=\"true\" pos=\"" +
            pos + "\" bkcolor=\"#00000000\" lightimage=\"demo/light.png\" mouse=\"false\"/>";
    }
    keys += lights;
    const std::string panelLook =
        layout == Layout::Interleaved ? "bkcolor=\"#FF1E2127\"" : "bkimage=\"demo/landscape.png\"";
    std::string others;
    for (int card = 0; card < 6; ++card) {
        others += "<VerticalLayout childpadding=\"4\" inset=\"8,8,8,8\" bkcolor=\"#FF1E2127\">";
        for (int i = 0; i < 10; ++i) {
            std::string n = std::to_string(card * 10 + i);
            others +=
                "<HorizontalLayout height=\"26\" childpadding=\"4\">"
                "<Label name=\"label_" +
                n + "\" text=\"Setting " + n +
                "\" width=\"70\"/>"
                "<Option name=\"opt_" +
                n + "\" group=\"g" + std::to_string(card) +
                "\" width=\"30\"/>"
                "<Button name=\"btn_" +
                n +
                "\" text=\"Go\" width=\"40\"/>"
                "<Slider name=\"slider_" +
                n +
                "\" width=\"60\"/>"
                "<Edit name=\"edit_" +
                n +
                "\" width=\"40\"/>"
                "</HorizontalLayout>";
        }
        others += "</VerticalLayout>";
    }
    return "<Window size=\"1000,640\"><VerticalLayout name=\"root\" bkcolor=\"#FF15181D\">"
           "<SelectPanel name=\"device_key_light\" height=\"360\" " +
           panelLook + ">" + keys +
           "</SelectPanel>"
           "<HorizontalLayout childpadding=\"6\">" +
           others +
           "</HorizontalLayout>"
           "</VerticalLayout></Window>";
}

class KeyboardWnd : public ui::WindowImplBase {
  public:
    explicit KeyboardWnd(std::string file) : file_(std::move(file)) {}
    std::string GetSkinFile() override { return file_; }
    ui::CControlUI* CreateControl(const char* name) override {
        return std::string(name) == "SelectPanel" ? new CountingPanel() : nullptr;
    }

  private:
    std::string file_;
};

std::string SkinFile(Layout layout) {
    std::string path =
        platform::TempFolder() + "bench_ui_keyboard_" + std::to_string(int(layout)) + ".xml";
    std::ofstream(path) << KeyboardSkin(layout);
    return path;
}

void UseProgramSkinFolder() {
    ui::CResourceManager::Instance().SetResourcePath(platform::ProgramFolder() + "skin/");
}

long RssKb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::unique_ptr<KeyboardWnd> OpenKeyboard(Layout layout = Layout::Interleaved) {
    auto wnd = std::make_unique<KeyboardWnd>(SkinFile(layout));
    if (!wnd->Create(nullptr, "bench", 0, 0)) return nullptr;
    wnd->ShowWindow(true);
    (void)QTest::qWaitForWindowExposed(wnd->GetHWND());
    QApplication::processEvents();
    return wnd;
}

void BM_BuildAndShowKeyboardWindow(benchmark::State& state) {
    App();
    UseProgramSkinFolder();
    long controls = 0;
    for (auto _ : state) {
        auto wnd = OpenKeyboard();
        if (!wnd) {
            state.SkipWithError("skin did not build");
            return;
        }
        state.PauseTiming();
        controls = 0;
        wnd->GetPaintManager().GetRoot()->ForEach([&](ui::CControlUI*) { ++controls; });
        wnd.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["controls"] = double(controls);
}
BENCHMARK(BM_BuildAndShowKeyboardWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

// Every 10 ms the lights take their colours for the frame and the panel is
// invalidated, for 3 s. `colour(i, frame)` gives light i's colour.
enum class Shown { Visible, Hidden };
template <class Colour>
void RunLights(benchmark::State& state, Colour colour, Shown shown,
               Layout layout = Layout::Interleaved) {
    App();
    UseProgramSkinFolder();
    QApplication::processEvents();
    long rssBefore = RssKb();
    auto wnd = OpenKeyboard(layout);
    if (!wnd) {
        state.SkipWithError("skin did not build");
        return;
    }
    QTest::qWait(100);
    long rssAfter = RssKb();
    auto* panel = static_cast<editors::CSelectPanelUI*>(wnd->FindControl("device_key_light"));
    std::vector<editors::CDeviceKeyButtonUI*> lights;
    for (int i = 0; i < 170; ++i)
        lights.push_back(dynamic_cast<editors::CDeviceKeyButtonUI*>(
            wnd->FindControl("light_" + std::to_string(i))));
    if (shown == Shown::Hidden) {
        wnd->ShowWindow(false);
        QTest::qWait(50);
    }
    int frame = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++frame;
        for (int i = 0; i < 170; ++i)
            lights[size_t(i)]->SetLightPaint(colour(i, frame), 200, true);
        panel->Invalidate();
    });
    const double seconds = 3.0;
    for (auto _ : state) {
        g_panelPaints = 0;
        const int repaints0 = panel->OverlayRepaints();
        double cpu0 = CpuSeconds();
        auto t0 = std::chrono::steady_clock::now();
        timer.start(10);
        QTest::qWait(int(seconds * 1000));
        timer.stop();
        double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        double cpu = CpuSeconds() - cpu0;
        state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
        state.counters["frames"] = frame;
        state.counters["panel_paints"] = g_panelPaints;
        state.counters["light_repaints"] = panel->OverlayRepaints() - repaints0;
        state.counters["base_rebuilds"] = double(panel->BaseRebuilds());
    }
    state.counters["window_rss_kb"] = double(rssAfter - rssBefore);
    state.counters["process_rss_kb"] = double(RssKb());
}

// A moving spectrum: every light changes colour every frame.
uint32_t Spectrum(int i, int frame) {
    QColor c = QColor::fromHsv((i * 7 + frame * 3) % 360, 200, 255);
    return c.rgb() & 0xFFFFFF;
}

void BM_LightsRepaintEvery10ms(benchmark::State& state) {
    RunLights(state, Spectrum, Shown::Visible);
}
BENCHMARK(BM_LightsRepaintEvery10ms)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The spectrum on a device-page picture: transparent panel over a picture.
void BM_LightsOnPictureEvery10ms(benchmark::State& state) {
    RunLights(state, Spectrum, Shown::Visible, Layout::KeysFirstOnPicture);
}
BENCHMARK(BM_LightsOnPictureEvery10ms)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Static lighting: the same colours every frame, so nothing is painted.
void BM_LightsStaticEvery10ms(benchmark::State& state) {
    RunLights(
        state, [](int i, int) { return Spectrum(i, 0); }, Shown::Visible);
}
BENCHMARK(BM_LightsStaticEvery10ms)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The spectrum while the window is hidden: colours are stored, nothing painted.
void BM_LightsHiddenEvery10ms(benchmark::State& state) {
    RunLights(state, Spectrum, Shown::Hidden);
}
BENCHMARK(BM_LightsHiddenEvery10ms)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
