#include "app/ColorSelectWnd.h"

#include <QRect>
#include <array>
#include <optional>
#include <utility>

#include "app/AppMessages.h"
#include "app/Dpi.h"
#include "profiles/ColorOptions.h"
#include "ui/Controls.h"
#include "ui/InputControls.h"

namespace app {
namespace {

constexpr const char* kPaletteName = "Pallet";
constexpr const char* kSampleName = "color_show_btn";
constexpr const char* kSevenColorName = "7color";
constexpr const char* kSevenColorLayoutName = "7color_layout";
constexpr const char* kPresetPrefix = "color_option_";
constexpr const char* kCollectionPrefix = "collect_color_option_";
constexpr const char* kSevenColorImage = "common/base1.png";
constexpr uint32_t kEmptySlotColor = 0xFFFFFFFFu;
constexpr std::array<const char*, 3> kComponentEdits = {"color_edit_r", "color_edit_g",
                                                        "color_edit_b"};
constexpr std::array<int, 3> kComponentShifts = {16, 8, 0};

// The slot number after prefix: 0..19, or -1 for any other name.
int SlotNumber(const std::string& name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    int n = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        n = n * 10 + (name[i] - '0');
        if (n >= profiles::kColorSlotCount) return -1;
    }
    return n;
}

std::string SlotName(std::string_view prefix, int index) {
    return std::string(prefix) + std::to_string(index);
}

// The decimal number at the start of text, limited to 0..255; empty text
// reads 0. fixedText receives the text the edit shows afterwards, when it
// has to change.
int ComponentValue(const std::string& text, std::optional<std::string>& fixedText) {
    if (text.empty()) {
        fixedText = "0";
        return 0;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > 255) {
            fixedText = "255";
            return 255;
        }
    }
    return value;
}

bool IsFilled(const ui::CControlUI* slot) {
    const std::string data = slot->GetUserData();
    return data == "1";
}

}  // namespace

CColorSelectWnd::CColorSelectWnd() {
    SetNotifyFilter([this](ui::TNotifyUI& msg) { return OnPaletteFilter(msg); });
    AddNotifyHandler("windowinit", [this](ui::TNotifyUI&) {
        profiles::CColorOptionFile(userFile_, defaultFile_).EnsureUserFile();
        SetCurrentColor(color_);
        SetSevenColor(sevenColor_);
        LoadPresets();
        LoadCollection();
    });
    AddNotifyHandler("click", [this](ui::TNotifyUI& msg) { OnButtonClick(msg); });
    AddNotifyHandler("selectchanged", [this](ui::TNotifyUI& msg) { OnSelectChanged(msg); });
    AddNotifyHandler("checkclick", [this](ui::TNotifyUI& msg) { OnCheckClick(msg); });
    AddNotifyHandler("killfocus", [this](ui::TNotifyUI& msg) { OnKillFocus(msg); });
    AddNotifyHandler("itemselect", [](ui::TNotifyUI&) {});
}

CColorSelectWnd::~CColorSelectWnd() = default;

void CColorSelectWnd::SetColorFiles(std::string userPath, std::string defaultPath) {
    userFile_ = std::move(userPath);
    defaultFile_ = std::move(defaultPath);
}

bool CColorSelectWnd::CreatePicker(ui::CWindowWnd* owner) {
    if (userFile_.empty()) userFile_ = profiles::ColorOptionsUserPath();
    if (defaultFile_.empty()) defaultFile_ = profiles::ColorOptionsDefaultPath();
    return Create(owner, "PalletDialog", ui::WS_POPUP | ui::WS_VISIBLE, ui::WS_EX_TOOLWINDOW, 0, 0,
                  kWidth, kHeight);
}

void CColorSelectWnd::InitWindow() {
    palette_ = FindControlAs<ui::CColorPaletteUI>(kPaletteName);
}

void CColorSelectWnd::Notify(ui::TNotifyUI& msg) {
    WindowImplBase::Notify(msg);
}

// ---- notifications ----------------------------------------------------------

bool CColorSelectWnd::OnPaletteFilter(ui::TNotifyUI& msg) {
    if (msg.sType != "colorchanged" || !msg.pSender || !msg.pSender->IsName(kPaletteName))
        return false;
    if (palette_) color_ = palette_->GetSelectColor();
    CommitColor();
    ShowComponents(color_);
    return true;
}

void CColorSelectWnd::OnButtonClick(ui::TNotifyUI& msg) {
    if (!msg.pSender) return;
    const std::string& name = msg.pSender->GetName();
    struct Action {
        const char* name;
        void (*run)(CColorSelectWnd&);
    };
    static const Action kActions[] = {
        {"closebtn", [](CColorSelectWnd& w) { w.Close(kResultCancel); }},
        {"laterbtn", [](CColorSelectWnd& w) { w.Close(kResultCancel); }},
        {"minbtn", [](CColorSelectWnd& w) { w.SendMessage(ui::WM_SYSCOMMAND, ui::SC_MINIMIZE); }},
        {"maxbtn", [](CColorSelectWnd& w) { w.SendMessage(ui::WM_SYSCOMMAND, ui::SC_MAXIMIZE); }},
        {"restorebtn",
         [](CColorSelectWnd& w) { w.SendMessage(ui::WM_SYSCOMMAND, ui::SC_RESTORE); }},
        {"menubtn", [](CColorSelectWnd&) {}},
        {"okbtn",
         [](CColorSelectWnd& w) {
             if (!w.palette_) {
                 w.Close(kResultNoPalette);
                 return;
             }
             const ui::CControlUI* sample = w.FindControl(kSampleName);
             w.color_ = sample ? sample->GetBkColor() : 0;
             w.Close(kResultOk);
         }},
    };
    for (const Action& action : kActions)
        if (name == action.name) return action.run(*this);
}

void CColorSelectWnd::OnSelectChanged(ui::TNotifyUI& msg) {
    auto* option = dynamic_cast<ui::COptionUI*>(msg.pSender);
    // Options of a group also report being cleared; only the new choice counts.
    if (!option || !option->IsSelected()) return;
    const std::string& name = option->GetName();
    if (int n = SlotNumber(name, kCollectionPrefix); n >= 0) return SelectCollectionSlot(n, option);
    if (int n = SlotNumber(name, kPresetPrefix); n >= 0) return SelectPreset(n, option);
}

void CColorSelectWnd::OnCheckClick(ui::TNotifyUI& msg) {
    auto* option = dynamic_cast<ui::COptionUI*>(msg.pSender);
    if (!option || !option->IsName(kSevenColorName)) return;
    sevenColor_ = option->IsSelected() ? 1 : 0;
    if (ui::CControlUI* sample = FindControl(kSampleName))
        sample->SetBkImage(sevenColor_ ? kSevenColorImage : "");
}

void CColorSelectWnd::OnKillFocus(ui::TNotifyUI& msg) {
    if (!msg.pSender) return;
    bool isComponent = false;
    for (const char* name : kComponentEdits)
        isComponent |= msg.pSender->IsName(name);
    if (!isComponent) return;
    uint32_t color = 0xFF000000u;
    for (std::size_t i = 0; i < kComponentEdits.size(); ++i) {
        ui::CControlUI* edit = FindControl(kComponentEdits[i]);
        if (!edit) continue;
        std::optional<std::string> fixedText;
        const int value = ComponentValue(edit->GetText(), fixedText);
        if (fixedText) edit->SetText(*fixedText);
        color |= uint32_t(value) << kComponentShifts[i];
    }
    color_ = color;
    PaletteSelect(color_);
    CommitColor();
}

void CColorSelectWnd::SelectPreset(int index, ui::CControlUI* preset) {
    presetIndex_ = index;
    SavePresets();
    color_ = preset->GetBkColor();
    PaletteSelect(color_);
    CommitColor();
    ShowComponents(color_);
}

void CColorSelectWnd::SelectCollectionSlot(int index, ui::CControlUI* slot) {
    collectionIndex_ = index;
    if (!IsFilled(slot)) return;  // the next committed colour fills it
    SaveCollection();
    const uint32_t color = slot->GetBkColor();
    if (ui::CControlUI* sample = FindControl(kSampleName)) {
        sample->SetBkColor(color);
        sample->Invalidate();
    }
    SetSevenColor(0);
    PaletteSelect(color);
    ShowComponents(color);
}

// ---- colour state -------------------------------------------------------------

void CColorSelectWnd::SetCurrentColor(uint32_t argb) {
    if (ui::CControlUI* sample = FindControl(kSampleName)) {
        sample->SetBkImage("");
        sample->SetBkColor(argb);
        sample->Invalidate();
    }
    PaletteSelect(argb);
    color_ = argb;
    ShowComponents(argb);
}

void CColorSelectWnd::CommitColor() {
    auto* slot = FindControlAs<ui::COptionUI>(SlotName(kCollectionPrefix, collectionIndex_));
    if (collectionIndex_ >= 0 && slot && slot->IsSelected()) {
        slot->SetBkColor(color_);
        slot->SetSelectedBkColor(color_);
        slot->SetUserData("1");
        slot->SetBorderSize(0);
        SaveCollection();
    }
    if (ui::CControlUI* sample = FindControl(kSampleName)) {
        sample->SetBkColor(color_);
        sample->Invalidate();
    }
    SetSevenColor(0);
}

void CColorSelectWnd::ShowComponents(uint32_t argb) {
    for (std::size_t i = 0; i < kComponentEdits.size(); ++i)
        if (ui::CControlUI* edit = FindControl(kComponentEdits[i]))
            edit->SetText(std::to_string((argb >> kComponentShifts[i]) & 0xFFu));
}

void CColorSelectWnd::PaletteSelect(uint32_t argb) {
    if (palette_) palette_->SetSelectColor(argb);
}

void CColorSelectWnd::SetSevenColor(int flag) {
    sevenColor_ = flag;
    if (auto* option = FindControlAs<ui::COptionUI>(kSevenColorName))
        option->Selected(flag != 0, false);
    if (ui::CControlUI* sample = FindControl(kSampleName))
        sample->SetBkImage(flag ? kSevenColorImage : "");
}

void CColorSelectWnd::EnableSevenColor(int flag) {
    ui::CControlUI* option = FindControl(kSevenColorName);
    if (option) option->SetEnabled(flag != 0);
    if (ui::CControlUI* layout = FindControl(kSevenColorLayoutName)) layout->SetVisible(flag != 0);
    if (auto* opt = dynamic_cast<ui::COptionUI*>(option); opt && flag == 0)
        opt->Selected(false, false);
}

void CColorSelectWnd::SetWindowDpi(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = ValidDpiOr96(dpi, "SET_WND DPI SET ERROR");
    pm_.SetDPI(dpi_);
    ResizeClient(pm_.ScaleValue(kWidth), pm_.ScaleValue(kHeight));
}

// ---- colour file ----------------------------------------------------------------

void CColorSelectWnd::LoadPresets() {
    const profiles::ColorOptions options =
        profiles::CColorOptionFile(userFile_, defaultFile_).Load();
    if (options.presetIndex) presetIndex_ = *options.presetIndex;
}

void CColorSelectWnd::LoadCollection() {
    const profiles::ColorOptions options =
        profiles::CColorOptionFile(userFile_, defaultFile_).Load();
    for (int i = 0; i < profiles::kColorSlotCount; ++i) {
        const std::optional<profiles::ColorSlot>& stored = options.collection[std::size_t(i)];
        auto* slot = FindControlAs<ui::COptionUI>(SlotName(kCollectionPrefix, i));
        if (!stored || !slot) continue;
        const uint32_t color = stored->Filled() ? stored->color : kEmptySlotColor;
        slot->SetBkColor(color);
        slot->SetSelectedBkColor(color);
        slot->SetUserData(stored->userData);
        if (stored->Filled()) slot->SetBorderSize(0);
    }
    if (options.hasCollectionIndex) collectionIndex_ = -1;
}

void CColorSelectWnd::SavePresets() {
    std::array<std::optional<uint32_t>, profiles::kColorSlotCount> colors;
    for (int i = 0; i < profiles::kColorSlotCount; ++i)
        if (const ui::CControlUI* preset = FindControl(SlotName(kPresetPrefix, i)))
            colors[std::size_t(i)] = preset->GetBkColor();
    profiles::CColorOptionFile(userFile_, defaultFile_).SavePresets(colors, presetIndex_);
}

void CColorSelectWnd::SaveCollection() {
    std::array<std::optional<profiles::ColorSlot>, profiles::kColorSlotCount> slotColors;
    for (int i = 0; i < profiles::kColorSlotCount; ++i)
        if (const ui::CControlUI* slot = FindControl(SlotName(kCollectionPrefix, i)))
            slotColors[std::size_t(i)] =
                profiles::ColorSlot{slot->GetBkColor(), slot->GetUserData()};
    profiles::CColorOptionFile(userFile_, defaultFile_)
        .SaveCollection(slotColors, collectionIndex_);
}

// ---- window messages ----------------------------------------------------------------

ui::LRESULT CColorSelectWnd::HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l,
                                                 bool& handled) {
    if (msg == ui::WM_DPICHANGED) {
        dpi_ = ValidDpiOr96(int(w & 0xFFFF), "SET_WND DPI SET ERROR");
        pm_.SetDPI(dpi_);
        pm_.ResetDPIAssets();
        if (const auto* rc = reinterpret_cast<const QRect*>(l)) MoveWindow(*rc);
        pm_.NeedUpdate();
    } else if (msg == kMsgLanguageChanged) {
        pm_.ReloadText();
        pm_.NeedUpdate();
        pm_.Invalidate();
    }
    return WindowImplBase::HandleCustomMessage(msg, w, l, handled);
}

// The system close only ends the picker (result 0); the program keeps running.
ui::LRESULT CColorSelectWnd::OnSysCommand(ui::UINT msg, ui::WPARAM w, ui::LPARAM l, bool& handled) {
    if ((w & 0xFFF0) == ui::SC_CLOSE) {
        Close(kResultCancel);
        handled = true;
        return 0;
    }
    return WindowImplBase::OnSysCommand(msg, w, l, handled);
}

// ---- one pick ---------------------------------------------------------------------

int PickColor(ui::CWindowWnd* owner, int dpi, uint32_t initial, uint32_t* chosen) {
    CColorSelectWnd picker;
    if (!picker.CreatePicker(owner)) return CColorSelectWnd::kResultCancel;
    picker.SetWindowDpi(dpi);
    picker.SetCurrentColor(initial);
    picker.EnableSevenColor(0);
    picker.CenterWindow();
    const int result = picker.ShowModal();
    if (result == CColorSelectWnd::kResultOk && chosen) *chosen = picker.GetColor();
    picker.DestroyWindow();
    return result;
}

}  // namespace app
