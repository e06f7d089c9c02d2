#pragma once
// The settings window: the language list and the update list (the update
// entries and their worker come with the update service).
#include <vector>

#include "app/Language.h"
#include "ui/Window.h"

namespace app {

class CSetWnd : public ui::WindowImplBase {
  public:
    static constexpr int kWidth = 630;
    static constexpr int kHeight = 500;

    std::string GetWindowClassName() const override { return "SetWnd"; }
    std::string GetSkinFile() override { return "setwnd.xml"; }
    void InitWindow() override;
    void Notify(ui::TNotifyUI& msg) override;
    ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l,
                                    bool& handled) override;

    void SetDpi(int dpi);
    int GetDpi() const { return dpi_; }
    // The main window and the current language; fills the language list.
    void SetMainWindow(ui::CWindowWnd* main, int languageIndex);
    int LanguageIndex() const { return languageIndex_; }

  private:
    void FillLanguageList();
    ui::CWindowWnd* main_ = nullptr;
    int languageIndex_ = -1;
    int dpi_ = 96;
    bool filling_ = false;
};

}  // namespace app
