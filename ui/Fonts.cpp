#include "ui/Fonts.h"

#include <QFontDatabase>

#include "ui/Text.h"

namespace ui {

CFontTable& CFontTable::Instance() {
    static CFontTable table;
    return table;
}

const FontSpec& CFontTable::Get(int id) const {
    auto it = fonts_.find(id);
    return it == fonts_.end() ? default_ : it->second;
}

QFont CFontTable::GetFont(int id, int dpi) const {
    if (!fonts_.count(id)) id = -1;
    auto key = std::make_pair(id, dpi);
    auto hit = built_.find(key);
    if (hit != built_.end()) return hit->second;
    const FontSpec& spec = Get(id);
    QFont font;
    std::string family = ResolveFamily(spec.face);
    if (!family.empty()) font.setFamily(Q(family));
    font.setPixelSize(std::max(1, spec.size * (dpi > 0 ? dpi : 96) / 96));
    font.setBold(spec.bold);
    font.setUnderline(spec.underline);
    font.setItalic(spec.italic);
    built_[key] = font;
    return font;
}

void CFontTable::LoadStandardTable(const std::string& face) {
    struct Row {
        int id;
        int size;
        bool bold;
        bool underline;
    };
    static const Row kRows[] = {
        {0, 15, false, false}, {1, 14, false, true},   {2, 18, false, false},
        {3, 30, false, false}, {4, 16, false, false},  {5, 20, false, false},
        {6, 22, false, false}, {7, 14, false, false},  {8, 12, false, false},
        {9, 11, false, false}, {10, 10, false, false}, {11, 28, false, false},
        {50, 18, true, false}};
    RemoveAllFonts();
    SetDefaultFont({face, 14});
    for (const Row& r : kRows)
        AddFont(r.id, {face, r.size, r.bold, r.underline, false});
}

std::string CFontTable::ResolveFamily(const std::string& face) const {
    if (face.empty()) return {};
    auto hit = families_.find(face);
    if (hit != families_.end()) return hit->second;
    const QStringList families = QFontDatabase::families();
    QString wanted = Q(face).trimmed();
    std::string result;
    for (const QString& f : families)
        if (f.compare(wanted, Qt::CaseInsensitive) == 0) result = S(f);
    // Drop trailing style words until a family matches or starts the wanted name.
    QString stem = wanted;
    while (result.empty() && !stem.isEmpty()) {
        for (const QString& f : families) {
            if (f.startsWith(stem, Qt::CaseInsensitive) ||
                stem.startsWith(f, Qt::CaseInsensitive)) {
                if (f.size() >= 3) {
                    result = S(f);
                    break;
                }
            }
        }
        int space = stem.lastIndexOf(' ');
        if (space <= 0) break;
        stem = stem.left(space);
    }
    families_[face] = result;
    return result;
}

bool CPrivateFonts::Load(const std::string& path) {
    int id = QFontDatabase::addApplicationFont(Q(path));
    if (id < 0) return false;
    ids_.push_back(id);
    CFontTable::Instance().Invalidate();
    return true;
}

void CPrivateFonts::UnloadAll() {
    while (!ids_.empty()) {
        QFontDatabase::removeApplicationFont(ids_.back());
        ids_.pop_back();
    }
    CFontTable::Instance().Invalidate();
}

}  // namespace ui
