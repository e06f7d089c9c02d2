#pragma once
// CZe6533Profiledata: the headset's settings words, equaliser presets and
// custom equalisers on top of the shared profile sections.
#include "profiles/BasicProfiledata.h"

namespace profiles {

class CZe6533Profiledata : public CBasicProfiledata {
  public:
    static constexpr int kBands = 10;
    static constexpr int kCustomEqPreset = 13;  // "EqType" of the custom equaliser
    static constexpr int kMaxCustomEqualisers = 20;
    using Bands = std::array<int, kBands>;

    // "SystemSetStages": MagicEnable, MagicType, EqType, CustomEqSeletIndex,
    // MicInSelect, MicInValue, MicMoniterSelect, MicMoniterValue.
    std::array<std::int32_t, 8> GetSystemSetStages();
    void SetSystemSetStages(const std::array<std::int32_t, 8>& values);

    // 0 and numbers above 13 mean preset 1; 13 (custom) is not stored here.
    static int NormalisePreset(int preset);
    // The ten gains of a preset, creating missing elements with 0; empty for 13.
    std::vector<int> GetEQValues(int preset);
    void SetEQValues(int preset, const Bands& values);

    std::vector<std::string> GetCustomEQNames();
    // Replaces the whole list (at most kMaxCustomEqualisers names).
    void SetCustomEQNames(const std::vector<std::string>& names);
    // The ten gains of custom equaliser index, creating missing elements with
    // 0; an index outside 0..kMaxCustomEqualisers-1 reads as zeros and
    // creates nothing.
    std::vector<int> GetCustomEQValues(int index);
    void SetCustomEQValues(int index, const Bands& values);

  private:
    std::array<std::int32_t, 8> systemSetStages_{};
    std::vector<int> values_;
};

}  // namespace profiles
