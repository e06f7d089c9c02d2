#pragma once
// The colour picker: a palette, red/green/blue edits, 20 fixed presets and a
// collection of 20 slots the user fills. The preset selection and the
// collection persist in the colour file of the application data root.
//
// Use for one pick:
//   app::CColorSelectWnd picker;
//   picker.CreatePicker(owner);            // 800 x 572 tool window
//   picker.SetWindowDpi(dpi);
//   picker.SetCurrentColor(argb);
//   picker.EnableSevenColor(0);
//   picker.CenterWindow();
//   if (picker.ShowModal() == app::CColorSelectWnd::kResultOk) use(picker.GetColor());
//   picker.DestroyWindow();
// or simply app::PickColor(owner, dpi, argb, &chosen).
#include <cstdint>
#include <string>

#include "ui/Window.h"

namespace ui {
class CColorPaletteUI;
class COptionUI;
}  // namespace ui

namespace app {

class CColorSelectWnd : public ui::WindowImplBase {
  public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;
    // Modal results.
    static constexpr int kResultCancel = 0;     // "closebtn", "laterbtn", SC_CLOSE, any close
    static constexpr int kResultOk = 1;         // "okbtn": GetColor() holds the choice
    static constexpr int kResultNoPalette = 2;  // "okbtn" in a layout without the palette

    CColorSelectWnd();
    ~CColorSelectWnd() override;

    std::string GetWindowClassName() const override { return "ColorSelectWnd"; }
    std::string GetSkinFile() override { return "PalletDialog.xml"; }

    // Creates the window owned by owner (caption "PalletDialog", popup tool
    // window at 0,0, 800 x 572). False when the window could not be made.
    bool CreatePicker(ui::CWindowWnd* owner);

    // 48, 72, 96, 120, 144, 168 or 192; anything else becomes 96.
    void SetWindowDpi(int dpi);
    int GetWindowDpi() const { return dpi_; }
    // The colour being edited (32-bit ARGB); set it before ShowModal.
    void SetCurrentColor(uint32_t argb);
    // Shows (non-zero) or hides the seven-colour choice.
    void EnableSevenColor(int flag);
    // The chosen colour; read it after ShowModal returned kResultOk.
    uint32_t GetColor() const { return color_; }
    int GetSevenColor() const { return sevenColor_; }
    int GetPresetIndex() const { return presetIndex_; }
    int GetCollectionIndex() const { return collectionIndex_; }

    // The colour file and its default copy; by default the application data
    // root and the default data folder. Set before CreatePicker.
    void SetColorFiles(std::string userPath, std::string defaultPath);
    const std::string& UserColorFile() const { return userFile_; }

    void InitWindow() override;
    void Notify(ui::TNotifyUI& msg) override;
    ui::LRESULT HandleCustomMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l,
                                    bool& handled) override;

  protected:
    ui::LRESULT OnSysCommand(ui::UINT msg, ui::WPARAM w, ui::LPARAM l, bool& handled) override;

  private:
    bool OnPaletteFilter(ui::TNotifyUI& msg);
    void OnButtonClick(ui::TNotifyUI& msg);
    void OnSelectChanged(ui::TNotifyUI& msg);
    void OnCheckClick(ui::TNotifyUI& msg);
    void OnKillFocus(ui::TNotifyUI& msg);
    void SelectPreset(int index, ui::CControlUI* preset);
    void SelectCollectionSlot(int index, ui::CControlUI* slot);
    void SetSevenColor(int flag);
    void CommitColor();
    void ShowComponents(uint32_t argb);
    void PaletteSelect(uint32_t argb);
    void LoadPresets();
    void SavePresets();
    void LoadCollection();
    void SaveCollection();

    uint32_t color_ = 0;
    int presetIndex_ = 4;
    int collectionIndex_ = 0;
    int sevenColor_ = 0;
    int dpi_ = 96;
    ui::CColorPaletteUI* palette_ = nullptr;
    std::string userFile_;
    std::string defaultFile_;
};

// Runs one picker owned by owner starting at initial. Returns the modal
// result; on kResultOk *chosen receives the colour. The window is destroyed
// before returning.
int PickColor(ui::CWindowWnd* owner, int dpi, uint32_t initial, uint32_t* chosen);

}  // namespace app
