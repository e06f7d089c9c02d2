#include "ui/Dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "ui/Text.h"
#include "ui/Window.h"

namespace ui {

std::string ToQtFilter(const std::string& filter) {
    QStringList parts = Q(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i].trimmed();
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts))
            if (!p.trimmed().isEmpty()) patterns << p.trimmed();
        if (desc.isEmpty() && patterns.isEmpty()) continue;
        if (!desc.contains('(')) desc += " (" + patterns.join(' ') + ")";
        out << desc;
    }
    return S(out.join(";;"));
}

namespace {
QWidget* Parent(CWindowWnd* owner) {
    return owner ? owner->GetHWND() : nullptr;
}
}  // namespace

std::optional<std::string> OpenFileDialog(CWindowWnd* owner, const std::string& filter,
                                          const std::string& initialName) {
    QString path = QFileDialog::getOpenFileName(Parent(owner), QString(), Q(initialName),
                                                Q(ToQtFilter(filter)));
    if (path.isEmpty() || !QFileInfo::exists(path)) return std::nullopt;
    return S(path);
}

std::optional<std::string> SaveFileDialog(CWindowWnd* owner, const std::string& filter,
                                          const std::string& initialName,
                                          const std::string& defaultExt) {
    QString path = QFileDialog::getSaveFileName(Parent(owner), QString(), Q(initialName),
                                                Q(ToQtFilter(filter)));
    if (path.isEmpty()) return std::nullopt;
    if (!defaultExt.empty() && QFileInfo(path).suffix().isEmpty()) path += "." + Q(defaultExt);
    return S(path);
}

void ShowPlainMessageBox(CWindowWnd* owner, const std::string& text, const std::string& title) {
    QMessageBox::information(Parent(owner), Q(title), Q(text));
}

}  // namespace ui
