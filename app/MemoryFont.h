#pragma once
// One private font, loaded from a file relative to the program folder for
// this process only.
#include <string>

namespace app {

class CMemoryFont {
  public:
    CMemoryFont();
    ~CMemoryFont() { Unload(); }
    CMemoryFont(const CMemoryFont&) = delete;
    CMemoryFont& operator=(const CMemoryFont&) = delete;

    // False for a missing, unreadable or refused file (start-up goes on).
    bool Load(const std::string& relativePath);
    void Unload();
    bool IsLoaded() const { return id_ >= 0; }

  private:
    std::string folder_;
    int id_ = -1;
};

// The font files in load order.
inline constexpr const char* kFontFiles[4] = {
    "Font/Simplified_Chinese.ttf", "Font/Gravelin-Regular.otf", "Font/NotoSansThai-Regular.ttf",
    "Font/NotoSansCJKtc-Regular.otf"};

}  // namespace app
