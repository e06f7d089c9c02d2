#pragma once
// Painted standard controls: label, text, button, option, check box,
// progress and colour palette.
#include "ui/Control.h"

namespace ui {

enum : uint32_t {
    UISTATE_FOCUSED = 0x01,
    UISTATE_SELECTED = 0x02,
    UISTATE_DISABLED = 0x04,
    UISTATE_HOT = 0x08,
    UISTATE_PUSHED = 0x10,
    UISTATE_CAPTURED = 0x40,
};

class CLabelUI : public CControlUI {
  public:
    std::string_view GetClass() const override { return "Label"; }
    void* GetInterface(std::string_view name) override;
};

class CTextUI : public CLabelUI {
  public:
    CTextUI() { textStyle_ = DT_LEFT | DT_WORDBREAK; }
    std::string_view GetClass() const override { return "Text"; }
    void* GetInterface(std::string_view name) override;
};

class CButtonUI : public CLabelUI {
  public:
    CButtonUI();
    std::string_view GetClass() const override { return "Button"; }
    void* GetInterface(std::string_view name) override;

    bool Activate() override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void PaintBkColor(QPainter& p) override;
    void PaintStatusImage(QPainter& p) override;
    void PaintText(QPainter& p) override;

    uint32_t GetButtonState() const { return state_; }
    void SetButtonState(uint32_t s) { state_ = s; }
    void SetNormalImage(const std::string& s);
    void SetHotImage(const std::string& s);
    void SetPushedImage(const std::string& s);
    void SetDisabledImage(const std::string& s);
    const std::string& GetNormalImage() const { return normalImage_; }
    void SetHotBkColor(uint32_t c) { hotBkColor_ = c; }
    void SetPushedBkColor(uint32_t c) { pushedBkColor_ = c; }
    void SetHotTextColor(uint32_t c) { hotTextColor_ = c; }
    void SetPushedTextColor(uint32_t c) { pushedTextColor_ = c; }

  protected:
    bool IsMouseEvent(int type) const;
    uint32_t state_ = 0;
    std::string normalImage_, hotImage_, pushedImage_, disabledImage_, focusedImage_;
    uint32_t hotBkColor_ = 0, pushedBkColor_ = 0, disabledBkColor_ = 0;
    uint32_t hotTextColor_ = 0, pushedTextColor_ = 0;
};

class COptionUI : public CButtonUI {
  public:
    ~COptionUI() override;
    std::string_view GetClass() const override { return "Option"; }
    void* GetInterface(std::string_view name) override;

    bool Activate() override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void PaintBkColor(QPainter& p) override;
    void PaintStatusImage(QPainter& p) override;
    void PaintText(QPainter& p) override;

    bool IsSelected() const;
    // Changes the state; "selectchanged" is raised only with triggerEvent.
    virtual void Selected(bool selected, bool triggerEvent = true);
    const std::string& GetGroup() const { return group_; }
    void SetGroup(const std::string& group);
    // Binding to a tab layout: selecting the option shows that page.
    void SetBindTabLayoutName(const std::string& name) { bindTab_ = name; }
    const std::string& GetBindTabLayoutName() const { return bindTab_; }
    void SetBindTabLayoutIndex(int index) { bindIndex_ = index; }
    int GetBindTabLayoutIndex() const { return bindIndex_; }
    void SetSelectedImage(const std::string& s);
    const std::string& GetSelectedImage() const { return selectedImage_; }
    void SetSelectedBkColor(uint32_t c);
    uint32_t GetSelectedBkColor() const { return selectedBkColor_; }
    void SetSelectedTextColor(uint32_t c) { selectedTextColor_ = c; }

  protected:
    void ApplyTabBinding();
    bool selected_ = false;
    std::string group_;
    std::string bindTab_;
    int bindIndex_ = -1;
    std::string selectedImage_, selectedHotImage_;
    uint32_t selectedBkColor_ = 0;
    uint32_t selectedTextColor_ = 0;
};

class CCheckBoxUI : public COptionUI {
  public:
    std::string_view GetClass() const override { return "CheckBox"; }
    void* GetInterface(std::string_view name) override;
    bool Activate() override;
    void PaintStatusImage(QPainter& p) override;
    void PaintText(QPainter& p) override;
    bool GetCheck() const { return IsSelected(); }
    void SetCheck(bool check, bool triggerEvent = true) { Selected(check, triggerEvent); }
};

class CProgressUI : public CLabelUI {
  public:
    CProgressUI();
    std::string_view GetClass() const override { return "Progress"; }
    void* GetInterface(std::string_view name) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void PaintForeColor(QPainter& p) override;
    void PaintForeImage(QPainter& p) override;

    int GetMinValue() const { return min_; }
    int GetMaxValue() const { return max_; }
    int GetValue() const;
    void SetMinValue(int v);
    void SetMaxValue(int v);
    void SetValue(int v);
    uint32_t GetForeColor() const { return foreColor_; }
    void SetForeColor(uint32_t c);
    bool IsHorizontal() const { return horizontal_; }

  protected:
    // The filled part of the rectangle for the current value.
    QRect FilledRect() const;
    int min_ = 0, max_ = 100, value_ = 0;
    bool horizontal_ = true;
    uint32_t foreColor_ = 0xFF3DA5FF;
};

// A hue/saturation field with a brightness bar underneath.
class CColorPaletteUI : public CControlUI {
  public:
    std::string_view GetClass() const override { return "ColorPalette"; }
    void* GetInterface(std::string_view name) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void DoEvent(TEventUI& event) override;
    void PaintStatusImage(QPainter& p) override;

    uint32_t GetSelectColor() const;
    void SetSelectColor(uint32_t argb);

  private:
    QRect FieldRect() const;
    QRect BarRect() const;
    void PickAt(const QPoint& pt, bool inBar);
    int hue_ = 0, sat_ = 255, val_ = 255;
    int barHeight_ = 14;
    bool dragging_ = false;
    bool dragBar_ = false;
};

}  // namespace ui
