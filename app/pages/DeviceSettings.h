#pragma once
// The device settings controls of the pages (DPI stages, polling rate,
// pointer, scroll and double-click, the mouse's sub-tab options, the DPI
// stage colours): the main window hands each of their events here with the
// current device. Each handler updates the page, changes one profile value,
// saves the profile and sends the settings when the value lives in the
// device; pointer, scroll and double-click values stay in the profile.
#include <cstdint>

#include "app/MainRoutes.h"
#include "ui/Control.h"

namespace app {
class CColorSelectWnd;
}

namespace app::pages {

class CTervanicUSBDevice;
class CTervanicMouseDevice;

// current: the device of the selected selector item (nullptr when none).
// True when the event was one of the settings controls. The keyboard's
// controls (repeat delay and rate, the three switch options, its polling
// options) are not handled here yet and return false.
bool HandleDeviceSettings(CTervanicUSBDevice* current, const ui::TNotifyUI& msg,
                          const RouteHit& hit);

// The stage colour flow of "DPI_color_option_" + n: runs the colour picker
// modally from the stage button's colour; an accepted colour goes to the
// button, stage n (the list grows to n + 1 stages), the profile and the
// mouse. Does nothing while a picker is open. Returns the picker's result
// (-1 when none was opened).
int PickStageColour(CTervanicMouseDevice& mouse, int n);
// The accepted colour of stage n (ARGB; the alpha is dropped).
void ApplyStageColour(CTervanicMouseDevice& mouse, int n, uint32_t argb);
// The picker PickStageColour is running, nullptr when none (the main window
// closes it with its other dialogs).
CColorSelectWnd* OpenStageColourPicker();

}  // namespace app::pages
