#pragma once
// The user-interface language: the list in "Language.config" (default data
// folder), the stored choice (registry value "LANGUAGE"), the font face per
// language and switching the texts of every window.
#include <string>
#include <vector>

namespace app {

struct LanguageEntry {
    std::string name;  // "Language_name", given to the toolkit
    std::string file;  // "Language_file", the text file in the skin folder
    int id = 0;        // "Language_ID", the stored value
    std::string text;  // "Language_text", shown in the settings window
};

// The "Language" array; empty when the file is missing or unreadable.
std::vector<LanguageEntry> ReadLanguageConfig();
std::string LanguageConfigPath();

// The index to start with: the element whose id is the stored value, else 0.
int ReadLanguageIndex();
// Writes the registry value; true on success (trace line "写成功！").
bool SaveLanguageId(int id);

// The face for a language index ("Gravelin" for the indexes without their own).
std::string FontFaceFor(int index);

class CLanguage {
  public:
    // Switches face, texts and the stored choice. False when index is
    // already current (nothing done).
    bool ApplyLanguage(int index);
    int CurrentIndex() const { return current_; }
    const std::string& CurrentFace() const { return face_; }
    // How many times the font table was rebuilt (a face change).
    int FontRebuilds() const { return fontRebuilds_; }

  private:
    void ApplyFace(int index);
    int current_ = -1;
    std::string face_;
    int fontRebuilds_ = 0;
};

}  // namespace app
