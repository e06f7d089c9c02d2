// Draws the pictures of the program's skin: backgrounds, the program icon,
// caption-button glyphs and the "no device" picture. Run by hand:
//   brommelivantos-skinart SKIN_FOLDER ICON_PNG
// The results are kept with the skin, so a build needs no drawing step.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>
#include <functional>

namespace {

const QColor kAccent(0x3D, 0xA5, 0xFF);
const QColor kGlyph(0xC9, 0xCE, 0xD6);

bool Save(const QImage& img, const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    const bool ok = img.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

QImage Canvas(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A dark surface with a soft glow of one colour.
QImage Background(QColor top, QColor bottom, QColor glow, QPointF glowAt) {
    QImage img = Canvas(1000, 640);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 640);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(img.rect(), g);
    QRadialGradient r(glowAt, 520);
    glow.setAlpha(70);
    r.setColorAt(0, glow);
    glow.setAlpha(0);
    r.setColorAt(1, glow);
    p.fillRect(img.rect(), r);
    return img;
}

QImage Logo(int size) {
    QImage img = Canvas(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 64.0;
    QLinearGradient g(0, 0, size, size);
    g.setColorAt(0, QColor(0x5C, 0xB8, 0xFF));
    g.setColorAt(1, QColor(0x1F, 0x6F, 0xD1));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 14 * s, 14 * s);
    // A mouse outline with its wheel: the devices the program configures.
    p.setPen(QPen(Qt::white, 4 * s, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(21 * s, 13 * s, 22 * s, 38 * s), 11 * s, 11 * s);
    p.drawLine(QPointF(32 * s, 19 * s), QPointF(32 * s, 26 * s));
    return img;
}

using Glyph = std::function<void(QPainter&)>;

// A 48-pixel glyph drawn on a 24-unit grid, light lines on transparent.
QImage GlyphImage(const Glyph& draw, QColor colour = kGlyph) {
    QImage img = Canvas(48, 48);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    draw(p);
    return img;
}

void Close(QPainter& p) {
    p.drawLine(QPointF(7, 7), QPointF(17, 17));
    p.drawLine(QPointF(17, 7), QPointF(7, 17));
}
void Minimise(QPainter& p) {
    p.drawLine(QPointF(7, 12.5), QPointF(17, 12.5));
}
void Maximise(QPainter& p) {
    p.drawRect(QRectF(7, 7, 10, 10));
}
void RestoreGlyph(QPainter& p) {
    p.drawRect(QRectF(7, 9, 8, 8));
    p.drawPolyline(QPolygonF({QPointF(9, 7), QPointF(17, 7), QPointF(17, 15)}));
}
void Skin(QPainter& p) {
    QPainterPath path;
    path.moveTo(12, 5);
    path.cubicTo(20, 5, 20.5, 12, 19, 14);
    path.cubicTo(17, 17, 14, 15, 13.5, 17.5);
    path.cubicTo(13, 20, 11, 19.5, 9.5, 19);
    path.cubicTo(4, 17, 4, 5, 12, 5);
    p.drawPath(path);
    p.setBrush(QColor(kGlyph));
    for (QPointF pt : {QPointF(9, 10), QPointF(12.5, 8.5), QPointF(16, 10.5)})
        p.drawEllipse(pt, 1, 1);
}
void Settings(QPainter& p) {
    p.drawEllipse(QPointF(12, 12), 3, 3);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(12, 12);
        p.rotate(i * 45);
        p.drawLine(QPointF(0, -6), QPointF(0, -8.5));
        p.restore();
    }
    p.drawEllipse(QPointF(12, 12), 6, 6);
}
void GameMode(QPainter& p) {
    p.drawRoundedRect(QRectF(4, 8, 16, 9), 4.5, 4.5);
    p.drawLine(QPointF(8, 10.5), QPointF(8, 14.5));
    p.drawLine(QPointF(6, 12.5), QPointF(10, 12.5));
    p.drawPoint(QPointF(15, 11.5));
    p.drawPoint(QPointF(17, 13.5));
}
void Cloud(QPainter& p) {
    QPainterPath path;
    path.moveTo(7, 17);
    path.cubicTo(3, 17, 3, 11.5, 7, 11.5);
    path.cubicTo(7.5, 6.5, 14.5, 5.5, 16, 10);
    path.cubicTo(21, 9.5, 21.5, 17, 17, 17);
    path.closeSubpath();
    p.drawPath(path);
}
void Eye(QPainter& p) {
    QPainterPath path;
    path.moveTo(3.5, 12);
    path.quadTo(12, 3, 20.5, 12);
    path.quadTo(12, 21, 3.5, 12);
    p.drawPath(path);
    p.drawEllipse(QPointF(12, 12), 2.6, 2.6);
}
void Previous(QPainter& p) {
    p.drawPolyline(QPolygonF({QPointF(8, 14), QPointF(12, 10), QPointF(16, 14)}));
}
void Next(QPainter& p) {
    p.drawPolyline(QPolygonF({QPointF(8, 10), QPointF(12, 14), QPointF(16, 10)}));
}
void Plus(QPainter& p) {
    p.drawLine(QPointF(12, 7), QPointF(12, 17));
    p.drawLine(QPointF(7, 12), QPointF(17, 12));
}

QImage NoDevice() {
    QImage img = Canvas(320, 200);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x5A, 0x62, 0x70), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x22, 0x26, 0x2E));
    // A keyboard ...
    p.drawRoundedRect(QRectF(20, 70, 190, 90), 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3A, 0x40, 0x4D));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 8; ++col)
            p.drawRoundedRect(QRectF(38 + col * 20.5, 88 + row * 19, 14, 12), 3, 3);
    // ... and a mouse, its cable a dashed accent line that ends unplugged.
    p.setPen(QPen(QColor(0x5A, 0x62, 0x70), 4));
    p.setBrush(QColor(0x22, 0x26, 0x2E));
    p.drawRoundedRect(QRectF(240, 80, 56, 90), 28, 28);
    p.drawLine(QPointF(268, 92), QPointF(268, 110));
    QPen cable(kAccent, 4, Qt::DashLine, Qt::RoundCap);
    p.setPen(cable);
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(268, 80);
    path.cubicTo(268, 40, 200, 50, 190, 24);
    p.drawPath(path);
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: brommelivantos-skinart SKIN_FOLDER ICON_PNG\n");
        return 2;
    }
    const QString skin = QString::fromLocal8Bit(argv[1]) + "/";
    bool ok = true;
    ok &= Save(Background(QColor(0x1B, 0x1E, 0x25), QColor(0x13, 0x15, 0x1A), kAccent, {900, 40}),
               skin + "common/background.png");
    struct Bg {
        const char* file;
        QColor top, bottom, glow;
        QPointF at;
    };
    const Bg backgrounds[] = {
        {"common/skin/bg_ocean.png",
         QColor(0x14, 0x1C, 0x26),
         QColor(0x0E, 0x12, 0x18),
         QColor(0x2F, 0x8F, 0xE8),
         {150, 600}},
        {"common/skin/bg_teal.png",
         QColor(0x15, 0x20, 0x22),
         QColor(0x0F, 0x14, 0x15),
         QColor(0x2C, 0xC4, 0xB0),
         {850, 560}},
        {"common/skin/bg_violet.png",
         QColor(0x1D, 0x19, 0x27),
         QColor(0x12, 0x10, 0x18),
         QColor(0x8E, 0x6B, 0xF0),
         {500, 0}},
        {"common/skin/bg_ember.png",
         QColor(0x24, 0x1B, 0x18),
         QColor(0x15, 0x11, 0x10),
         QColor(0xF0, 0x84, 0x4A),
         {960, 620}},
    };
    for (const Bg& b : backgrounds)
        ok &= Save(Background(b.top, b.bottom, b.glow, b.at), skin + b.file);
    ok &= Save(Logo(64), skin + "common/logo.png");
    ok &= Save(Logo(256), QString::fromLocal8Bit(argv[2]));
    struct Named {
        const char* file;
        void (*draw)(QPainter&);
    };
    const Named glyphs[] = {
        {"common/caption/close.png", Close},       {"common/caption/min.png", Minimise},
        {"common/caption/max.png", Maximise},      {"common/caption/restore.png", RestoreGlyph},
        {"common/caption/skin.png", Skin},         {"common/caption/set.png", Settings},
        {"common/caption/gamemode.png", GameMode}, {"common/caption/cloud.png", Cloud},
        {"common/caption/smarteyes.png", Eye},     {"common/device_prev.png", Previous},
        {"common/device_next.png", Next},          {"common/skin/custom.png", Plus},
    };
    for (const Named& g : glyphs)
        ok &= Save(GlyphImage(g.draw), skin + g.file);
    ok &= Save(NoDevice(), skin + "common/nodevice.png");
    return ok ? 0 : 1;
}
