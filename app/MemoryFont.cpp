#include "app/MemoryFont.h"

#include <QFile>
#include <QFontDatabase>

#include "platform/Folders.h"
#include "ui/Fonts.h"

namespace app {

namespace {
constexpr qint64 kMaxFontBytes = 64 << 20;
}

CMemoryFont::CMemoryFont() : folder_(platform::ProgramFolder()) {}

bool CMemoryFont::Load(const std::string& relativePath) {
    Unload();
    QFile file(QString::fromStdString(folder_ + relativePath));
    if (file.size() > kMaxFontBytes || !file.open(QIODevice::ReadOnly)) return false;
    id_ = QFontDatabase::addApplicationFontFromData(file.readAll());
    if (id_ >= 0) ui::CFontTable::Instance().Invalidate();
    return id_ >= 0;
}

void CMemoryFont::Unload() {
    if (id_ < 0) return;
    QFontDatabase::removeApplicationFont(id_);
    id_ = -1;
    ui::CFontTable::Instance().Invalidate();
}

}  // namespace app
