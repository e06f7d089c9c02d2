#include "ui/Application.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QStyleFactory>
#include <cstdlib>

#include "ui/Fonts.h"
#include "ui/Resources.h"

namespace ui {

void PrepareApplication() {
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    unsetenv("QT_SCALE_FACTOR");
    unsetenv("QT_SCREEN_SCALE_FACTORS");
}

void ApplyTheme(QApplication& app) {
    app.setStyle(QStyleFactory::create("Fusion"));
    QPalette p;
    const QColor window(0x1E, 0x21, 0x27), base(0x1B, 0x1F, 0x26), text(0xE6, 0xE8, 0xEB);
    const QColor accent(0x3D, 0xA5, 0xFF), mid(0x3A, 0x40, 0x4D);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x2B, 0x30, 0x3B));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0x2B, 0x30, 0x3B));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0x80, 0x87, 0x94));
    p.setColor(QPalette::Mid, mid);
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x6B, 0x72, 0x80));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x6B, 0x72, 0x80));
    app.setPalette(p);
}

bool InitResources(const std::string& programFolder, const std::string& languageFile) {
    CResourceManager& rm = CResourceManager::Instance();
    rm.SetInstancePath(programFolder);
    rm.SetResourcePath(rm.GetInstancePath() + "skin/");
    bool ok = rm.LoadResource("res.xml");
    if (!languageFile.empty()) rm.LoadLanguage(languageFile);
    if (!CFontTable::Instance().HasFont(0)) CFontTable::Instance().LoadStandardTable("");
    return ok;
}

int MessageLoop() {
    return QApplication::exec();
}
void PostQuitMessage(int code) {
    QCoreApplication::exit(code);
}

QPoint GetCursorPos() {
    return QCursor::pos();
}

QSize GetScreenSize() {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(1024, 768);
}

namespace {
QScreen* ScreenAt(const QPoint& pt) {
    QScreen* s = QGuiApplication::screenAt(pt);
    return s ? s : QGuiApplication::primaryScreen();
}
}  // namespace

QRect GetMonitorRect(const QPoint& pt) {
    QScreen* s = ScreenAt(pt);
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

QRect GetMonitorWorkArea(const QPoint& pt) {
    QScreen* s = ScreenAt(pt);
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

TaskbarEdge GetTaskbarEdge(const QPoint& pt) {
    QRect full = GetMonitorRect(pt);
    QRect work = GetMonitorWorkArea(pt);
    if (work.top() > full.top()) return TaskbarEdge::Top;
    if (work.left() > full.left()) return TaskbarEdge::Left;
    if (work.right() < full.right()) return TaskbarEdge::Right;
    return TaskbarEdge::Bottom;
}

}  // namespace ui
