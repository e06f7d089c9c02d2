#pragma once
// Game-event lighting: a game message (wParam 0, 1 or 2) gives the selected
// device the light mode in lParam; 5 s after the last game message the
// devices that took the game light return to their normal light state, even
// when another device is selected by then.
#include <vector>

#include "app/ShellDevice.h"
#include "ui/Messages.h"

namespace app {

constexpr unsigned kGameLightTimerId = 1066;
constexpr unsigned kGameLightTimeoutMs = 5000;

class CGameLight {
  public:
    // Every game message restarts the timer; the caller does that.
    void OnGameMessage(ui::WPARAM wParam, ui::LPARAM lParam, IShellDevice* selected);
    // Timer 1066 fired.
    void OnTimer();
    bool IsHeld(const IShellDevice* device) const;
    void Forget(const IShellDevice* device);

  private:
    std::vector<IShellDevice*> holders_;
};

}  // namespace app
