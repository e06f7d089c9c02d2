#pragma once
// Small string helpers shared by the toolkit: case-insensitive names, number
// and list parsing of attribute values.
#include <QColor>
#include <QMargins>
#include <QRect>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToLower(std::string_view s);

// Decimal integer at the start of s (leading spaces and a sign allowed);
// `fallback` when s does not start with a number.
int ParseInt(std::string_view s, int fallback = 0);
bool ParseBool(std::string_view s);
// "a,b,c,d" into up to n integers; missing ones are 0.
std::vector<int> ParseIntList(std::string_view s, size_t n);
QMargins ParseMargins(std::string_view s);
QRect ParseRect(std::string_view s);  // "l,t,r,b"
// "#AARRGGBB", "#RRGGBB", "0xAARRGGBB" or a decimal ARGB number.
uint32_t ParseColor(std::string_view s);
QColor ToQColor(uint32_t argb);

// Splits a control name at its last underscore: prefix (with the underscore)
// and the number after it (0 when no digits follow). No underscore: empty prefix.
struct NameRoute {
    std::string prefix;
    int number = 0;
};
NameRoute SplitNameRoute(std::string_view name);

inline QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
inline std::string S(const QString& s) {
    return s.toStdString();
}

}  // namespace ui
