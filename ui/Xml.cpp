#include "ui/Xml.h"

#include <QFile>
#include <QXmlStreamReader>

#include "ui/Text.h"

namespace ui {

const std::string* XmlNode::Attr(std::string_view key) const {
    for (const auto& [k, v] : attrs)
        if (EqualsNoCase(k, key)) return &v;
    return nullptr;
}

std::string XmlNode::AttrOr(std::string_view key, std::string fallback) const {
    const std::string* v = Attr(key);
    return v ? *v : fallback;
}

bool ParseXml(std::string_view data, XmlNode& root, std::string* error) {
    if (data.size() > kMaxXmlBytes) {
        if (error) *error = "file too large";
        return false;
    }
    QXmlStreamReader reader(QByteArray::fromRawData(data.data(), qsizetype(data.size())));
    std::vector<XmlNode*> stack;
    bool haveRoot = false;
    while (!reader.atEnd()) {
        auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (int(stack.size()) >= kMaxXmlDepth) {
                if (error) *error = "nesting too deep";
                return false;
            }
            XmlNode* node = nullptr;
            if (stack.empty()) {
                if (haveRoot) break;
                root = XmlNode{};
                node = &root;
                haveRoot = true;
            } else {
                stack.back()->children.emplace_back();
                node = &stack.back()->children.back();
            }
            node->name = S(reader.name().toString());
            for (const auto& a : reader.attributes())
                node->attrs.emplace_back(S(a.name().toString()), S(a.value().toString()));
            stack.push_back(node);
        } else if (token == QXmlStreamReader::EndElement) {
            if (!stack.empty()) stack.pop_back();
        } else if (token == QXmlStreamReader::Characters && !stack.empty()) {
            if (!reader.isWhitespace()) stack.back()->text += S(reader.text().toString());
        }
    }
    if (reader.hasError()) {
        if (error)
            *error = S(reader.errorString()) + " at line " + std::to_string(reader.lineNumber());
        return false;
    }
    if (!haveRoot) {
        if (error) *error = "no root element";
        return false;
    }
    return true;
}

bool ParseXmlFile(const std::string& path, XmlNode& root, std::string* error) {
    QFile file(Q(path));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    if (file.size() > qint64(kMaxXmlBytes)) {
        if (error) *error = "file too large: " + path;
        return false;
    }
    QByteArray data = file.readAll();
    return ParseXml(std::string_view(data.constData(), size_t(data.size())), root, error);
}

}  // namespace ui
