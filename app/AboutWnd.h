#pragma once
// The about window: the application version.
#include "ui/Window.h"

namespace app {

class CAboutWnd : public ui::WindowImplBase {
  public:
    std::string GetWindowClassName() const override { return "AboutWnd"; }
    std::string GetSkinFile() override { return "AboutWnd.xml"; }
    void InitWindow() override;
    void Notify(ui::TNotifyUI& msg) override;
    ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l,
                                    bool& handled) override;
    // "software_rev_text" in the current language followed by the version.
    void ShowVersion();
};

// The versionText of the application row of the update catalogue.
std::string ApplicationVersionText();

}  // namespace app
