#pragma once
// A small read-only XML tree for skins, menus, language files and the
// resource index. Parsing is bounded: oversized files and deep nesting are
// refused with an error text instead of being followed.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ui {

struct XmlNode {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attrs;
    std::vector<XmlNode> children;
    std::string text;

    // Attribute by name (case-insensitive); nullptr when absent.
    const std::string* Attr(std::string_view key) const;
    std::string AttrOr(std::string_view key, std::string fallback = {}) const;
};

constexpr size_t kMaxXmlBytes = 8u << 20;
constexpr int kMaxXmlDepth = 64;

bool ParseXml(std::string_view data, XmlNode& root, std::string* error = nullptr);
bool ParseXmlFile(const std::string& path, XmlNode& root, std::string* error = nullptr);

}  // namespace ui
