#include "app/pages/DeviceSettings.h"

#include <string>
#include <string_view>
#include <vector>

#include "app/ColorSelectWnd.h"
#include "app/MainWnd.h"
#include "app/pages/MouseDevice.h"
#include "devices/mouse/MouseDpi.h"
#include "ui/Controls.h"
#include "ui/InputControls.h"
#include "ui/PaintManager.h"
#include "ui/Text.h"

namespace app::pages {

namespace {

// Stage numbers a handler accepts (the page has five; a colour may name a
// few more, which grows the stage list).
constexpr int kMaxStageNumber = 32;

// What a handler does after changing the profile.
enum Effect {
    kSaveOnly,     // the value lives in the profile only
    kSaveAndSend,  // the value lives in the mouse too
};

struct Event {
    CTervanicMouseDevice& mouse;
    ui::CControlUI* sender;
    int n;
};

std::string Numbered(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

template <class T>
T* Find(CTervanicMouseDevice& mouse, const std::string& name, const char* iface) {
    ui::CControlUI* c = ui::CPaintManagerUI::FindSubControlByName(&mouse, name);
    return c ? static_cast<T*>(c->GetInterface(iface)) : nullptr;
}

bool IsSelected(ui::CControlUI* c) {
    auto* o = c ? static_cast<ui::COptionUI*>(c->GetInterface("Option")) : nullptr;
    return o && o->IsSelected();
}

int SliderValue(ui::CControlUI* c) {
    auto* s = c ? static_cast<ui::CSliderUI*>(c->GetInterface("Slider")) : nullptr;
    return s ? s->GetValue() : 0;
}

void Finish(CTervanicMouseDevice& mouse, Effect effect) {
    mouse.SaveProfile();
    if (effect == kSaveAndSend) mouse.SendSettings();
}

// The stage list grown to hold stage n.
std::vector<profiles::DPIStage> StagesFor(CTervanicMouseDevice& mouse, int n) {
    std::vector<profiles::DPIStage> stages = mouse.GetDPIStages();
    if (stages.size() < size_t(n) + 1) stages.resize(size_t(n) + 1);
    return stages;
}

void StoreStageSteps(CTervanicMouseDevice& mouse, int n, int steps) {
    std::vector<profiles::DPIStage> stages = StagesFor(mouse, n);
    stages[size_t(n)].stageDPIX = uint16_t(std::clamp(steps, 0, 0xFFFF));
    mouse.SetDPIStages(stages);
}

// One 16-bit half of a system word.
enum Half { kLow, kHigh };
void SetHalf(std::array<uint32_t, 3>& w, size_t word, Half half, int value) {
    const uint32_t v = uint32_t(value) & 0xFFFF;
    w[word] = half == kLow ? (w[word] & 0xFFFF0000u) | v : (w[word] & 0xFFFFu) | v << 16;
}
void StoreHalves(CTervanicMouseDevice& mouse,
                 std::initializer_list<std::tuple<size_t, Half, int>> halves) {
    std::array<uint32_t, 3> w = mouse.GetSystemStages();
    for (const auto& [word, half, value] : halves)
        SetHalf(w, word, half, value);
    mouse.SetSystemStages(w);
}

// ---- selection changes ---------------------------------------------------------

void OnEnableStage(const Event& e) {
    const bool on = IsSelected(e.sender);
    e.mouse.EnableStage(e.n, on);
    std::vector<profiles::DPIStage> stages = StagesFor(e.mouse, e.n);
    stages[size_t(e.n)].stageActive = on ? 1 : 0;
    e.mouse.SetDPIStages(stages);
    Finish(e.mouse, kSaveAndSend);
}

void OnSelectStage(const Event& e) {
    if (!IsSelected(e.sender)) return;  // the option the group just cleared
    e.mouse.SelectStage(e.n);
    std::vector<profiles::DPIStage> stages =
        StagesFor(e.mouse, CTervanicMouseDevice::kStageCount - 1);
    for (int i = 0; i < CTervanicMouseDevice::kStageCount; ++i) {
        const int v = SliderValue(
            ui::CPaintManagerUI::FindSubControlByName(&e.mouse, Numbered("DPI_slider_", i)));
        e.mouse.ShowStage(i, v);
        stages[size_t(i)].stageDPIX = uint16_t(std::clamp(v, 0, 0xFFFF));
    }
    e.mouse.SetDPIStages(stages);
    Finish(e.mouse, kSaveAndSend);
}

void OnSettingPageOption(const Event& e) {
    if (!IsSelected(e.sender)) return;
    auto* tab = Find<ui::CTabLayoutUI>(e.mouse, "mouse_device_seting_layout", "TabLayout");
    const int page = tab && e.n < tab->GetCount() ? e.n : 0;
    if (tab) tab->SelectItem(page, false);
    auto* options = Find<ui::CContainerUI>(e.mouse, "mouse_option_layout", "Container");
    if (!options) return;
    const std::string wanted = Numbered("mouse_device_seting_option_", page);
    for (int i = 0; i < options->GetCount(); ++i) {
        ui::CControlUI* child = options->GetItemAt(i);
        if (auto* o = static_cast<ui::COptionUI*>(child->GetInterface("Option")))
            o->Selected(ui::EqualsNoCase(child->GetName(), wanted), false);
    }
}

void OnPointerPrecision(const Event& e) {
    StoreHalves(e.mouse, {{1, kLow, IsSelected(e.sender) ? 1 : 0}});
    Finish(e.mouse, kSaveOnly);
}

void OnScrollPage(const Event& e) {
    const int page = IsSelected(e.sender) ? 1 : 0;
    const int lines =
        SliderValue(ui::CPaintManagerUI::FindSubControlByName(&e.mouse, "scroll_speed_slider"));
    e.mouse.ShowScroll(page, lines);
    StoreHalves(e.mouse, {{1, kHigh, page}, {2, kLow, lines}});
    Finish(e.mouse, kSaveOnly);
}

void OnMousePolling(const Event& e) {
    if (!IsSelected(e.sender)) return;
    e.mouse.ShowPolling(e.n);
    const int n = e.n >= 0 && e.n < CTervanicMouseDevice::kPollingOptions ? e.n : 0;
    StoreHalves(e.mouse, {{2, kHigh, n}});
    Finish(e.mouse, kSaveAndSend);
}

// ---- value changes ---------------------------------------------------------------

void OnStageSlider(const Event& e) {
    const int v = SliderValue(e.sender);
    e.mouse.ShowStage(e.n, v);
    StoreStageSteps(e.mouse, e.n, v);
    Finish(e.mouse, kSaveAndSend);
}

void OnPointerSpeed(const Event& e) {
    StoreHalves(e.mouse, {{0, kHigh, SliderValue(e.sender)}});
    Finish(e.mouse, kSaveOnly);
}

void OnScrollSpeed(const Event& e) {
    const int v = SliderValue(e.sender);
    e.mouse.ShowScroll(0, v);  // setting lines switches page scrolling off
    StoreHalves(e.mouse, {{1, kHigh, 0}, {2, kLow, v}});
    Finish(e.mouse, kSaveOnly);
}

void OnDoubleClick(const Event& e) {
    StoreHalves(e.mouse, {{0, kLow, SliderValue(e.sender)}});
    Finish(e.mouse, kSaveOnly);
}

// ---- drags: shown, never stored ------------------------------------------------------

void OnStageDrag(const Event& e) {
    e.mouse.ShowStage(e.n, SliderValue(e.sender));
}

void OnKorvaDrag(const Event& e) {
    if (auto* edit = Find<ui::CEditUI>(e.mouse, Numbered("korva_DPI_edit_", e.n), "Edit"))
        edit->SetText(std::to_string(SliderValue(e.sender)));
}

// ---- edits -----------------------------------------------------------------------------

void OnStageEdit(const Event& e) {
    const int steps = e.mouse.TypedDpiToSteps(e.sender->GetText());
    e.mouse.ShowStage(e.n, steps);
    StoreStageSteps(e.mouse, e.n, steps);
    Finish(e.mouse, kSaveAndSend);
}

void OnKorvaEdit(const Event& e) {
    const int v = devices::mouse::KorvaDpiEditValue(e.sender->GetText());
    e.sender->SetText(std::to_string(v));
    if (auto* s = Find<ui::CSliderUI>(e.mouse, Numbered("korva_DPI_slider_", e.n), "Slider"))
        s->SetValue(v);
}

void OnStageColour(const Event& e) {
    PickStageColour(e.mouse, e.n);
}

// ---- the table -------------------------------------------------------------------------

struct Row {
    const char* type;
    const char* name;  // ending in "_": a prefix followed by the stage or option number
    void (*handler)(const Event&);
};

constexpr Row kMouseRows[] = {
    {"selectchanged", "DPI_enable_check_", OnEnableStage},
    {"selectchanged", "DPI_select_check_", OnSelectStage},
    {"selectchanged", "mouse_device_seting_option_", OnSettingPageOption},
    {"selectchanged", "pointer_precision_check", OnPointerPrecision},
    {"selectchanged", "scrolls_page_check", OnScrollPage},
    {"selectchanged", "polling_rate_option_", OnMousePolling},
    {"valuechanged", "DPI_slider_", OnStageSlider},
    {"valuechanged", "pointer_speed_slider", OnPointerSpeed},
    {"valuechanged", "scroll_speed_slider", OnScrollSpeed},
    {"valuechanged", "double_click_slider", OnDoubleClick},
    {"movevaluechanged", "DPI_slider_", OnStageDrag},
    {"movevaluechanged", "korva_DPI_slider_", OnKorvaDrag},
    {"killfocus", "DPI_edit_", OnStageEdit},
    {"killfocus", "korva_DPI_edit_", OnKorvaEdit},
    {"return", "DPI_edit_", OnStageEdit},
    {"return", "korva_DPI_edit_", OnKorvaEdit},
    {"click", "DPI_color_option_", OnStageColour},
};

const Row* MatchRow(std::string_view type, std::string_view name, int& n) {
    const ui::NameRoute split = ui::SplitNameRoute(name);
    for (const Row& row : kMouseRows) {
        if (type != row.type) continue;
        const std::string_view rowName = row.name;
        if (rowName.back() == '_') {
            if (!split.prefix.empty() && ui::EqualsNoCase(split.prefix, rowName)) {
                n = split.number;
                return &row;
            }
        } else if (ui::EqualsNoCase(name, rowName)) {
            n = 0;
            return &row;
        }
    }
    return nullptr;
}

bool IsPrefixRow(const Row& row) {
    return std::string_view(row.name).back() == '_';
}

bool IsPollingRow(const Row& row) {
    return std::string_view(row.name) == "polling_rate_option_";
}

CColorSelectWnd* g_openPicker = nullptr;

int WindowDpiOf(ui::CWindowWnd* wnd) {
    auto* main = dynamic_cast<CMainWnd*>(wnd);
    return main ? main->WindowDpi() : 96;
}

}  // namespace

bool HandleDeviceSettings(CTervanicUSBDevice* current, const ui::TNotifyUI& msg,
                          const RouteHit& hit) {
    if (hit.route == Route::KeyboardSettings) return false;
    if (!msg.pSender) return false;
    int n = 0;
    const Row* row = MatchRow(msg.sType, msg.pSender->GetName(), n);
    if (!row) return false;
    if (!current) return true;
    // The polling options exist on several pages: only the mouse's act here
    // (the keyboard's are not handled yet).
    if (IsPollingRow(*row) && current->TypeCode() == hid::kTypeKeyboard) return false;
    if (IsPollingRow(*row) && current->TypeCode() != hid::kTypeMouse) return true;
    auto* mouse = static_cast<CTervanicMouseDevice*>(current->GetInterface("TervanicMouseDevice"));
    if (!mouse) return true;
    if (IsPrefixRow(*row) && (n < 0 || n > kMaxStageNumber)) return true;
    row->handler(Event{*mouse, msg.pSender, n});
    return true;
}

void ApplyStageColour(CTervanicMouseDevice& mouse, int n, uint32_t argb) {
    if (n < 0 || n > kMaxStageNumber) return;
    if (ui::CControlUI* button =
            ui::CPaintManagerUI::FindSubControlByName(&mouse, Numbered("DPI_color_option_", n)))
        button->SetBkColor(argb);
    std::vector<profiles::DPIStage> stages = StagesFor(mouse, n);
    stages[size_t(n)].red = uint8_t(argb >> 16);
    stages[size_t(n)].green = uint8_t(argb >> 8);
    stages[size_t(n)].blue = uint8_t(argb);
    mouse.SetDPIStages(stages);
    Finish(mouse, kSaveAndSend);
}

int PickStageColour(CTervanicMouseDevice& mouse, int n) {
    if (g_openPicker || n < 0 || n > kMaxStageNumber) return -1;
    ui::CControlUI* button =
        ui::CPaintManagerUI::FindSubControlByName(&mouse, Numbered("DPI_color_option_", n));
    const uint32_t initial = button ? button->GetBkColor() : 0;
    CColorSelectWnd picker;
    if (!picker.CreatePicker(mouse.MainWindow())) return -1;
    picker.SetWindowDpi(WindowDpiOf(mouse.MainWindow()));
    g_openPicker = &picker;
    picker.SetCurrentColor(initial);
    picker.EnableSevenColor(0);
    picker.CenterWindow();
    // The page may go while the picker runs; its life token tells.
    const ui::LifeWatch alive = mouse.Life();
    const int result = picker.ShowModal();
    if (result == CColorSelectWnd::kResultOk && !alive.expired())
        ApplyStageColour(mouse, n, picker.GetColor());
    if (picker.IsWindow()) picker.DestroyWindow();
    g_openPicker = nullptr;
    return result;
}

CColorSelectWnd* OpenStageColourPicker() {
    return g_openPicker;
}

}  // namespace app::pages
