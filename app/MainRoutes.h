#pragma once
// Where each control event of the main skin goes: by event type, then by
// exact control name or by the prefix before the last underscore and the
// number after it. Names compare without regard to case. Pure data and
// lookups; the main window runs the handlers.
#include <string_view>
#include <vector>

namespace app {

enum class Route {
    // Frame.
    FirstLayout,
    RelayoutAndDpi,
    HideToTray,
    HideMainWindow,
    ToggleLightControl,
    Minimize,
    Maximize,
    Restore,
    SkinFrame,
    SettingsWindow,
    // Clicks by prefix and number.
    KeySelect,
    ColourPreset,
    AudioColourPreset,
    SystemSettingsPanel,
    DpiStageColour,
    // Features of the device pages and editors.
    DefaultProfile,
    TypingTestReset,
    ProfileList,
    ProfileSwitchTimer,
    KeyEditor,
    KeyComboOwnHandler,
    KeyAssignmentRefresh,
    MacroRecorder,
    MacroEditor,
    FireKeyEditor,
    LightingEditor,
    LightingAudioRecord,
    AudioColours,
    HeadsetEditors,
    DeviceSwitching,
    DeviceSelection,
    PageTabs,
    MusicWindow,
    MouseSettings,
    MouseSettingsDrag,
    PollingRate,
    KeyboardSettings,
    AudioLightLink,
    KeyLightList,
    DemoDevices,
};

struct RouteHit {
    Route route;
    int number = 0;  // the number after the last underscore (prefix routes)
    bool operator==(const RouteHit& o) const { return route == o.route && number == o.number; }
};

struct RouteResult {
    std::vector<RouteHit> hits;
    bool passOn = true;  // then the toolkit's default handling
};

RouteResult RouteEvent(std::string_view type, std::string_view name);

}  // namespace app
