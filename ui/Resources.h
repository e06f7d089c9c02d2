#pragma once
// The resource manager: where skins live, the resource index (res.xml), the
// language texts, icons by id and the image cache. One per process; UI thread.
#include <QImage>
#include <QPainter>
#include <QRect>
#include <map>
#include <memory>
#include <shared_mutex>
#include <string>
#include <unordered_map>

namespace ui {

// Lets a window replace a control's text before it is shown. Returning
// nullptr means "no replacement".
class IQueryControlText {
  public:
    virtual ~IQueryControlText() = default;
    virtual const char* QueryControlText(const char* key, const char* type) = 0;
};

class CResourceManager {
  public:
    static CResourceManager& Instance();

    // The program folder (ends with "/"), the default-data folder hangs off it.
    void SetInstancePath(std::string folder);
    const std::string& GetInstancePath() const { return instancePath_; }
    // The folder of skins and images (ends with "/").
    void SetResourcePath(std::string folder);
    const std::string& GetResourcePath() const { return resourcePath_; }

    // Loads the resource index (res.xml in the resource folder by default).
    bool LoadResource(const std::string& indexFile = "res.xml");
    void Release();
    // The file of an index entry ("XML_MAIN"); empty when unknown.
    std::string GetEntry(const std::string& name) const;
    // An index entry or a skin file name (either separator) to a full path.
    std::string ResolveSkinPath(const std::string& nameOrFile) const;
    // The image file of an icon id from the index; empty when unknown.
    std::string GetIconFile(int id) const;

    // Language texts: a file of <Text key="..">text</Text> entries. Loading
    // replaces the table. Relative names are looked up in the resource folder.
    bool LoadLanguage(const std::string& file);
    void SetLanguage(std::string name) { language_ = std::move(name); }
    const std::string& GetLanguage() const { return language_; }
    // The translation of key, or key itself when the table has none.
    std::string GetText(const std::string& key) const;
    bool HasText(const std::string& key) const;
    void SetTextQuery(IQueryControlText* query) { query_ = query; }
    IQueryControlText* GetTextQuery() const { return query_; }
    // Every control that shows a language key picks up the current table.
    void ReloadText();

    // Image cache: null when the file cannot be loaded (cached as such).
    const QImage* GetImage(const std::string& file);
    void FlushImages() { images_.clear(); }

  private:
    CResourceManager();
    std::string instancePath_;
    std::string resourcePath_;
    std::map<std::string, std::string> entries_;
    std::map<int, std::string> icons_;
    mutable std::shared_mutex textMutex_;
    std::unordered_map<std::string, std::string> texts_;
    std::string language_;
    IQueryControlText* query_ = nullptr;
    std::unordered_map<std::string, std::unique_ptr<QImage>> images_;
};

// Extra arguments of image drawing: tint the picture with colour (low 24
// bits, RGB) at the given strength (0..255) when `tint` is set; without
// `tint` the picture is drawn with `alpha` as its opacity.
struct ImageTint {
    uint32_t color = 0;
    int alpha = 255;
    bool tint = false;
};

// Draws an image string into rc: a plain file name, or keys
// file='..' (or res='..') restype dest='l,t,r,b' source='l,t,r,b'
// corner='l,t,r,b' mask='#AARRGGBB' fade='0..255' hole='true' xtiled='true'
// ytiled='true' hsl='true'. "dest" is relative to rc's top-left, in design
// units (scaled by `scale`), and clipped to rc. Returns false when nothing
// could be drawn (empty string, missing file).
bool DrawImageString(QPainter& p, const QRect& rc, const std::string& image, double scale = 1.0,
                     const ImageTint* tint = nullptr);
// Width and height of an image string's picture (0,0 when missing).
QSize ImageStringSize(const std::string& image);
// The file named by an image string.
std::string ImageStringFile(const std::string& image);

// The colour adjustment applied to painted colours (kept as identity: the
// skins carry their final colours).
inline uint32_t AdjustColor(uint32_t argb) {
    return argb;
}

}  // namespace ui
