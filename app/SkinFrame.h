#pragma once
// The skin frame: a small pop-up under "skinbtn" that changes the main
// window's background (a picture of the set, a plain colour, a picture file,
// or the default), and the program-wide observer that carries the change.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ui/Observer.h"
#include "ui/Window.h"

namespace app {

struct SkinChangedParam {
    bool isColor = false;  // true: plain colour, false: picture
    uint32_t color = 0;    // ARGB
    std::string image;     // picture file name
};

using SkinObserver = ui::ObserverImpl<int, SkinChangedParam>;
using SkinReceiver = ui::ReceiverImpl<int, SkinChangedParam>;
SkinObserver& GetSkinObserver();

inline constexpr const char* kDefaultBackground = "common/background.png";

// "main.ini" in the settings folder: section "SKINIMAGE", keys "FLAGS" and "IMAGE".
std::string SkinIniPath();
bool WriteSkinChoice(const std::string& flags, const std::string& image);

class CSkinFrame : public ui::WindowImplBase {
  public:
    std::string GetWindowClassName() const override { return "UISkinFrame"; }
    std::string GetSkinFile() override { return "skin.xml"; }
    void Notify(ui::TNotifyUI& msg) override;
    ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l,
                                    bool& handled) override;

    // Opens the frame with its right edge at the button's right edge and its
    // top at the button's bottom. The frame deletes itself when it closes.
    static CSkinFrame* Open(ui::CWindowWnd* owner, ui::CControlUI* button);
    static CSkinFrame* Current();

    // Picks a custom picture; the dialog is replaceable for tests.
    using FileChooser = std::function<std::optional<std::string>(ui::CWindowWnd*)>;
    static void SetFileChooser(FileChooser chooser);

    // Lost the keyboard focus: closes, except while the file dialog is open.
    void OnDeactivated();

  protected:
    void OnFinalMessage() override;

  private:
    void OnFrameClick(ui::CControlUI* sender);
    void SelectPage(int page);
    bool choosing_ = false;
};

}  // namespace app
