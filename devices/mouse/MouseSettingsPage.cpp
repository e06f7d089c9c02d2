#include "devices/mouse/MouseSettingsPage.h"

#include <algorithm>

namespace devices::mouse {
namespace {

void PutWord(uint8_t* at, uint16_t v) {
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
}

// The first preset whose "CorrectSelect" is set; none gives zeros.
profiles::CorrectPreset SelectedCorrection(const std::vector<profiles::CorrectPreset>& presets) {
    const auto it = std::find_if(presets.begin(), presets.end(),
                                 [](const profiles::CorrectPreset& p) { return p.select != 0; });
    return it != presets.end() ? *it : profiles::CorrectPreset{};
}

}  // namespace

profiles::DPIStage MouseSettingsPage::Stage(size_t i) const {
    if (i >= kStageCount) return {};
    const uint8_t* s = &bytes[kStageBase + kStageSize * i];
    profiles::DPIStage stage;
    stage.stageActive = s[0];
    stage.stageXY = s[1];
    stage.stageDPIX = static_cast<uint16_t>(s[2] | (s[3] << 8));
    stage.stageDPIY = static_cast<uint16_t>(s[4] | (s[5] << 8));
    stage.red = s[6];
    stage.green = s[7];
    stage.blue = s[8];
    return stage;
}

void MouseSettingsPage::SetStage(size_t i, const profiles::DPIStage& stage) {
    if (i >= kStageCount) return;
    uint8_t* s = &bytes[kStageBase + kStageSize * i];
    s[0] = stage.stageActive;
    s[1] = stage.stageXY;
    PutWord(s + 2, stage.stageDPIX);
    PutWord(s + 4, stage.stageDPIY);
    s[6] = stage.red;
    s[7] = stage.green;
    s[8] = stage.blue;
}

int ModeCodeForIndex(const profiles::ConfigLists& lists, int modeIndex) {
    if (modeIndex >= kBuiltInModeCount || modeIndex < 0) modeIndex = 0;
    const int code = lists.ModeCode(modeIndex);
    return code >= 0 ? code : modeIndex;
}

int ModeIndexForCode(const profiles::ConfigLists& lists, int code) {
    const int index = lists.ModeIndexOf(code);
    return index >= 0 ? index : code;
}

MouseSettingsPage BuildSettingsPage(const MouseSettingsSource& src,
                                    const profiles::ConfigLists& lists) {
    MouseSettingsPage page;
    auto& b = page.bytes;
    b[0] = src.byte0;
    b[1] = static_cast<uint8_t>(ModeCodeForIndex(lists, src.light.selectItem));
    b[2] = src.light.light;
    b[3] = static_cast<uint8_t>(4 - std::min<int>(src.light.speed, 4));
    b[4] = src.light.fx;
    b[5] = src.light.multiColor;
    b[6] = src.light.red;
    b[7] = src.light.green;
    b[8] = src.light.blue;
    b[11] = src.pollingIndex;
    b[12] = src.activeStage;
    const size_t stages = std::min(src.stages.size(), MouseSettingsPage::kStageCount);
    for (size_t i = 0; i < stages; ++i)
        page.SetStage(i, src.stages[i]);
    b[59] = src.byte59;
    PutWord(&b[60], src.screenWidth);
    PutWord(&b[62], src.screenHeight);
    const profiles::CorrectPreset correction = SelectedCorrection(src.corrections);
    b[64] = correction.minSq;
    b[65] = correction.pixThresh;
    return page;
}

}  // namespace devices::mouse
