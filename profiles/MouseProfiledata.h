#pragma once
// CMouseProfiledata: the mouse's DPI stages, pointer and polling words and
// motion-correction presets on top of the shared profile sections.
#include "profiles/BasicProfiledata.h"

namespace profiles {

class CMouseProfiledata : public CBasicProfiledata {
  public:
    // "DPIStages"/"StageDPIs". A read overwrites the kept list element by
    // element and appends; stages beyond the file's count keep their values.
    std::vector<DPIStage> GetDPIStages();
    // Keeps the list and writes one stage object per element.
    void SetDPIStages(const std::vector<DPIStage>& stages);
    int GetActiveStage();
    void SetActiveStage(int stage);

    // "SystemStages" (mouse layout) with "ReportStages"/"StageActive" in the
    // high half of word 2.
    std::array<std::uint32_t, 3> GetSystemStages();
    void SetSystemStages(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2);

    std::vector<CorrectPreset> GetCorrectInfo();

  private:
    std::vector<DPIStage> stages_;
    int activeStage_ = 0;
    std::array<std::uint32_t, 3> systemStages_{};
    std::vector<CorrectPreset> correctPresets_;
};

}  // namespace profiles
