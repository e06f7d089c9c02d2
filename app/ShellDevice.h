#pragma once
// What the shell asks of a device object (the device pages implement it):
// the hover and light-control flags, the hidden-window pause of the power
// polling, text reloads after a language change and the game-event light.
namespace app {

class IShellDevice {
  public:
    virtual ~IShellDevice() = default;
    virtual void SetHoverFlag(int hover) = 0;
    virtual void SetLightControlStatus(int status) = 0;
    virtual void SetHiddenPause(bool paused) = 0;
    virtual void ReloadTexts() = 0;
    // Leaves synchronised lighting and shows the light mode a game asked for.
    virtual void BeginGameLight(int mode) = 0;
    // Back to the device's normal light state.
    virtual void EndGameLight() = 0;
};

}  // namespace app
