#pragma once
// Lists and their elements, shared with the combo box: elements know their
// owner and index, the owner keeps the selection.
#include "ui/Containers.h"
#include "ui/Controls.h"

namespace ui {

class CListElementState;

// What a list element needs from the list or combo that holds it.
class IListOwnerUI {
  public:
    virtual ~IListOwnerUI() = default;
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index, bool takeFocus = false, bool sendEvent = true) = 0;
    virtual bool SelectMultiItem(int index, bool sendEvent = true) {
        return SelectItem(index, false, sendEvent);
    }
    virtual bool UnSelectItem(int, bool = false) { return false; }
    virtual bool IsMultiSelect() const { return false; }
    virtual uint32_t ItemHotBkColor() const { return 0x14FFFFFF; }
    virtual uint32_t ItemSelectedBkColor() const { return 0x333DA5FF; }
    virtual uint32_t ItemHotBorderColor() const { return 0xFF3DA5FF; }
    virtual void OnItemChanged(CControlUI*) {}
    virtual CControlUI* OwnerControl() = 0;
};

// Selection, hot state and event handling common to every element kind.
class IListItemUI {
  public:
    virtual ~IListItemUI() = default;
    int GetIndex() const { return index_; }
    void SetIndex(int i) { index_ = i; }
    IListOwnerUI* GetOwner() const { return owner_; }
    void SetOwner(IListOwnerUI* owner) { owner_ = owner; }
    bool IsSelected() const { return selected_; }
    bool IsHot() const { return hot_; }
    virtual bool Select(bool select = true, bool sendEvent = true);
    virtual bool SelectMulti(bool select = true);
    // The flag alone, for the owner that keeps the selection.
    void SetSelectedState(bool on) { selected_ = on; }

  protected:
    // Element events as lists handle them; false when the event is not one of them.
    bool HandleItemEvent(CControlUI& self, TEventUI& event);
    void PaintItemBk(CControlUI& self, QPainter& p);

    IListOwnerUI* owner_ = nullptr;
    int index_ = -1;
    bool selected_ = false;
    bool hot_ = false;
};

class CListLabelElementUI : public CLabelUI, public IListItemUI {
  public:
    CListLabelElementUI();
    std::string_view GetClass() const override { return "ListLabelElement"; }
    void* GetInterface(std::string_view name) override;
    // Elements inside a combo are drawn by the combo's own widget.
    bool WantsWidget() const override;
    void DoEvent(TEventUI& event) override;
    bool Activate() override;
    void PaintBkColor(QPainter& p) override;
    void SetText(const std::string& text) override;
    void SetVisible(bool visible = true) override;
    void ReloadText() override;
    bool Select(bool select = true, bool sendEvent = true) override;
};

class CListTextElementUI : public CListLabelElementUI {
  public:
    std::string_view GetClass() const override { return "ListTextElement"; }
    void* GetInterface(std::string_view name) override;
    // Column texts; column 0 is the element's text.
    std::string GetText(int column) const;
    void SetText(int column, const std::string& text);
    using CListLabelElementUI::GetText;
    using CListLabelElementUI::SetText;
    void PaintText(QPainter& p) override;

  private:
    std::vector<std::string> columns_;
};

class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
  public:
    CListContainerElementUI();
    std::string_view GetClass() const override { return "ListContainerElement"; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(TEventUI& event) override;
    bool Activate() override;
    void PaintBkColor(QPainter& p) override;
    bool Select(bool select = true, bool sendEvent = true) override;
};

class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
  public:
    CListUI();
    std::string_view GetClass() const override { return "List"; }
    void* GetInterface(std::string_view name) override;

    bool AddAt(CControlUI* child, int index) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;
    void RemoveAll() override;
    bool Remove(CControlUI* child, bool doNotDestroy = false) override;
    using CContainerUI::Add;

    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false, bool sendEvent = true) override;
    bool SelectMultiItem(int index, bool sendEvent = true) override;
    bool UnSelectItem(int index, bool others = false) override;
    bool IsMultiSelect() const override { return multiSelect_; }
    void SetMultiSelect(bool on) { multiSelect_ = on; }
    std::vector<int> GetSelectedItems() const;
    void EnsureVisible(int index);
    uint32_t ItemHotBkColor() const override { return hotBkColor_; }
    uint32_t ItemSelectedBkColor() const override { return selectedBkColor_; }
    uint32_t ItemHotBorderColor() const override { return hotBorderColor_; }
    void SetHotBkColor(uint32_t c) { hotBkColor_ = c; }
    CControlUI* OwnerControl() override { return this; }
    void SetAttribute(std::string_view name, std::string_view value) override;
    void DoEvent(TEventUI& event) override;
    void DoPaint(QPainter& p, const QRect& paint) override;

  private:
    void Reindex();
    int curSel_ = -1;
    bool multiSelect_ = false;
    uint32_t hotBkColor_ = 0x14FFFFFF;
    uint32_t selectedBkColor_ = 0x333DA5FF;
    uint32_t hotBorderColor_ = 0xFF3DA5FF;
};

IListItemUI* AsListItem(CControlUI* c);

}  // namespace ui
