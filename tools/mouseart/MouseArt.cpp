// Draws the mouse page's pictures: the mouse body, the light strip shape
// that the page tints with the preview colour, the marker of a re-assigned
// key and the DPI slider thumbs. Run by hand with the skin folder as the
// argument; the PNGs are kept in the skin.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <string>

namespace {

QImage Canvas(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage Body() {
    QImage img = Canvas(300, 430);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shell;
    shell.moveTo(150, 18);
    shell.cubicTo(250, 18, 262, 120, 258, 220);
    shell.cubicTo(254, 330, 226, 410, 150, 410);
    shell.cubicTo(74, 410, 46, 330, 42, 220);
    shell.cubicTo(38, 120, 50, 18, 150, 18);
    QLinearGradient fill(0, 18, 0, 410);
    fill.setColorAt(0, QColor(0x2C, 0x32, 0x3D));
    fill.setColorAt(1, QColor(0x16, 0x19, 0x1F));
    p.fillPath(shell, fill);
    p.setPen(QPen(QColor(0x4A, 0x53, 0x63), 2));
    p.drawPath(shell);
    // The split between the two main buttons and the palm rest line.
    p.setPen(QPen(QColor(0x0E, 0x10, 0x14), 3));
    p.drawLine(150, 20, 150, 140);
    p.drawArc(QRect(58, 60, 184, 160), 200 * 16, 140 * 16);
    return img;
}

QImage Light() {
    QImage img = Canvas(10, 24);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 8, 22), 4, 4);
    return img;
}

QImage KeySet() {
    QImage img = Canvas(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x3D, 0xA5, 0xFF));
    p.setPen(QPen(Qt::white, 1.5));
    p.drawEllipse(QRectF(3, 3, 10, 10));
    return img;
}

QImage Thumb(QColor ring) {
    QImage img = Canvas(18, 18);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xF2, 0xF4, 0xF7));
    p.setPen(QPen(ring, 3));
    p.drawEllipse(QRectF(2, 2, 14, 14));
    return img;
}

bool Save(const QImage& img, const std::string& path) {
    const bool ok = img.save(QString::fromStdString(path));
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const std::string skin = argc > 1 ? std::string(argv[1]) + "/" : "skin/";
    bool ok = Save(Body(), skin + "XML/DeviceXml/images/mouse_body.png");
    ok &= Save(Light(), skin + "XML/DeviceXml/images/mouse_light.png");
    ok &= Save(KeySet(), skin + "XML/DeviceXml/images/mouse_key_set.png");
    ok &= Save(Thumb(QColor(0x3D, 0xA5, 0xFF)), skin + "Control/SliderBar1_Thumb.png");
    ok &= Save(Thumb(QColor(0x6B, 0x72, 0x80)), skin + "Control/SliderBar2_Thumb.png");
    return ok ? 0 : 1;
}
