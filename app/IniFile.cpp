#include "app/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "app/ipc/MessageNames.h"
#include "platform/Folders.h"

namespace app {

namespace {
constexpr qint64 kMaxIniBytes = 1 << 20;

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}
}  // namespace

CIniFile::Sections CIniFile::Load() const {
    Sections sections;
    QFile f(QString::fromStdString(path_));
    if (f.size() > kMaxIniBytes || !f.open(QIODevice::ReadOnly)) return sections;
    std::string current;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const std::string line = Trim(raw.toStdString());
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
            continue;
        }
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            sections[current][Trim(line.substr(0, eq))] = Trim(line.substr(eq + 1));
    }
    return sections;
}

std::optional<std::string> CIniFile::Read(const std::string& section,
                                          const std::string& key) const {
    const Sections sections = Load();
    auto s = sections.find(section);
    if (s == sections.end()) return std::nullopt;
    auto k = s->second.find(key);
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

bool CIniFile::Write(const std::string& section, const std::string& key, const std::string& value) {
    Sections sections = Load();
    sections[section][key] = value;
    const QString path = QString::fromStdString(path_);
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    std::string text;
    for (const auto& [name, values] : sections) {
        text += "[" + name + "]\n";
        for (const auto& [k, v] : values)
            text += k + "=" + v + "\n";
    }
    out.write(text.data(), qint64(text.size()));
    return out.commit();
}

std::string RegistryFilePath() {
    return platform::ConfigHomeFolder() + std::string(ipc::kInstanceName) + "/registry.ini";
}

std::string RegistryKeyName() {
    return "SOFTWARE\\" + std::string(ipc::kInstanceName);
}

}  // namespace app
