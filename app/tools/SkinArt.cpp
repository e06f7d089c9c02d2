// Draws the pictures of the program's skin: backgrounds, the program icon,
// caption-button glyphs, the "no device" picture, the device selector icons,
// the power item pictures and the device page pictures. Run by hand:
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
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

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

// ---- device selector icons -------------------------------------------------

const QColor kMuted(0x7F, 0x88, 0x98);
const QColor kCardEdge(0x2A, 0x2F, 0x39);
const QColor kSync(0x36, 0xD6, 0x9C);

// Device glyphs on a 40-unit grid, lines in the pen's colour.
void KeyboardGlyph(QPainter& p) {
    p.drawRoundedRect(QRectF(3, 11, 34, 18), 3, 3);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 6; ++col)
            p.drawPoint(QPointF(8 + col * 4.8, 16 + row * 4));
    p.drawLine(QPointF(12, 24.5), QPointF(28, 24.5));
}
void MouseGlyph(QPainter& p) {
    p.drawRoundedRect(QRectF(12, 5, 16, 30), 8, 8);
    p.drawLine(QPointF(12.5, 15), QPointF(27.5, 15));
    p.drawLine(QPointF(20, 5.5), QPointF(20, 15));
    p.drawLine(QPointF(20, 9), QPointF(20, 11.5));
}
void HardPadGlyph(QPainter& p) {
    p.drawRoundedRect(QRectF(3, 9, 34, 22), 2, 2);
    p.drawLine(QPointF(7, 26), QPointF(33, 26));
    p.drawRoundedRect(QRectF(24, 13, 7, 10), 3.5, 3.5);
}
void SoftPadGlyph(QPainter& p) {
    QPainterPath path;
    path.moveTo(6, 9);
    path.lineTo(37, 9);
    path.lineTo(37, 31);
    path.lineTo(12, 31);
    path.cubicTo(6, 31, 3, 28, 3, 23);
    path.lineTo(3, 12);
    path.cubicTo(3, 10, 4, 9, 6, 9);
    p.drawPath(path);
    // The rolled-up corner of a cloth pad.
    p.drawArc(QRectF(3, 23, 10, 8), 180 * 16, 90 * 16);
    p.drawRoundedRect(QRectF(24, 13, 7, 10), 3.5, 3.5);
}
void HeadsetGlyph(QPainter& p) {
    p.drawArc(QRectF(7, 5, 26, 26), 0, 180 * 16);
    p.drawRoundedRect(QRectF(4, 18, 8, 14), 3, 3);
    p.drawRoundedRect(QRectF(28, 18, 8, 14), 3, 3);
    QPainterPath mic;
    mic.moveTo(8, 32);
    mic.cubicTo(8, 37, 14, 37, 18, 36);
    p.drawPath(mic);
}
void HubGlyph(QPainter& p) {
    p.drawRoundedRect(QRectF(5, 12, 30, 16), 4, 4);
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(10 + i * 8, 17.5, 4, 5));
    p.drawLine(QPointF(20, 12), QPointF(20, 5));
}
void UnknownGlyph(QPainter& p) {
    p.drawRoundedRect(QRectF(6, 6, 28, 28), 6, 6);
    QPainterPath q;
    q.moveTo(15.5, 16);
    q.cubicTo(15.5, 10.5, 24.5, 10.5, 24.5, 16);
    q.cubicTo(24.5, 19.5, 20, 19.5, 20, 23.5);
    p.drawPath(q);
    p.drawPoint(QPointF(20, 28));
}

struct DeviceIcon {
    const char* base;
    void (*draw)(QPainter&);
};
const DeviceIcon kDeviceIcons[] = {
    {"kb_device", KeyboardGlyph},     {"ms_device", MouseGlyph},   {"hard_mp_device", HardPadGlyph},
    {"soft_mp_device", SoftPadGlyph}, {"hd_device", HeadsetGlyph}, {"hub_device", HubGlyph},
    {"unknow_device", UnknownGlyph},
};

// Two arrows chasing each other round a circle: synchronised lighting.
void SyncMark(QPainter& p, QPointF c, qreal r, QColor colour) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x15, 0x18, 0x1D));
    p.drawEllipse(c, r + 4, r + 4);
    p.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    p.drawArc(box, 30 * 16, 120 * 16);
    p.drawArc(box, 210 * 16, 120 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (int end : {150, 330}) {
        const qreal a = end * M_PI / 180.0;
        QPointF tip(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
        QPointF tangent(std::sin(a), std::cos(a));  // direction of travel (counter-clockwise)
        QPointF normal(std::cos(a), -std::sin(a));
        p.drawPolygon(QPolygonF({tip + tangent * 4.5, tip - normal * 3.5, tip + normal * 3.5}));
    }
    p.restore();
}

// The face of a selector item, 196 x 56 design units drawn at twice the size:
// a card with the device glyph at the left; the name is a text over the right.
QImage DeviceCard(void (*glyph)(QPainter&), bool selected, bool synchro) {
    QImage img = Canvas(392, 112);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    const QRectF card(1, 1, 194, 54);
    QColor fill = selected ? QColor(0x3D, 0xA5, 0xFF, 40) : QColor(0x1E, 0x21, 0x27, 230);
    p.setPen(QPen(selected ? kAccent : kCardEdge, selected ? 1.5 : 1));
    p.setBrush(fill);
    p.drawRoundedRect(card, 10, 10);
    if (selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(1, 14, 3.5, 28), 1.75, 1.75);
    }
    // Glyph tile.
    p.setPen(Qt::NoPen);
    p.setBrush(selected ? QColor(0x3D, 0xA5, 0xFF, 56) : QColor(0x2B, 0x30, 0x3B));
    p.drawRoundedRect(QRectF(10, 8, 40, 40), 9, 9);
    p.save();
    p.translate(10, 8);
    p.setPen(QPen(selected ? kAccent : kGlyph, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    glyph(p);
    p.restore();
    if (synchro) SyncMark(p, QPointF(47, 11), 5.5, kSync);
    return img;
}

// ---- power item pictures ---------------------------------------------------

// A 24-unit glyph drawn at twice the size.
QImage PowerGlyph(const Glyph& draw) {
    QImage img = Canvas(48, 48);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    draw(p);
    return img;
}

void Plug(QPainter& p) {  // on external power, battery full
    p.setPen(QPen(kSync, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(9, 4), QPointF(9, 8));
    p.drawLine(QPointF(15, 4), QPointF(15, 8));
    p.drawRoundedRect(QRectF(6, 8, 12, 7), 2, 2);
    p.drawLine(QPointF(12, 15), QPointF(12, 20));
}
void Bolt(QPainter& p) {  // charging
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xC8, 0x3D));
    p.drawPolygon(QPolygonF({QPointF(13.5, 2.5), QPointF(5.5, 13.5), QPointF(11, 13.5),
                             QPointF(9.5, 21.5), QPointF(18.5, 9.5), QPointF(12.8, 9.5)}));
}
void Battery(QPainter& p) {  // on battery
    p.setPen(QPen(kGlyph, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawRoundedRect(QRectF(4, 7.5, 15, 9), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(kGlyph);
    p.drawRoundedRect(QRectF(19.5, 10, 2, 4), 0.8, 0.8);
    p.drawRoundedRect(QRectF(6, 9.5, 7, 5), 1, 1);
}
void Wireless(QPainter& p) {  // talking through the receiver
    p.setPen(QPen(kAccent, 1.9, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal r = 4 + i * 4;
        p.drawArc(QRectF(12 - r, 18 - r, 2 * r, 2 * r), 50 * 16, 80 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(12, 18), 1.8, 1.8);
}

enum class PhoneKind { Notch, PunchHole, Plain, None };

// A phone lying on the pad, 80 x 24 units at twice the size: the phone at the
// left, the rest of the picture left free for the label's text.
QImage PhonePicture(PhoneKind kind) {
    QImage img = Canvas(160, 48);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    const bool none = kind == PhoneKind::None;
    QPen pen(none ? kMuted : kGlyph, 1.5, none ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(7, 2, 11, 20), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kGlyph);
    if (kind == PhoneKind::Notch) p.drawRoundedRect(QRectF(10.5, 2.5, 4, 1.6), 0.8, 0.8);
    if (kind == PhoneKind::PunchHole) p.drawEllipse(QPointF(12.5, 4.6), 0.9, 0.9);
    if (kind == PhoneKind::Plain) p.drawRoundedRect(QRectF(11, 19, 3, 1.2), 0.6, 0.6);
    if (none) {
        p.setPen(QPen(QColor(0xD9, 0x43, 0x4E), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 21), QPointF(20, 3));
    }
    if (!none) {  // the charging ring of the pad under the phone
        p.setPen(QPen(kSync, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(12.5, 12), 3, 3);
    }
    return img;
}

// ---- device page pictures --------------------------------------------------

// The device picture panels are 700 x 240 design units; pictures are drawn at
// twice the size so they stay sharp at high DPI.
constexpr int kPanelW = 700, kPanelH = 240;

QImage Panel(const std::function<void(QPainter&)>& draw) {
    QImage img = Canvas(kPanelW * 2, kPanelH * 2);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    draw(p);
    return img;
}

void KeyboardBody(QPainter& p) {
    const QRectF body(7, 10, 686, 220);
    QLinearGradient g(0, body.top(), 0, body.bottom());
    g.setColorAt(0, QColor(0x2A, 0x2E, 0x37));
    g.setColorAt(1, QColor(0x17, 0x1A, 0x20));
    p.setPen(QPen(QColor(0x3A, 0x40, 0x4D), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(body, 16, 16);
    // The deck the keys sit in.
    p.setPen(QPen(QColor(0x0E, 0x10, 0x14), 1));
    p.setBrush(QColor(0x11, 0x13, 0x18));
    p.drawRoundedRect(QRectF(26, 28, 648, 182), 8, 8);
    // The light bar's channel around the deck.
    p.setPen(QPen(QColor(0x33, 0x39, 0x45), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(12, 14, 676, 212), 12, 12);
}

void PadBody(QPainter& p) {
    const QRectF pad(70, 14, 560, 212);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(pad.translated(0, 4), 18, 18);
    QLinearGradient g(pad.topLeft(), pad.bottomRight());
    g.setColorAt(0, QColor(0x24, 0x28, 0x31));
    g.setColorAt(1, QColor(0x16, 0x19, 0x1F));
    p.setPen(QPen(QColor(0x3A, 0x40, 0x4D), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(pad, 18, 18);
    // The stitched edge that carries the lights, and a fine surface weave.
    p.setPen(QPen(QColor(0x40, 0x47, 0x55), 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(pad.adjusted(9, 9, -9, -9), 11, 11);
    p.setPen(QPen(QColor(255, 255, 255, 8), 1));
    for (qreal x = pad.left() + 24; x < pad.right() - 24; x += 6)
        p.drawLine(QPointF(x, pad.top() + 22), QPointF(x, pad.bottom() - 22));
    // The cable hub in the top-right corner.
    p.setPen(QPen(QColor(0x3A, 0x40, 0x4D), 1));
    p.setBrush(QColor(0x2B, 0x30, 0x3B));
    p.drawRoundedRect(QRectF(pad.right() - 64, pad.top() - 6, 48, 18), 6, 6);
}

void HeadsetBody(QPainter& p) {
    const QColor shell(0x26, 0x2A, 0x33), edge(0x3A, 0x40, 0x4D);
    // Headband.
    p.setPen(QPen(edge, 26, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(190, 20, 320, 260), 20 * 16, 140 * 16);
    p.setPen(QPen(shell, 22, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(190, 20, 320, 260), 20 * 16, 140 * 16);
    // Ear cups with their cushions and rings.
    for (qreal cx : {220.0, 480.0}) {
        const QPointF c(cx, 150);
        p.setPen(QPen(edge, 1.2));
        QRadialGradient g(c - QPointF(10, 14), 80);
        g.setColorAt(0, QColor(0x32, 0x37, 0x42));
        g.setColorAt(1, QColor(0x18, 0x1B, 0x21));
        p.setBrush(g);
        p.drawEllipse(c, 66, 76);
        p.setBrush(QColor(0x12, 0x14, 0x19));
        p.drawEllipse(c, 34, 40);
        p.setPen(QPen(QColor(0x44, 0x4B, 0x59), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, 50, 58);
    }
    // Microphone boom from the left cup.
    QPainterPath boom;
    boom.moveTo(180, 208);
    boom.cubicTo(150, 236, 230, 236, 280, 226);
    p.setPen(QPen(edge, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(boom);
    p.setPen(Qt::NoPen);
    p.setBrush(shell);
    p.drawEllipse(QPointF(284, 225), 8, 7);
}

// Key cap, its hover and marks, and the light shapes of the device pictures.
// Caps and marks are 40 x 40 and stretched with fixed 8-pixel corners.
QImage KeyCap(bool hot) {
    QImage img = Canvas(40, 40);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 40);
    g.setColorAt(0, hot ? QColor(0x3C, 0x43, 0x51) : QColor(0x30, 0x35, 0x40));
    g.setColorAt(1, hot ? QColor(0x2C, 0x32, 0x3D) : QColor(0x22, 0x26, 0x2E));
    p.setPen(QPen(QColor(0x12, 0x14, 0x18), 1.5));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1.5, 1.5, 37, 37), 6, 6);
    p.setPen(QPen(QColor(255, 255, 255, hot ? 40 : 22), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(4, 3.5, 32, 30), 4.5, 4.5);
    return img;
}

QImage KeyMark(QColor colour, Qt::PenStyle style) {
    QImage img = Canvas(40, 40);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 2, style, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.5, 1.5, 37, 37), 6, 6);
    return img;
}

// A soft white ring along the cap's edge: tinted by the light colour, it
// shows as backlight around the key while the legend stays readable.
QImage KeyGlow() {
    QImage img = Canvas(56, 56);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 7; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 230 - i * 32), 2));
        p.drawRoundedRect(QRectF(2 + i * 1.6, 2 + i * 1.6, 52 - i * 3.2, 52 - i * 3.2), 10, 10);
    }
    return img;
}

// A light segment of a light bar or a cup ring: a bright core, soft edges.
QImage LightShape(bool round) {
    QImage img = Canvas(64, 64);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(32, 32), 32);
    g.setColorAt(0, QColor(255, 255, 255, 255));
    g.setColorAt(round ? 0.45 : 0.6, QColor(255, 255, 255, 220));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    if (round)
        p.drawEllipse(QRectF(0, 0, 64, 64));
    else
        p.drawRoundedRect(QRectF(0, 0, 64, 64), 24, 24);
    return img;
}

// The unlit light under its glow: a bar slot or a round lens.
QImage LightSlot(bool round) {
    QImage img = Canvas(56, 56);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x0E, 0x10, 0x14), 2));
    p.setBrush(QColor(0x3A, 0x40, 0x4D));
    if (round)
        p.drawEllipse(QRectF(2, 2, 52, 52));
    else
        p.drawRoundedRect(QRectF(2, 2, 52, 52), 12, 12);
    return img;
}

struct Picture {
    std::string file;
    std::function<QImage()> make;
};

// Every picture of the device selector, the power item and the device pages.
std::vector<Picture> DevicePictures() {
    std::vector<Picture> out;
    for (const DeviceIcon& icon : kDeviceIcons) {
        const std::string base = std::string("common/device_ico/") + icon.base;
        auto draw = icon.draw;
        out.push_back({base + "_normal.png", [draw] { return DeviceCard(draw, false, false); }});
        out.push_back({base + "_selected.png", [draw] { return DeviceCard(draw, true, false); }});
        out.push_back(
            {base + "_synchro_normal.png", [draw] { return DeviceCard(draw, false, true); }});
        out.push_back(
            {base + "_synchro_selected.png", [draw] { return DeviceCard(draw, true, true); }});
    }
    const std::pair<const char*, void (*)(QPainter&)> power[] = {
        {"power/powered.png", Plug},
        {"power/powering.png", Bolt},
        {"power/power.png", Battery},
        {"power/wireless.png", Wireless},
    };
    for (const auto& [file, draw] : power) {
        auto d = draw;
        out.push_back({file, [d] { return PowerGlyph(d); }});
    }
    const std::pair<const char*, PhoneKind> phones[] = {
        {"power/Phone_type_iphone.png", PhoneKind::Notch},
        {"power/Phone_type_samsung.png", PhoneKind::PunchHole},
        {"power/Phone_type_other.png", PhoneKind::Plain},
        {"power/Phone_type_no_device.png", PhoneKind::None},
    };
    for (const auto& [file, kind] : phones) {
        PhoneKind k = kind;
        out.push_back({file, [k] { return PhonePicture(k); }});
    }
    out.push_back({"common/device_ico/page_keyboard.png", [] { return Panel(KeyboardBody); }});
    out.push_back({"common/device_ico/page_mousepad.png", [] { return Panel(PadBody); }});
    out.push_back({"common/device_ico/page_headset.png", [] { return Panel(HeadsetBody); }});
    out.push_back({"common/device_ico/key_cap.png", [] { return KeyCap(false); }});
    out.push_back({"common/device_ico/key_cap_hot.png", [] { return KeyCap(true); }});
    out.push_back(
        {"common/device_ico/key_set.png", [] { return KeyMark(kAccent, Qt::SolidLine); }});
    out.push_back({"common/device_ico/key_unset.png",
                   [] { return KeyMark(QColor(0xE6, 0xE8, 0xEB), Qt::DashLine); }});
    out.push_back({"common/device_ico/key_glow.png", KeyGlow});
    out.push_back({"common/device_ico/light_bar.png", [] { return LightShape(false); }});
    out.push_back({"common/device_ico/light_dot.png", [] { return LightShape(true); }});
    out.push_back({"common/device_ico/light_slot.png", [] { return LightSlot(false); }});
    out.push_back({"common/device_ico/light_slot_round.png", [] { return LightSlot(true); }});
    return out;
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
    for (const Picture& pic : DevicePictures())
        ok &= Save(pic.make(), skin + QString::fromStdString(pic.file));
    return ok ? 0 : 1;
}
