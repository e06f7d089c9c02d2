#pragma once
// Process-wide set-up of the toolkit and the screen queries windows use.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <string>

class QApplication;

namespace ui {

// Call before the QApplication exists: the program scales by its own DPI
// value, so Qt's automatic high-DPI scaling is switched off to not double it.
void PrepareApplication();
// Dark calm look for the Qt widgets the controls wrap (Fusion style).
void ApplyTheme(QApplication& app);
// Resource folder, resource index, language file and standard fonts in one go.
// Returns false when the resource index cannot be read.
bool InitResources(const std::string& programFolder, const std::string& languageFile = {});

// Runs the UI loop until PostQuitMessage.
int MessageLoop();
void PostQuitMessage(int code = 0);

QPoint GetCursorPos();
QSize GetScreenSize();
// Full and work-area rectangles of the monitor nearest to a point.
QRect GetMonitorRect(const QPoint& pt);
QRect GetMonitorWorkArea(const QPoint& pt);

enum class TaskbarEdge { Bottom, Top, Left, Right };
// Where the desktop keeps its panel, from the difference of the two rectangles.
TaskbarEdge GetTaskbarEdge(const QPoint& pt);

// Scales a design value by a DPI (96 = unchanged).
inline int ScaleByDpi(int value, int dpi) {
    return int((int64_t(value) * dpi + 48) / 96);
}

}  // namespace ui
