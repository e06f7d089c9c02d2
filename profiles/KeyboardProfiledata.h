#pragma once
// CKeyboardProfiledata: the keyboard's system words and per-key custom
// lighting groups on top of the shared profile sections.
#include "profiles/BasicProfiledata.h"

namespace profiles {

class CKeyboardProfiledata : public CBasicProfiledata {
  public:
    // Custom lighting groups and colours per group that the profile may hold:
    // a group or count taken from a file or a device never grows the tree
    // beyond these.
    static constexpr int kMaxCustomGroups = 8;
    static constexpr int kMaxCustomColors = 170;

    // "SystemStages" (keyboard layout): Repeat | RepeatDelay << 16,
    // Key6Flag | PollingRate << 16, WFlag | WinFlag << 16.
    std::array<std::uint32_t, 3> GetSystemStages();
    void SetSystemStages(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2);

    // count colours of group; missing elements are created as {0,0,0,0} in the
    // active root. A group outside 0..kMaxCustomGroups-1 reads as zeros and
    // creates nothing; count is capped at kMaxCustomColors.
    std::vector<CustomLightColor> GetCustomLightColors(int group, int count);
    // Writes element [group][k] for every colour given (up to the caps).
    void SetCustomLightColors(const std::vector<CustomLightColor>& colors, int group);
    int GetCustomLightModeGroupIndex();
    void SetCustomLightModeGroupIndex(int index);

  private:
    std::array<std::uint32_t, 3> systemStages_{};
    std::vector<CustomLightColor> customColors_;
    int customGroupIndex_ = 0;
};

}  // namespace profiles
