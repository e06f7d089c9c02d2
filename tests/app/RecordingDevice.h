#pragma once
// A device stand-in for the shell tests: records what the main window passes
// on to its device objects.
#include "app/ShellDevice.h"

namespace apptest {

class RecordingDevice : public app::IShellDevice {
  public:
    void SetHoverFlag(int h) override { hover = h; }
    void SetLightControlStatus(int s) override { status = s; }
    void SetHiddenPause(bool p) override { paused = p; }
    void ReloadTexts() override { ++reloads; }
    void BeginGameLight(int mode) override { gameMode = mode; }
    void EndGameLight() override {
        gameMode = -1;
        ++restored;
    }
    int hover = 0, status = 1, reloads = 0, gameMode = -1, restored = 0;
    bool paused = false;
};

}  // namespace apptest
