#include "ui/Text.h"

#include <cctype>
#include <charconv>

namespace ui {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string ToLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

int ParseInt(std::string_view s, int fallback) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    if (i < s.size() && s[i] == '+') ++i;
    int value = 0;
    auto [ptr, ec] = std::from_chars(s.data() + i, s.data() + s.size(), value);
    if (ec != std::errc() || ptr == s.data() + i) return fallback;
    return value;
}

bool ParseBool(std::string_view s) {
    return EqualsNoCase(s, "true") || s == "1";
}

std::vector<int> ParseIntList(std::string_view s, size_t n) {
    std::vector<int> out(n, 0);
    size_t idx = 0;
    size_t start = 0;
    while (idx < n && start <= s.size()) {
        size_t comma = s.find(',', start);
        std::string_view part = s.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        out[idx++] = ParseInt(part, 0);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return out;
}

QMargins ParseMargins(std::string_view s) {
    auto v = ParseIntList(s, 4);
    return QMargins(v[0], v[1], v[2], v[3]);
}

QRect ParseRect(std::string_view s) {
    auto v = ParseIntList(s, 4);
    return QRect(QPoint(v[0], v[1]), QPoint(v[2] - 1, v[3] - 1));
}

uint32_t ParseColor(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    int base = 10;
    bool hash = false;
    if (!s.empty() && s.front() == '#') {
        s.remove_prefix(1);
        base = 16;
        hash = true;
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        base = 16;
    }
    uint32_t value = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc()) return 0;
    size_t digits = size_t(ptr - s.data());
    if (hash && digits == 6) value |= 0xFF000000u;
    return value;
}

QColor ToQColor(uint32_t argb) {
    return QColor((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, (argb >> 24) & 0xFF);
}

NameRoute SplitNameRoute(std::string_view name) {
    NameRoute route;
    size_t pos = name.rfind('_');
    if (pos == std::string_view::npos) return route;
    route.prefix = std::string(name.substr(0, pos + 1));
    std::string_view rest = name.substr(pos + 1);
    int value = 0;
    auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    route.number = (ec == std::errc() && ptr != rest.data()) ? value : 0;
    return route;
}

}  // namespace ui
