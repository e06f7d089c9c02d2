#pragma once
// Containers: a plain container (children fill it or float at a position),
// vertical and horizontal layouts, and the tab layout (one child shown).
#include <vector>

#include "ui/Control.h"

namespace ui {

class CContainerUI : public CControlUI {
  public:
    CContainerUI() = default;
    ~CContainerUI() override;

    std::string_view GetClass() const override { return "Container"; }
    void* GetInterface(std::string_view name) override;

    // Children. Remove deletes the child unless doNotDestroy is set.
    virtual bool Add(CControlUI* child);
    virtual bool AddAt(CControlUI* child, int index);
    virtual bool Remove(CControlUI* child, bool doNotDestroy = false);
    virtual bool RemoveAt(int index, bool doNotDestroy = false);
    virtual void RemoveAll();
    int GetCount() const;
    CControlUI* GetItemAt(int index) const;
    int GetItemIndex(CControlUI* child) const;
    const std::vector<CControlUI*>& Children() const { return items_; }

    QMargins GetInset() const { return inset_; }
    void SetInset(QMargins m);
    int GetChildPadding() const { return childPadding_; }
    void SetChildPadding(int p);
    // Alignment of children across / along the layout direction.
    void SetChildAlign(uint32_t align);  // DT_LEFT, DT_CENTER, DT_RIGHT
    void SetChildVAlign(int valign);     // kAlignTop, kAlignVCenter, kAlignBottom
    int GetChildVAlign() const { return childVAlign_; }

    // Scrolling (used by lists): the content offset in pixels.
    int GetScrollPos() const { return scrollPos_; }
    virtual void SetScrollPos(int pos);
    int GetScrollRange() const { return scrollRange_; }
    void LineUp();
    void LineDown();
    void ScrollToTop() { SetScrollPos(0); }
    void ScrollToEnd() { SetScrollPos(scrollRange_); }
    void EnsureVisible(CControlUI* child);

    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    CControlUI* FindControl(const std::function<bool(CControlUI*)>& match) override;
    void ForEach(const std::function<void(CControlUI*)>& fn) override;
    void SetPos(const QRect& rc) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void DoPaint(QPainter& p, const QRect& paint) override;
    void DoEvent(TEventUI& event) override;
    CControlUI* FindPaintedChildAt(const QPoint& pt) override;
    void SetVisible(bool visible = true) override;

    // Lays the children out inside the current rectangle.
    virtual void LayoutChildren();

  protected:
    enum class Axis { None, Vertical, Horizontal };
    void LayoutLinear(Axis axis);
    void LayoutPlain();
    QRect FloatRect(CControlUI* child) const;
    QRect Inner() const;

    std::vector<CControlUI*> items_;
    QMargins inset_;
    int childPadding_ = 0;
    uint32_t childAlign_ = DT_LEFT;
    int childVAlign_ = kAlignTop;
    bool scrollable_ = false;
    int scrollPos_ = 0;
    int scrollRange_ = 0;
};

class CVerticalLayoutUI : public CContainerUI {
  public:
    std::string_view GetClass() const override { return "VerticalLayout"; }
    void* GetInterface(std::string_view name) override;
    void LayoutChildren() override { LayoutLinear(Axis::Vertical); }
};

class CHorizontalLayoutUI : public CContainerUI {
  public:
    std::string_view GetClass() const override { return "HorizontalLayout"; }
    void* GetInterface(std::string_view name) override;
    void LayoutChildren() override { LayoutLinear(Axis::Horizontal); }
};

class CTabLayoutUI : public CContainerUI {
  public:
    std::string_view GetClass() const override { return "TabLayout"; }
    void* GetInterface(std::string_view name) override;

    bool Add(CControlUI* child) override;
    bool AddAt(CControlUI* child, int index) override;
    bool Remove(CControlUI* child, bool doNotDestroy = false) override;
    void RemoveAll() override;
    int GetCurSel() const;
    // Shows the page at index; false for an index out of range.
    virtual bool SelectItem(int index, bool triggerEvent = true);
    bool SelectItem(CControlUI* page, bool triggerEvent = true);
    void SetAttribute(std::string_view name, std::string_view value) override;

  private:
    void ApplySelection();
    int curSel_ = -1;
    int initialSel_ = 0;
};

}  // namespace ui
