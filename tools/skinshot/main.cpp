// brommelivantos-skinshot SKIN OUT.png [--size WxH] [--dpi N] [--lang FILE] [--res DIR]
// Builds a skin file offscreen and writes what it shows to a PNG, so every
// window and page can be looked at without a display.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "editors/CustomControls.h"
#include "ui/Application.h"
#include "ui/Fonts.h"
#include "ui/Resources.h"
#include "ui/Text.h"
#include "ui/Window.h"

namespace {

struct Options {
    std::string skin;
    std::string out;
    QSize size;
    int dpi = 96;
    std::string lang;
    std::string res;
};

void Usage() {
    std::fprintf(stderr,
                 "usage: brommelivantos-skinshot SKIN OUT.png [--size WxH] [--dpi N] [--lang FILE] "
                 "[--res DIR]\n"
                 "  SKIN   a skin file; images resolve against the nearest folder above it\n"
                 "         that holds res.xml (or --res DIR)\n"
                 "  --dpi  48..192 in steps of 24 (default 96)\n");
}

std::optional<Options> Parse(int argc, char** argv) {
    Options o;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        if (a == "--size") {
            auto v = value();
            int w = 0, h = 0;
            if (!v || std::sscanf(v->c_str(), "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0 ||
                w > 8192 || h > 8192)
                return std::nullopt;
            o.size = QSize(w, h);
        } else if (a == "--dpi") {
            auto v = value();
            if (!v) return std::nullopt;
            o.dpi = ui::ParseInt(*v, -1);
            if (!ui::IsValidDpi(o.dpi)) return std::nullopt;
        } else if (a == "--lang") {
            auto v = value();
            if (!v) return std::nullopt;
            o.lang = *v;
        } else if (a == "--res") {
            auto v = value();
            if (!v) return std::nullopt;
            o.res = *v;
        } else if (a == "--help" || a == "-h") {
            return std::nullopt;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return std::nullopt;
    o.skin = positional[0];
    o.out = positional[1];
    return o;
}

// The resource folder: --res, or the nearest folder above the skin with res.xml.
QString ResourceFolder(const Options& o, const QString& skinPath) {
    if (!o.res.empty()) return QFileInfo(QString::fromStdString(o.res)).absoluteFilePath();
    QDir dir = QFileInfo(skinPath).absoluteDir();
    for (QDir d = dir;;) {
        if (d.exists("res.xml")) return d.absolutePath();
        if (!d.cdUp()) break;
    }
    return dir.absolutePath();
}

class ShotWnd : public ui::WindowImplBase {
  public:
    explicit ShotWnd(std::string skin) : skin_(std::move(skin)) {}
    std::string GetSkinFile() override { return skin_; }
    std::string GetWindowClassName() const override { return "SkinShot"; }

  private:
    std::string skin_;
};

}  // namespace

int main(int argc, char** argv) {
    auto options = Parse(argc, argv);
    if (!options) {
        Usage();
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ui::PrepareApplication();
    QApplication app(argc, argv);
    ui::ApplyTheme(app);

    QString skinPath =
        QFileInfo(QString::fromStdString(ui::S(ui::Q(options->skin).replace('\\', '/'))))
            .absoluteFilePath();
    if (!QFileInfo::exists(skinPath)) {
        std::fprintf(stderr, "skinshot: no such skin file: %s\n", options->skin.c_str());
        return 2;
    }
    QString res = ResourceFolder(*options, skinPath);
    auto& rm = ui::CResourceManager::Instance();
    rm.SetResourcePath(ui::S(res));
    if (QFileInfo::exists(res + "/res.xml")) rm.LoadResource("res.xml");
    ui::CPrivateFonts fonts;
    QDir fontDir(res + "/../Font");
    for (const QString& f : fontDir.entryList({"*.ttf", "*.otf"}, QDir::Files))
        fonts.Load(ui::S(fontDir.filePath(f)));
    ui::CFontTable::Instance().LoadStandardTable("");
    if (!options->lang.empty() && !rm.LoadLanguage(options->lang)) {
        std::fprintf(stderr, "skinshot: language file not loaded: %s\n", options->lang.c_str());
        return 2;
    }
    editors::RegisterCustomControls();

    ShotWnd wnd(ui::S(skinPath));
    wnd.GetPaintManager().SetDPI(options->dpi);
    if (!wnd.Create(nullptr, "skinshot", 0, 0, 0, 0, 800, 600)) {
        std::fprintf(stderr,
                     "skinshot: the skin did not build (BROMMELIVANTOS_DEBUG=1 tells why)\n");
        return 2;
    }
    if (options->size.isValid()) wnd.ResizeClient(options->size.width(), options->size.height());
    wnd.ShowWindow(true);
    (void)QTest::qWaitForWindowExposed(wnd.GetHWND());
    QTest::qWait(50);
    wnd.GetPaintManager().DoLayout();
    QApplication::processEvents();
    QImage image = wnd.GetHWND()->grab().toImage();

    QSaveFile out(QString::fromStdString(options->out));
    if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit()) {
        std::fprintf(stderr, "skinshot: cannot write %s\n", options->out.c_str());
        return 3;
    }
    std::printf("%s: %dx%d at %d dpi\n", options->out.c_str(), image.width(), image.height(),
                options->dpi);
    return 0;
}
