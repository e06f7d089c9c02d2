#include "ui/Resources.h"

#include <QFileInfo>
#include <mutex>

#include "platform/Debug.h"
#include "platform/Folders.h"
#include "ui/Text.h"
#include "ui/Xml.h"

namespace ui {

void ReloadAllControlTexts();  // PaintManager.cpp

CResourceManager& CResourceManager::Instance() {
    static CResourceManager instance;
    return instance;
}

CResourceManager::CResourceManager() {
    instancePath_ = platform::ProgramFolder();
    resourcePath_ = instancePath_ + "skin/";
}

void CResourceManager::SetInstancePath(std::string folder) {
    instancePath_ = platform::WithTrailingSlash(platform::ToSlashPath(std::move(folder)));
}

void CResourceManager::SetResourcePath(std::string folder) {
    resourcePath_ = platform::WithTrailingSlash(platform::ToSlashPath(std::move(folder)));
    images_.clear();
}

bool CResourceManager::LoadResource(const std::string& indexFile) {
    XmlNode root;
    std::string error;
    std::string path = platform::ToSlashPath(indexFile);
    if (path.empty() || path[0] != '/') path = resourcePath_ + path;
    if (!ParseXmlFile(path, root, &error)) {
        platform::DebugOut("resource index not loaded: " + error);
        return false;
    }
    entries_.clear();
    icons_.clear();
    for (const XmlNode& n : root.children) {
        if (EqualsNoCase(n.name, "Entry"))
            entries_[n.AttrOr("name")] = platform::ToSlashPath(n.AttrOr("file"));
        else if (EqualsNoCase(n.name, "Icon"))
            icons_[ParseInt(n.AttrOr("id"), -1)] = platform::ToSlashPath(n.AttrOr("file"));
    }
    return true;
}

void CResourceManager::Release() {
    entries_.clear();
    icons_.clear();
    images_.clear();
}

std::string CResourceManager::GetEntry(const std::string& name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? std::string() : it->second;
}

std::string CResourceManager::ResolveSkinPath(const std::string& nameOrFile) const {
    std::string file = GetEntry(nameOrFile);
    if (file.empty()) file = platform::ToSlashPath(nameOrFile);
    if (!file.empty() && file[0] == '/') return file;
    return resourcePath_ + file;
}

std::string CResourceManager::GetIconFile(int id) const {
    auto it = icons_.find(id);
    return it == icons_.end() ? std::string() : resourcePath_ + it->second;
}

bool CResourceManager::LoadLanguage(const std::string& file) {
    std::string path = platform::ToSlashPath(file);
    if (path.empty()) return false;
    if (path[0] != '/' && !QFileInfo::exists(Q(path))) path = resourcePath_ + path;
    XmlNode root;
    std::string error;
    if (!ParseXmlFile(path, root, &error)) {
        platform::DebugOut("language file not loaded: " + error);
        return false;
    }
    std::unordered_map<std::string, std::string> table;
    for (const XmlNode& n : root.children) {
        if (!EqualsNoCase(n.name, "Text")) continue;
        const std::string* value = n.Attr("value");
        table[n.AttrOr("key")] = value ? *value : n.text;
    }
    {
        std::unique_lock lock(textMutex_);
        texts_.swap(table);
    }
    if (const std::string* name = root.Attr("name")) language_ = *name;
    return true;
}

std::string CResourceManager::GetText(const std::string& key) const {
    std::shared_lock lock(textMutex_);
    auto it = texts_.find(key);
    return it == texts_.end() ? key : it->second;
}

bool CResourceManager::HasText(const std::string& key) const {
    std::shared_lock lock(textMutex_);
    return texts_.count(key) != 0;
}

void CResourceManager::ReloadText() {
    ReloadAllControlTexts();
}

const QImage* CResourceManager::GetImage(const std::string& file) {
    auto it = images_.find(file);
    if (it != images_.end()) return it->second.get();
    std::string path = platform::ToSlashPath(file);
    if (!path.empty() && path[0] != '/') path = resourcePath_ + path;
    auto image = std::make_unique<QImage>(Q(path));
    if (image->isNull()) {
        image.reset();
    } else {
        *image = image->convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    const QImage* result = image.get();
    images_[file] = std::move(image);
    return result;
}

namespace {

struct ImageSpec {
    std::string file;
    QRect source;  // empty: whole image
    QRect dest;    // design units relative to the target; empty: whole target
    QMargins corner;
    uint32_t mask = 0;
    int fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;
};

// key='value' pairs; a string without any '=' is a file name.
ImageSpec ParseImageString(const std::string& s) {
    ImageSpec spec;
    if (s.find('=') == std::string::npos) {
        spec.file = s;
        return spec;
    }
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ')
            ++i;
        size_t eq = s.find('=', i);
        if (eq == std::string::npos) break;
        std::string key = ToLower(std::string_view(s).substr(i, eq - i));
        while (!key.empty() && key.back() == ' ')
            key.pop_back();
        size_t q1 = s.find('\'', eq);
        if (q1 == std::string::npos) break;
        size_t q2 = s.find('\'', q1 + 1);
        if (q2 == std::string::npos) break;
        std::string value = s.substr(q1 + 1, q2 - q1 - 1);
        i = q2 + 1;
        if (key == "file" || key == "res")
            spec.file = value;
        else if (key == "source")
            spec.source = ParseRect(value);
        else if (key == "dest")
            spec.dest = ParseRect(value);
        else if (key == "corner")
            spec.corner = ParseMargins(value);
        else if (key == "mask")
            spec.mask = ParseColor(value);
        else if (key == "fade")
            spec.fade = std::clamp(ParseInt(value, 255), 0, 255);
        else if (key == "hole")
            spec.hole = ParseBool(value);
        else if (key == "xtiled")
            spec.xtiled = ParseBool(value);
        else if (key == "ytiled")
            spec.ytiled = ParseBool(value);
        // "restype" and "hsl" are accepted; plain files need neither.
    }
    return spec;
}

const ImageSpec& CachedSpec(const std::string& s) {
    static std::unordered_map<std::string, ImageSpec> cache;
    auto it = cache.find(s);
    if (it != cache.end()) return it->second;
    if (cache.size() > 4096) cache.clear();
    return cache.emplace(s, ParseImageString(s)).first->second;
}

QRect ScaleRect(const QRect& r, double scale) {
    return QRect(int(r.left() * scale), int(r.top() * scale), int(r.width() * scale),
                 int(r.height() * scale));
}

void DrawPiece(QPainter& p, const QRect& dst, const QImage& img, const QRect& src, bool xt,
               bool yt) {
    if (dst.isEmpty() || src.isEmpty()) return;
    if (!xt && !yt) {
        p.drawImage(dst, img, src);
        return;
    }
    p.save();
    p.setClipRect(dst, Qt::IntersectClip);
    int stepX = xt ? src.width() : dst.width();
    int stepY = yt ? src.height() : dst.height();
    for (int y = dst.top(); y < dst.top() + dst.height(); y += stepY)
        for (int x = dst.left(); x < dst.left() + dst.width(); x += stepX)
            p.drawImage(QRect(x, y, stepX, stepY), img, src);
    p.restore();
}

// Nine-slice drawing with fixed corners.
void DrawCorners(QPainter& p, const QRect& dst, const QImage& img, const QRect& src,
                 const QMargins& c, bool hole) {
    const int sx[4] = {src.left(), src.left() + c.left(), src.left() + src.width() - c.right(),
                       src.left() + src.width()};
    const int sy[4] = {src.top(), src.top() + c.top(), src.top() + src.height() - c.bottom(),
                       src.top() + src.height()};
    const int dx[4] = {dst.left(), dst.left() + c.left(), dst.left() + dst.width() - c.right(),
                       dst.left() + dst.width()};
    const int dy[4] = {dst.top(), dst.top() + c.top(), dst.top() + dst.height() - c.bottom(),
                       dst.top() + dst.height()};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            if (hole && row == 1 && col == 1) continue;
            QRect d(QPoint(dx[col], dy[row]), QPoint(dx[col + 1] - 1, dy[row + 1] - 1));
            QRect s(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
            if (d.width() > 0 && d.height() > 0 && s.width() > 0 && s.height() > 0)
                p.drawImage(d, img, s);
        }
}

const QImage* MaskedImage(const QImage* img, const std::string& file, uint32_t mask) {
    static std::unordered_map<std::string, QImage> cache;
    std::string key = file + "#" + std::to_string(mask);
    auto it = cache.find(key);
    if (it != cache.end()) return &it->second;
    QImage copy = img->convertToFormat(QImage::Format_ARGB32);
    const QRgb m = mask & 0x00FFFFFFu;
    for (int y = 0; y < copy.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == m) line[x] = 0;
    }
    return &cache.emplace(key, copy.convertToFormat(QImage::Format_ARGB32_Premultiplied))
                .first->second;
}

// The picture's coverage at the target size (cached: lights repaint at
// full rate with the same few pictures).
const QImage& ScaledSource(const QImage& img, const QRect& src, const QSize& size) {
    struct Key {
        const QImage* img;
        QRect src;
        QSize size;
        bool operator==(const Key& o) const {
            return img == o.img && src == o.src && size == o.size;
        }
    };
    static std::vector<std::pair<Key, QImage>> cache;
    Key key{&img, src, size};
    for (auto& [k, v] : cache)
        if (k == key) return v;
    if (cache.size() > 64) cache.clear();
    QImage scaled = img.copy(src)
                        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_Alpha8);
    cache.emplace_back(key, std::move(scaled));
    return cache.back().second;
}

// Tinting keeps the picture's coverage and replaces its colour (colour x
// alpha x strength), computed straight into a reused scratch image: no
// painter and no allocation per light.
void DrawTinted(QPainter& p, const QRect& dst, const QImage& img, const QRect& src,
                const ImageTint& tint) {
    const QImage& mask = ScaledSource(img, src, dst.size());
    static QImage scratch;
    if (scratch.width() < dst.width() || scratch.height() < dst.height())
        scratch =
            QImage(std::max(dst.width(), scratch.width()), std::max(dst.height(), scratch.height()),
                   QImage::Format_ARGB32_Premultiplied);
    // One table per call maps the picture's coverage to the tinted pixel.
    const uint32_t r = (tint.color >> 16) & 0xFF, g = (tint.color >> 8) & 0xFF,
                   b = tint.color & 0xFF;
    const uint32_t strength = uint32_t(std::clamp(tint.alpha, 0, 255));
    QRgb table[256];
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t a = (i * strength + 127) / 255;
        table[i] = qRgba(int((r * a + 127) / 255), int((g * a + 127) / 255),
                         int((b * a + 127) / 255), int(a));
    }
    const uchar* in = mask.constBits();
    uchar* out = scratch.bits();
    const qsizetype inStride = mask.bytesPerLine(), outStride = scratch.bytesPerLine();
    const int w = dst.width();
    for (int y = 0; y < dst.height(); ++y) {
        const uchar* src8 = in + y * inStride;
        QRgb* row = reinterpret_cast<QRgb*>(out + y * outStride);
        for (int x = 0; x < w; ++x)
            row[x] = table[src8[x]];
    }
    p.drawImage(dst.topLeft(), scratch, QRect(0, 0, dst.width(), dst.height()));
}

}  // namespace

std::string ImageStringFile(const std::string& image) {
    return CachedSpec(image).file;
}

QSize ImageStringSize(const std::string& image) {
    if (image.empty()) return {0, 0};
    const QImage* img = CResourceManager::Instance().GetImage(CachedSpec(image).file);
    return img ? img->size() : QSize(0, 0);
}

bool DrawImageString(QPainter& p, const QRect& rc, const std::string& image, double scale,
                     const ImageTint* tint) {
    if (image.empty() || rc.isEmpty()) return false;
    const ImageSpec& spec = CachedSpec(image);
    if (spec.file.empty()) return false;
    const QImage* img = CResourceManager::Instance().GetImage(spec.file);
    if (!img) return false;
    if (spec.mask) img = MaskedImage(img, spec.file, spec.mask);
    QRect src = spec.source.isEmpty() ? img->rect() : spec.source.intersected(img->rect());
    if (src.isEmpty()) return false;
    QRect dst = rc;
    if (!spec.dest.isEmpty())
        dst = ScaleRect(spec.dest, scale).translated(rc.topLeft()).intersected(rc);
    if (dst.isEmpty()) return false;
    // dst lies inside rc; only tiles need a clip, and DrawPiece sets its own.
    const double opacity = p.opacity();
    double factor = spec.fade < 255 ? spec.fade / 255.0 : 1.0;
    if (tint && tint->tint) {
        if (factor < 1.0) p.setOpacity(opacity * factor);
        DrawTinted(p, dst, *img, src, *tint);
    } else {
        if (tint) factor *= std::clamp(tint->alpha, 0, 255) / 255.0;
        if (factor < 1.0) p.setOpacity(opacity * factor);
        if (!spec.corner.isNull())
            DrawCorners(p, dst, *img, src, spec.corner, spec.hole);
        else
            DrawPiece(p, dst, *img, src, spec.xtiled, spec.ytiled);
    }
    if (factor < 1.0) p.setOpacity(opacity);
    return true;
}

}  // namespace ui
