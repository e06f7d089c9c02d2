#include "profiles/MouseProfiledata.h"

#include "profiles/FieldTables.h"
#include "profiles/JsonAccess.h"

namespace profiles {
namespace {

constexpr HalfField kMouseSystemFields[] = {
    {"DoubleClickTime", 0, 0}, {"MouseSpeed", 0, 16},      {"PointerPrecision", 1, 0},
    {"ScorllPage", 1, 16},     {"WheelScorlllinse", 2, 0},
};
constexpr HalfField kReportFields[] = {{"StageActive", 2, 16}};

DPIStage StageOf(const Json::Value& obj) {
    DPIStage s;
    s.stageActive = json::ByteMember(obj, "StageActive");
    s.stageXY = json::ByteMember(obj, "StageXY");
    s.stageDPIX = json::WordMember(obj, "StageDPIX");
    s.stageDPIY = json::WordMember(obj, "StageDPIY");
    s.red = json::ByteMember(obj, "StageColorR");
    s.green = json::ByteMember(obj, "StageColorG");
    s.blue = json::ByteMember(obj, "StageColorB");
    return s;
}

Json::Value StageValue(const DPIStage& s) {
    Json::Value obj(Json::objectValue);
    obj["StageActive"] = json::IntValue(s.stageActive);
    obj["StageXY"] = json::IntValue(s.stageXY);
    obj["StageDPIX"] = json::IntValue(s.stageDPIX);
    obj["StageDPIY"] = json::IntValue(s.stageDPIY);
    obj["StageColorR"] = json::IntValue(s.red);
    obj["StageColorG"] = json::IntValue(s.green);
    obj["StageColorB"] = json::IntValue(s.blue);
    return obj;
}

}  // namespace

std::vector<DPIStage> CMouseProfiledata::GetDPIStages() {
    const Json::Value& list = json::Member(json::Member(GetActiveRoot(), "DPIStages"), "StageDPIs");
    for (Json::ArrayIndex i = 0; i < json::Size(list); ++i) {
        if (i < stages_.size()) {
            stages_[i] = StageOf(list[i]);
        } else {
            stages_.push_back(StageOf(list[i]));
        }
    }
    return stages_;
}

void CMouseProfiledata::SetDPIStages(const std::vector<DPIStage>& stages) {
    stages_ = stages;
    Json::Value list(Json::arrayValue);
    for (const DPIStage& s : stages)
        list.append(StageValue(s));
    json::ObjectMember(json::ObjectMember(MutableRoot(), "DPIStages"), "StageDPIs") = list;
}

int CMouseProfiledata::GetActiveStage() {
    activeStage_ = static_cast<int>(
        json::IntMember(json::Member(GetActiveRoot(), "DPIStages"), "StageActive"));
    return activeStage_;
}

void CMouseProfiledata::SetActiveStage(int stage) {
    activeStage_ = stage;
    json::ObjectMember(json::ObjectMember(MutableRoot(), "DPIStages"), "StageActive") =
        json::IntValue(stage);
}

std::array<std::uint32_t, 3> CMouseProfiledata::GetSystemStages() {
    systemStages_ = {};
    const Json::Value& system = json::Member(GetActiveRoot(), "SystemStages");
    if (system.isObject()) {
        ReadHalfFields(system, kMouseSystemFields, systemStages_);
        ReadHalfFields(json::Member(GetActiveRoot(), "ReportStages"), kReportFields, systemStages_);
    }
    return systemStages_;
}

void CMouseProfiledata::SetSystemStages(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2) {
    systemStages_ = {w0, w1, w2};
    Json::Value& root = MutableRoot();
    WriteHalfFields(json::ObjectMember(root, "SystemStages"), kMouseSystemFields, systemStages_);
    WriteHalfFields(json::ObjectMember(root, "ReportStages"), kReportFields, systemStages_);
}

std::vector<CorrectPreset> CMouseProfiledata::GetCorrectInfo() {
    const Json::Value& list = json::Member(GetActiveRoot(), "CorrectInfo");
    correctPresets_.clear();
    for (Json::ArrayIndex i = 0; i < json::Size(list); ++i) {
        const Json::Value& e = list[i];
        correctPresets_.push_back(
            {json::ByteMember(e, "CorrectPixThresh"), json::ByteMember(e, "CorrectMinSq"),
             json::ByteMember(e, "CorrectSelect"), json::String(json::Member(e, "CorrectName"))});
    }
    return correctPresets_;
}

}  // namespace profiles
