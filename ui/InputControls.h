#pragma once
// Standard controls over Qt input widgets: edit (QLineEdit), rich edit
// (QPlainTextEdit), combo (QComboBox) and slider (QSlider).
#include "ui/Containers.h"
#include "ui/List.h"

class QLineEdit;
class QPlainTextEdit;
class QComboBox;
class QSlider;

namespace ui {

class CWidgetBridge;

// Shared look of the wrapped Qt widgets, from the control's colours.
class CWrappedControl {
  protected:
    void ApplyStyle(CControlUI& c, QWidget* w, const char* selector, const std::string& extra = {});
    CWidgetBridge* bridge_ = nullptr;
    std::string lastSheet_;
};

class CEditUI : public CLabelUI, protected CWrappedControl {
  public:
    CEditUI();
    ~CEditUI() override;
    std::string_view GetClass() const override { return "Edit"; }
    void* GetInterface(std::string_view name) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void DoEvent(TEventUI& event) override;
    void DoPaint(QPainter&, const QRect&) override {}
    void Invalidate() override;

    std::string GetText() const override;
    void SetText(const std::string& text) override;
    void SetMaxChar(int n);
    int GetMaxChar() const { return maxChar_; }
    void SetNumberOnly(bool on);
    bool IsNumberOnly() const { return numberOnly_; }
    // Numeric range applied when the edit loses focus (digits-only edits).
    void SetValueRange(int minValue, int maxValue);
    void SetReadOnly(bool on);
    void SetPasswordMode(bool on);
    void SetTipText(const std::string& key);
    void SetSel(int start, int end);
    void SetSelAll() { SetSel(0, -1); }
    void SetSelNone();
    // Places the caret after the last character.
    void SetCaretToEnd();
    void ReloadText() override;
    QLineEdit* Edit();

  protected:
    QWidget* CreateWidget() override;
    void SyncWidget() override;

  private:
    void ClampToRange();
    int maxChar_ = 255;
    bool numberOnly_ = false;
    bool readOnly_ = false;
    bool password_ = false;
    bool hasRange_ = false;
    int minValue_ = 0;
    int maxValue_ = 0;
    std::string tipText_;
};

class CRichEditUI : public CLabelUI, protected CWrappedControl {
  public:
    CRichEditUI();
    ~CRichEditUI() override;
    std::string_view GetClass() const override { return "RichEdit"; }
    void* GetInterface(std::string_view name) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void DoPaint(QPainter&, const QRect&) override {}
    void Invalidate() override;

    std::string GetText() const override;
    void SetText(const std::string& text) override;
    // The grey hint shown while empty; a language key.
    void SetTipValue(const std::string& key);
    const std::string& GetTipValue() const { return tipText_; }
    void SetReadOnly(bool on);
    void ReloadText() override;
    QPlainTextEdit* Edit();

  protected:
    QWidget* CreateWidget() override;
    void SyncWidget() override;

  private:
    std::string tipText_;
    bool readOnly_ = false;
    int maxChar_ = 0;
};

class CComboUI : public CContainerUI, public IListOwnerUI, protected CWrappedControl {
  public:
    CComboUI();
    ~CComboUI() override;
    std::string_view GetClass() const override { return "Combo"; }
    void* GetInterface(std::string_view name) override;
    void DoPaint(QPainter&, const QRect&) override {}
    void LayoutChildren() override {}
    CControlUI* FindPaintedChildAt(const QPoint&) override { return nullptr; }
    void Invalidate() override;

    bool AddAt(CControlUI* child, int index) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;
    bool Remove(CControlUI* child, bool doNotDestroy = false) override;
    void RemoveAll() override;
    using CContainerUI::Add;

    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false, bool sendEvent = true) override;
    CControlUI* OwnerControl() override { return this; }
    void OnItemChanged(CControlUI* item) override;
    // Re-reads every item's text (after a rename).
    void Refresh();
    std::string GetText() const override;
    QComboBox* Combo();
    void SetAttribute(std::string_view name, std::string_view value) override;

  protected:
    QWidget* CreateWidget() override;
    void SyncWidget() override;

  private:
    void SyncItem(int index);
    void Reindex();
    void DoInit() override;
    int curSel_ = -1;
    int initialSel_ = -1;
};

class CSliderUI : public CProgressUI, protected CWrappedControl {
  public:
    CSliderUI();
    ~CSliderUI() override;
    std::string_view GetClass() const override { return "Slider"; }
    void* GetInterface(std::string_view name) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void DoPaint(QPainter&, const QRect&) override {}
    void Invalidate() override;

    void SetMinValue(int v);
    void SetMaxValue(int v);
    void SetValue(int v);
    int GetValue() const;
    void SetChangeStep(int step);
    void SetThumbImage(const std::string& image);
    const std::string& GetThumbImage() const { return thumbImage_; }
    QSlider* Slider();

  protected:
    QWidget* CreateWidget() override;
    void SyncWidget() override;

  private:
    std::string thumbImage_;
    int step_ = 1;
    int pressValue_ = 0;
};

}  // namespace ui
