#pragma once
// The message box every editor uses for questions and notices.
#include <memory>
#include <string>

#include "ui/Window.h"

namespace app {

class CMsgWnd : public ui::WindowImplBase {
  public:
    std::string GetWindowClassName() const override { return "MsgWnd"; }
    std::string GetSkinFile() override { return "XML_MSG"; }
    void Notify(ui::TNotifyUI& msg) override;
    ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l,
                                    bool& handled) override;

    // Sets the window DPI (invalid values become 96); an unchanged value does nothing.
    void SetDpi(int dpi);
    int GetDpi() const { return dpi_; }

  private:
    int dpi_ = 96;
};

// Buttons: 0 a notice (confirm only), 1 a question (cancel and confirm).
constexpr int kMsgButtonsNotice = 0;
constexpr int kMsgButtonsQuestion = 1;

// Builds the box without running it (tests look at it before it runs).
std::unique_ptr<CMsgWnd> CreateMessageBox(ui::CWindowWnd* parent, const std::string& title,
                                          const std::string& text, int dpi, bool textIsResource,
                                          int buttons);
// Shows the box modally; 1 when the user confirms, 0 otherwise.
int ShowMessageBox(ui::CWindowWnd* parent, const std::string& title, const std::string& text,
                   int dpi, bool textIsResource, int buttons);

}  // namespace app
