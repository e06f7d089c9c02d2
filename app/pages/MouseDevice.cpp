#include "app/pages/MouseDevice.h"

#include <chrono>
#include <filesystem>

#include "app/pages/MouseKeyNames.h"
#include "devices/mouse/MouseKeys.h"
#include "editors/CustomControls.h"
#include "profiles/AppFolders.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/InputControls.h"
#include "ui/PaintManager.h"
#include "ui/Text.h"

namespace app::pages {

namespace {

constexpr const char* kActiveThumb = "Control/SliderBar1_Thumb.png";
constexpr const char* kOtherThumb = "Control/SliderBar2_Thumb.png";
constexpr int kInfoRowHeight = 25;
constexpr int kInfoTitleWidth = 200;
constexpr int kInfoTextWidth = 180;
constexpr uint32_t kInfoTitleColour = 0xFFFFFFFF;
constexpr uint32_t kInfoTextColour = 0xFF0099FF;
constexpr int kBuiltInModes = 12;

// Mode indices with a mouse preview step of their own.
constexpr int kModeWave = 0;
constexpr int kModeFlow = 5;
constexpr int kModeReactive = 6;

std::string Numbered(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

uint16_t Low(uint32_t w) {
    return uint16_t(w & 0xFFFF);
}
uint16_t High(uint32_t w) {
    return uint16_t(w >> 16);
}

devices::LightState ToLightState(const profiles::LightInfo& li) {
    devices::LightState s;
    s.mode = li.selectItem;
    s.brightness = li.light;
    s.speed = li.speed;
    s.direction = li.fx;
    s.multiColour = li.multiColor != 0;
    s.red = li.red;
    s.green = li.green;
    s.blue = li.blue;
    return s;
}

// The selected entry of the device folder's profile list; empty when none.
std::string SelectedProfileName(const std::string& folder) {
    namespace json = profiles::json;
    const Json::Value list = profiles::CJsonFile().ReadJsonFile(folder + "ProfileList.ini");
    const Json::Value& entries = json::Member(list, "profilelist");
    const std::int64_t selected = json::IntMember(list, "profileselect");
    if (selected < 0 || selected >= std::int64_t(json::Size(entries))) return {};
    return json::String(json::Member(entries[Json::ArrayIndex(selected)], "profileUUID"));
}

}  // namespace

CTervanicMouseDevice::CTervanicMouseDevice()
    : CTervanicUSBDevice(hid::kKindMouse), mousePreview_(LightCount()) {}

CTervanicMouseDevice::~CTervanicMouseDevice() {
    StopThreads();
}

void* CTervanicMouseDevice::GetInterface(std::string_view name) {
    if (ui::EqualsNoCase(name, "TervanicMouseDevice")) return this;
    return CTervanicUSBDevice::GetInterface(name);
}

ui::CControlUI* CTervanicMouseDevice::Find(const std::string& name) const {
    return ui::CPaintManagerUI::FindSubControlByName(const_cast<CTervanicMouseDevice*>(this), name);
}

template <class T>
T* CTervanicMouseDevice::FindAs(const std::string& name, const char* iface) const {
    ui::CControlUI* c = Find(name);
    return c ? static_cast<T*>(c->GetInterface(iface)) : nullptr;
}

std::string CTervanicMouseDevice::Text(const std::string& key) const {
    ui::CControlUI* probe = Find("text_test");
    if (!probe) return key;
    probe->SetResourceText(true);
    probe->SetText(key);
    return probe->GetText();
}

// ---- set-up and profile -----------------------------------------------------

void CTervanicMouseDevice::Setup(const DevicePageSetup& setup) {
    CTervanicUSBDevice::Setup(setup);
    std::error_code ec;
    std::filesystem::create_directories(DeviceFolder(), ec);
    const std::string defaults = profiles::GetDefaultDataFolder();
    profile_.SetDefaultProfilePath(defaults + setup.deviceName + ".Json");
    if (!setup.lightConfigName.empty())
        profile_.SetLightConfigPath(DeviceFolder() + setup.lightConfigName);
    if (profileName_.empty()) {
        profileName_ = SelectedProfileName(DeviceFolder());
        if (profileName_.empty()) profileName_ = kDefaultProfileName;
    }
    // The screen the settings page carries, taken once like the window's.
    const QRect screen = ui::GetMonitorRect({0, 0});
    screenW_ = uint16_t(std::clamp(screen.width(), 0, 0xFFFF));
    screenH_ = uint16_t(std::clamp(screen.height(), 0, 0xFFFF));
    engine_ = std::make_unique<devices::mouse::CMouseEngine>(
        Command(), profile_, devices::mouse::MouseEngineFolders{DeviceFolder(), defaults});
    engine_->SetScreenSize(screenW_, screenH_);
    engine_->LoadConfigLists();
}

void CTervanicMouseDevice::SetProfileName(const std::string& name) {
    if (!name.empty()) profileName_ = name;
}

std::string CTervanicMouseDevice::ProfilePath() const {
    return DeviceFolder() + profileName_ + ".Json";
}

void CTervanicMouseDevice::LoadProfile() {
    profile_.SetProfilePath(ProfilePath());
    profile_.LoadProfile(ProfilePath());
}

bool CTervanicMouseDevice::SaveProfile() {
    return profile_.Save();
}

int CTervanicMouseDevice::SendSettings() {
    return engine_ ? engine_->WriteSettings(0, 0, 1, screenW_, screenH_) : 0;
}

bool CTervanicMouseDevice::DropStaleMacroAssignments() {
    if (!engine_ || !engine_->DropStaleMacroAssignments()) return false;
    RefreshPage();
    return true;
}

bool CTervanicMouseDevice::LoadDefaultProfile() {
    if (!engine_ || !engine_->LoadDefaultProfile()) return false;
    ApplyProfileToPage();
    RefreshPage();
    return true;
}

devices::mouse::MouseApplyResults CTervanicMouseDevice::ApplyWholeProfile() {
    if (!engine_) return {};
    ApplyProfileToPage();
    return engine_->ApplyWholeProfile([this] { RefreshPage(); });
}

int CTervanicMouseDevice::StepsToDpi(int steps) const {
    return engine_ ? engine_->Dpi().StepsToDpi(steps) : steps;
}

int CTervanicMouseDevice::TypedDpiToSteps(const std::string& text) const {
    return engine_ ? engine_->Dpi().DpiToSteps(std::string_view(text)) : 0;
}

// ---- page binding ---------------------------------------------------------------

void CTervanicMouseDevice::BindPageButtons() {
    CTervanicUSBDevice::BindPageButtons();
    InitMousePage();
}

void CTervanicMouseDevice::InitMousePage() {
    settingLayout_ = Find("mouse_device_seting_layout");
    logo_ = Find("logo");
    if (auto* first = FindAs<ui::COptionUI>("mouse_device_seting_option_0", "Option"))
        first->Selected(true, false);
    if (auto* tab = dynamic_cast<ui::CTabLayoutUI*>(settingLayout_)) tab->SelectItem(0, false);
}

void CTervanicMouseDevice::SetFunctionMode(int mode) {
    CTervanicUSBDevice::SetFunctionMode(mode);
    if (ui::CControlUI* tip = Find("device_tishi_info")) tip->SetVisible(false);
}

// ---- device operations ------------------------------------------------------------

void CTervanicMouseDevice::ReadDevice() {
    if (!engine_) return;
    if (IsOpen()) engine_->ReadStartup();
    ApplyProfileToPage();
    if (IsOpen()) engine_->ReloadSettings();
    LoadLightState();
    RefreshPage();
    StartLightThread();
}

void CTervanicMouseDevice::ReloadSettings() {
    if (!engine_) return;
    if (engine_->ReloadSettings() == 1) LoadLightState();
    RefreshPage();
}

bool CTervanicMouseDevice::IsReceiverLinkUp() {
    return IsOpen() && OnReceiver() && Command().IsLinkUp();
}

void CTervanicMouseDevice::ProfileSwitched(int profile, int dpiStage) {
    if (!engine_) return;
    const bool withStage = dpiStage >= 0;
    const uint16_t value = uint16_t((withStage ? 0x1100 : 0x1000) | (profile & 0x0F) |
                                    (withStage ? (dpiStage & 0x0F) << 4 : 0));
    engine_->OnDeviceEvent(value);
    if (withStage && dpiStage < kStageCount) {
        profile_.SetActiveStage(dpiStage);
        SaveProfile();
    }
    RefreshPage();
}

// ---- profile to page --------------------------------------------------------------

void CTervanicMouseDevice::ApplyProfileToPage() {
    LoadProfile();
    ShowKeyList();
    LoadLightState();
    ShowDpiStages();
    ShowSystemValues();
}

void CTervanicMouseDevice::LoadLightState() {
    const profiles::LightInfo info = profile_.GetLightInfo();
    const devices::LightState state = ToLightState(info);
    if (state.mode != GetLightState().mode) WithPreview([this](auto&) { mousePreview_.Reset(); });
    SetLightState(state);
    if (engine_) engine_->SetLightState(info);
}

void CTervanicMouseDevice::ShowKeyList() {
    const std::vector<profiles::KeyRecord> list = profile_.GetKeyList();
    const auto& buttons = KeyButtons();
    for (size_t i = 0; i < buttons.size() && i < list.size(); ++i)
        if (buttons[i]) buttons[i]->SetKeySetImageHidden(list[i].IsDefault() ? 1 : 0);
}

void CTervanicMouseDevice::RefreshPage() {
    if (engine_) engine_->LoadConfigLists();
    ShowKeyList();
    RefreshKeyCaptions();
    RefreshLightButtons();
    ShowDpiRanges();
    ShowDpiStages();
    ShowSystemValues();
}

void CTervanicMouseDevice::ShowDpiRanges() {
    if (!engine_ || engine_->Dpi().SliderMax() <= 0) return;
    const devices::mouse::CMouseDpiRules& dpi = engine_->Dpi();
    // The edits reach the highest DPI a slider shows (with the two-slope rule
    // that is above slider maximum × step).
    const int editMax = std::max(dpi.EditMax(), dpi.StepsToDpi(dpi.SliderMax()));
    for (int n = 0; n < kStageCount; ++n) {
        if (auto* s = FindAs<ui::CSliderUI>(Numbered("DPI_slider_", n), "Slider")) {
            s->SetMinValue(0);
            s->SetMaxValue(dpi.SliderMax());
        }
        if (auto* e = FindAs<ui::CEditUI>(Numbered("DPI_edit_", n), "Edit"))
            e->SetValueRange(0, editMax);
    }
}

void CTervanicMouseDevice::ShowDpiStages() {
    const std::vector<profiles::DPIStage> stages = GetDPIStages();
    for (int n = 0; n < kStageCount; ++n) {
        const bool on = size_t(n) < stages.size() && stages[size_t(n)].stageActive != 0;
        if (auto* check = FindAs<ui::CCheckBoxUI>(Numbered("DPI_enable_check_", n), "CheckBox"))
            check->SetCheck(on, false);
        if (ui::CControlUI* row = Find(Numbered("DPI_layout_", n))) row->SetEnabled(on);
        if (auto* colour = Find(Numbered("DPI_color_option_", n));
            colour && size_t(n) < stages.size()) {
            const profiles::DPIStage& s = stages[size_t(n)];
            colour->SetBkColor(0xFF000000u | uint32_t(s.red) << 16 | uint32_t(s.green) << 8 |
                               s.blue);
        }
    }
    for (int n = 0; n < kStageCount; ++n)
        ShowStage(n, size_t(n) < stages.size() ? stages[size_t(n)].stageDPIX : 0);
}

void CTervanicMouseDevice::ShowSystemValues() {
    const std::array<uint32_t, 3> w = GetSystemStages();
    if (auto* s = FindAs<ui::CSliderUI>("pointer_speed_slider", "Slider")) s->SetValue(High(w[0]));
    if (auto* s = FindAs<ui::CSliderUI>("double_click_slider", "Slider")) s->SetValue(Low(w[0]));
    if (auto* c = FindAs<ui::CCheckBoxUI>("pointer_precision_check", "CheckBox"))
        c->SetCheck(Low(w[1]) != 0, false);
    ShowScroll(High(w[1]), Low(w[2]));
    ShowPolling(High(w[2]));
}

// ---- page operations of the settings controls ----------------------------------------

namespace {

// How many of the five enable checks are selected.
int SelectedChecks(const std::function<ui::CCheckBoxUI*(int)>& check) {
    int selected = 0;
    for (int i = 0; i < CTervanicMouseDevice::kStageCount; ++i)
        if (ui::CCheckBoxUI* c = check(i); c && c->GetCheck()) ++selected;
    return selected;
}

}  // namespace

void CTervanicMouseDevice::ShowStage(int n, int steps) {
    const bool active = n == profile_.GetActiveStage();
    if (auto* s = FindAs<ui::CSliderUI>(Numbered("DPI_slider_", n), "Slider")) {
        s->SetValue(steps);
        s->SetThumbImage(active ? kActiveThumb : kOtherThumb);
    }
    if (auto* e = FindAs<ui::CEditUI>(Numbered("DPI_edit_", n), "Edit"))
        e->SetText(std::to_string(StepsToDpi(steps)));
    auto check = [this](int i) {
        return FindAs<ui::CCheckBoxUI>(Numbered("DPI_enable_check_", i), "CheckBox");
    };
    if (ui::CCheckBoxUI* c = check(n)) {
        // The active stage and the last enabled stage cannot be switched off.
        const bool last = c->GetCheck() && SelectedChecks(check) == 1;
        c->SetEnabled(!active && !last);
    }
    if (auto* o = FindAs<ui::COptionUI>(Numbered("DPI_select_check_", n), "Option"))
        o->Selected(active, false);
}

void CTervanicMouseDevice::EnableStage(int n, bool on) {
    if (ui::CControlUI* row = Find(Numbered("DPI_layout_", n))) row->SetEnabled(on);
    auto check = [this](int i) {
        return FindAs<ui::CCheckBoxUI>(Numbered("DPI_enable_check_", i), "CheckBox");
    };
    if (ui::CCheckBoxUI* c = check(n)) c->SetCheck(on, false);
    if (on || SelectedChecks(check) != 1) {
        // A second stage is on again: the checks of the other enabled stages
        // are free, except the active one.
        for (int i = 0; i < kStageCount; ++i)
            if (ui::CCheckBoxUI* c = check(i); c && i != profile_.GetActiveStage())
                c->SetEnabled(true);
        return;
    }
    for (int i = 0; i < kStageCount; ++i)
        if (ui::CCheckBoxUI* c = check(i); c && c->GetCheck()) c->SetEnabled(false);
}

void CTervanicMouseDevice::SelectStage(int n) {
    profile_.SetActiveStage(n);
    for (int i = 0; i < kStageCount; ++i)
        if (auto* o = FindAs<ui::COptionUI>(Numbered("DPI_select_check_", i), "Option"))
            o->Selected(i == n, false);
}

void CTervanicMouseDevice::ShowPolling(int n) {
    if (n < 0 || n >= kPollingOptions) n = 0;
    for (int i = 0; i < kPollingOptions; ++i)
        if (auto* o = FindAs<ui::COptionUI>(Numbered("polling_rate_option_", i), "Option"))
            o->Selected(i == n, false);
}

void CTervanicMouseDevice::ShowScroll(int page, int lines) {
    if (auto* c = FindAs<ui::CCheckBoxUI>("scrolls_page_check", "CheckBox"))
        c->SetCheck(page != 0, false);
    if (auto* s = FindAs<ui::CSliderUI>("scroll_speed_slider", "Slider")) s->SetValue(lines);
}

// ---- key captions and the key information list ------------------------------------

std::string CTervanicMouseDevice::AssignmentCaption(uint8_t type, uint8_t p1, uint8_t p2) {
    static const std::vector<std::string> kNoMacros;
    const AssignmentName name =
        MouseAssignmentName(type, p1, p2, engine_ ? engine_->Lists().macroNames : kNoMacros);
    switch (name.kind) {
        case AssignmentName::kLanguageKey:
            return Text(name.text);
        case AssignmentName::kLiteral:
            return name.text;
        default:
            return {};
    }
}

void CTervanicMouseDevice::RefreshKeyCaptions() {
    const std::vector<profiles::KeyRecord> list = profile_.GetKeyList();
    const auto& positions = devices::mouse::MouseKeyPositions();
    const auto& buttons = KeyButtons();
    for (size_t i = 0; i < positions.size() && i < buttons.size(); ++i) {
        editors::CDeviceKeyButtonUI* button = buttons[i];
        if (!button) continue;
        button->SetToolTipTitle(Text(positions[i].controlName));
        if (i < list.size()) {
            const std::string name = AssignmentCaption(list[i].type, list[i].data1, list[i].data2);
            if (!name.empty()) button->SetToolTip(name);
        }
        RefreshKeyInfoRow(i, button);
    }
    RefreshLogoTip();
}

void CTervanicMouseDevice::RefreshKeyInfoRow(size_t position, ui::CControlUI* button) {
    auto* list = FindAs<ui::CContainerUI>("device_setkeyinfo_list", "Container");
    if (!list) return;
    const std::string rowName = "device_setkeyinfo_row_" + std::to_string(position);
    auto* row = dynamic_cast<ui::CHorizontalLayoutUI*>(
        ui::CPaintManagerUI::FindSubControlByName(list, rowName));
    if (!row) {
        row = new ui::CHorizontalLayoutUI;
        row->SetName(rowName);
        row->SetFixedHeight(kInfoRowHeight);
        auto* title = new ui::CLabelUI;
        title->SetFixedWidth(kInfoTitleWidth);
        title->SetTextColor(kInfoTitleColour);
        auto* text = new ui::CLabelUI;
        text->SetFixedWidth(kInfoTextWidth);
        text->SetTextColor(kInfoTextColour);
        text->SetTextStyle(text->GetTextStyle() | ui::DT_END_ELLIPSIS);
        row->Add(title);
        row->Add(text);
        list->Add(row);
    }
    row->GetItemAt(0)->SetText(button->GetToolTipTitle());
    row->GetItemAt(1)->SetText(button->GetToolTip());
    row->SetVisible(button->IsVisible());
}

void CTervanicMouseDevice::RefreshLogoTip() {
    if (!logo_) return;
    const int mode = profile_.GetLightInfo().selectItem;
    std::string modeName;
    if (engine_) {
        const profiles::ConfigLists& lists = engine_->Lists();
        if (mode < kBuiltInModes && size_t(mode) < lists.modes.size())
            modeName = Text(lists.modes[size_t(mode)].name);
        else if (mode >= kBuiltInModes &&
                 size_t(mode - kBuiltInModes) < lists.customEffectNames.size())
            modeName = lists.customEffectNames[size_t(mode - kBuiltInModes)];
    }
    logo_->SetToolTipTitle("Logo");
    logo_->SetToolTip(Text("Light_Set") + "\n" + Text("Overall_Light_Set") + modeName);
}

// ---- lighting preview ----------------------------------------------------------------

std::span<const devices::events::LightModeRow> CTervanicMouseDevice::LightModes() const {
    // The mouse's own modes: their rows carry the thresholds, the steps run
    // in RunKindStep.
    static const std::vector<devices::events::LightModeRow> rows = [] {
        std::vector<devices::events::LightModeRow> r(devices::events::BasePreviewModes().begin(),
                                                     devices::events::BasePreviewModes().end());
        r.push_back({kModeWave, {8, 6, 4, 2, 1}, &devices::LightPreview::PreviewOff});
        r.push_back({kModeFlow, {16, 12, 8, 4, 2}, &devices::LightPreview::PreviewOff});
        r.push_back({kModeReactive, {8, 6, 4, 2, 1}, &devices::LightPreview::PreviewOff});
        return r;
    }();
    return rows;
}

bool CTervanicMouseDevice::RunKindStep(const devices::LightState& state, devices::LightPreview& p) {
    if (state.mode != kModeWave && state.mode != kModeFlow && state.mode != kModeReactive)
        return false;
    if (state.mode != previewMode_) {
        previewMode_ = state.mode;
        mousePreview_.Reset();
    }
    if (state.mode == kModeWave) mousePreview_.PreviewWave(state, p);
    if (state.mode == kModeFlow) mousePreview_.PreviewFlow(state, p);
    if (state.mode == kModeReactive) mousePreview_.PreviewReactive(state, p);
    return true;
}

void CTervanicMouseDevice::OnReactiveTrigger() {
    if (GetLightState().mode != kModeReactive) return;
    const auto seed = uint32_t(std::chrono::steady_clock::now().time_since_epoch().count());
    WithPreview([&](devices::LightPreview&) { mousePreview_.Arm(seed); });
}

}  // namespace app::pages
