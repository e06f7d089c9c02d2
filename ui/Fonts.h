#pragma once
// The font table shared by every window: skins and code refer to fonts by id,
// -1 (or an unknown id) is the default font. Sizes are pixel heights at 96 DPI;
// each window scales them by its own DPI.
#include <QFont>
#include <map>
#include <string>
#include <vector>

namespace ui {

struct FontSpec {
    std::string face;
    int size = 14;
    bool bold = false;
    bool underline = false;
    bool italic = false;
};

class CFontTable {
  public:
    static CFontTable& Instance();

    void SetDefaultFont(const FontSpec& spec) {
        default_ = spec;
        Invalidate();
    }
    const FontSpec& GetDefaultFont() const { return default_; }
    void AddFont(int id, const FontSpec& spec) {
        fonts_[id] = spec;
        Invalidate();
    }
    void RemoveAllFonts() {
        fonts_.clear();
        Invalidate();
    }
    // Forgets the resolved families and built fonts (after fonts were loaded).
    void Invalidate() {
        built_.clear();
        families_.clear();
    }
    bool HasFont(int id) const { return fonts_.count(id) != 0; }
    const FontSpec& Get(int id) const;
    // The Qt font for an id at a DPI (96 = design size).
    QFont GetFont(int id, int dpi) const;

    // Fills the table with the program's standard ids and sizes in one face.
    void LoadStandardTable(const std::string& face);

    // Maps a face name to the closest installed family ("Noto Sans CJK TC
    // Regular" finds "Noto Sans CJK TC"); empty when none resembles it.
    std::string ResolveFamily(const std::string& face) const;

  private:
    FontSpec default_{"", 14};
    std::map<int, FontSpec> fonts_;
    mutable std::map<std::pair<int, int>, QFont> built_;
    mutable std::map<std::string, std::string> families_;
};

// Fonts loaded from files for this process only. Load returns false for a
// missing or unusable file; Unload removes them in reverse load order.
class CPrivateFonts {
  public:
    bool Load(const std::string& path);
    void UnloadAll();
    size_t Count() const { return ids_.size(); }
    ~CPrivateFonts() { UnloadAll(); }

  private:
    std::vector<int> ids_;
};

}  // namespace ui
