#include "ui/Containers.h"

#include <algorithm>

#include "ui/Attr.h"
#include "ui/PaintManager.h"

namespace ui {

CContainerUI::~CContainerUI() {
    std::vector<CControlUI*> items;
    items.swap(items_);
    for (CControlUI* c : items)
        delete c;
}

void* CContainerUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "Container") || EqualsNoCase(name, "IContainer")) return this;
    return CControlUI::GetInterface(name);
}

bool CContainerUI::Add(CControlUI* child) {
    return AddAt(child, int(items_.size()));
}

bool CContainerUI::AddAt(CControlUI* child, int index) {
    UI_MARSHAL_RET(bool, AddAt(child, index));
    if (!child || index < 0 || index > int(items_.size())) return false;
    items_.insert(items_.begin() + index, child);
    child->SetManager(manager_, this, manager_ != nullptr && inited_);
    if (QWidget* w = child->WantsWidget() ? child->GetWidget() : nullptr) {
        // Keep the stacking order of widgets equal to the child order.
        for (size_t i = size_t(index) + 1; i < items_.size(); ++i) {
            if (items_[i]->WantsWidget() && items_[i]->GetWidget()) {
                w->stackUnder(items_[i]->GetWidget());
                break;
            }
        }
    }
    NeedUpdate();
    return true;
}

bool CContainerUI::Remove(CControlUI* child, bool doNotDestroy) {
    UI_MARSHAL_RET(bool, Remove(child, doNotDestroy));
    auto it = std::find(items_.begin(), items_.end(), child);
    if (it == items_.end()) return false;
    return RemoveAt(int(it - items_.begin()), doNotDestroy);
}

bool CContainerUI::RemoveAt(int index, bool doNotDestroy) {
    UI_MARSHAL_RET(bool, RemoveAt(index, doNotDestroy));
    if (index < 0 || index >= int(items_.size())) return false;
    CControlUI* child = items_[size_t(index)];
    items_.erase(items_.begin() + index);
    if (doNotDestroy) {
        if (QWidget* w = child->WantsWidget() ? child->GetWidget() : nullptr) {
            w->hide();
            w->setParent(nullptr);
        }
        child->SetManager(nullptr, nullptr, false);
    } else {
        delete child;
    }
    NeedUpdate();
    Invalidate();
    return true;
}

void CContainerUI::RemoveAll() {
    UI_MARSHAL_VOID(RemoveAll());
    std::vector<CControlUI*> items;
    items.swap(items_);
    for (CControlUI* c : items)
        delete c;
    scrollPos_ = 0;
    NeedUpdate();
    Invalidate();
}

int CContainerUI::GetCount() const {
    UI_MARSHAL_RET(int, GetCount());
    return int(items_.size());
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    UI_MARSHAL_RET(CControlUI*, GetItemAt(index));
    return index >= 0 && index < int(items_.size()) ? items_[size_t(index)] : nullptr;
}

int CContainerUI::GetItemIndex(CControlUI* child) const {
    auto it = std::find(items_.begin(), items_.end(), child);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

void CContainerUI::SetInset(QMargins m) {
    inset_ = m;
    NeedUpdate();
}

void CContainerUI::SetChildPadding(int p) {
    childPadding_ = p;
    NeedUpdate();
}

void CContainerUI::SetChildAlign(uint32_t align) {
    childAlign_ = align;
    NeedUpdate();
}

void CContainerUI::SetChildVAlign(int valign) {
    childVAlign_ = valign;
    NeedUpdate();
}

void CContainerUI::SetScrollPos(int pos) {
    UI_MARSHAL_VOID(SetScrollPos(pos));
    pos = std::clamp(pos, 0, std::max(0, scrollRange_));
    if (pos == scrollPos_) return;
    scrollPos_ = pos;
    LayoutChildren();
    Invalidate();
}

void CContainerUI::LineUp() {
    SetScrollPos(scrollPos_ - Scale(30));
}
void CContainerUI::LineDown() {
    SetScrollPos(scrollPos_ + Scale(30));
}

void CContainerUI::EnsureVisible(CControlUI* child) {
    UI_MARSHAL_VOID(EnsureVisible(child));
    if (!child || GetItemIndex(child) < 0) return;
    QRect inner = Inner();
    QRect r = child->GetPos();
    if (r.top() < inner.top())
        SetScrollPos(scrollPos_ - (inner.top() - r.top()));
    else if (r.bottom() > inner.bottom())
        SetScrollPos(scrollPos_ + (r.bottom() - inner.bottom()));
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    CControlUI::SetManager(manager, parent, false);
    for (CControlUI* c : items_)
        c->SetManager(manager, this, init);
    if (init && !inited_) Init();
}

CControlUI* CContainerUI::FindControl(const std::function<bool(CControlUI*)>& match) {
    if (match(this)) return this;
    for (CControlUI* c : items_)
        if (CControlUI* found = c->FindControl(match)) return found;
    return nullptr;
}

void CContainerUI::ForEach(const std::function<void(CControlUI*)>& fn) {
    fn(this);
    for (CControlUI* c : items_)
        c->ForEach(fn);
}

void CContainerUI::SetPos(const QRect& rc) {
    CControlUI::SetPos(rc);
    LayoutChildren();
}

void CContainerUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
}

void CContainerUI::SetAttribute(std::string_view name, std::string_view value) {
    using C = CContainerUI;
    static const AttrTable<C> table{
        {"inset", [](C& c, std::string_view v) { c.SetInset(ParseMargins(v)); }},
        {"childpadding", [](C& c, std::string_view v) { c.SetChildPadding(ParseInt(v)); }},
        {"childalign",
         [](C& c, std::string_view v) {
             c.SetChildAlign(EqualsNoCase(v, "center")  ? DT_CENTER
                             : EqualsNoCase(v, "right") ? DT_RIGHT
                                                        : DT_LEFT);
         }},
        {"childvalign",
         [](C& c, std::string_view v) {
             c.SetChildVAlign(EqualsNoCase(v, "vcenter")  ? kAlignVCenter
                              : EqualsNoCase(v, "bottom") ? kAlignBottom
                                                          : kAlignTop);
         }},
    };
    if (!table.Apply(*this, name, value)) CControlUI::SetAttribute(name, value);
}

void CContainerUI::DoPaint(QPainter& p, const QRect& paint) {
    if (!rect_.intersects(paint)) return;
    CControlUI::DoPaint(p, paint);
    // Painted children live inside this host's area.
    bool clipped = false;
    for (CControlUI* c : items_) {
        if (c->WantsWidget() || !c->IsVisible() || !c->GetPos().intersects(paint)) continue;
        if (!clipped) {
            p.save();
            p.setClipRect(Inner(), Qt::IntersectClip);
            clipped = true;
        }
        c->DoPaint(p, paint);
    }
    if (clipped) p.restore();
}

void CContainerUI::DoEvent(TEventUI& event) {
    if (scrollable_ && event.Type == UIEVENT_SCROLLWHEEL) {
        event.wParam == 0 ? LineUp() : LineDown();
        return;
    }
    CControlUI::DoEvent(event);
}

CControlUI* CContainerUI::FindPaintedChildAt(const QPoint& pt) {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        CControlUI* c = *it;
        if (c->WantsWidget() || !c->IsVisible() || !c->GetPos().contains(pt)) continue;
        if (c->IsMouseChildEnabled())
            if (CControlUI* deeper = c->FindPaintedChildAt(pt)) return deeper;
        if (c->IsMouseEnabled()) return c;
    }
    return nullptr;
}

QRect CContainerUI::Inner() const {
    return rect_.marginsRemoved(QMargins(Scale(inset_.left()), Scale(inset_.top()),
                                         Scale(inset_.right()), Scale(inset_.bottom())));
}

QRect CContainerUI::FloatRect(CControlUI* child) const {
    QRect pos = child->GetFloatPos();
    int w = pos.width() > 0 ? Scale(pos.width()) : Scale(child->GetFixedWidth());
    int h = pos.height() > 0 ? Scale(pos.height()) : Scale(child->GetFixedHeight());
    return QRect(rect_.left() + Scale(pos.left()), rect_.top() + Scale(pos.top()), w, h);
}

void CContainerUI::LayoutChildren() {
    LayoutPlain();
}

void CContainerUI::LayoutPlain() {
    QRect inner = Inner();
    for (CControlUI* c : items_) {
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            c->SetPos(FloatRect(c));
            continue;
        }
        QMargins pad = c->GetPadding();
        QRect r = inner.marginsRemoved(
            QMargins(Scale(pad.left()), Scale(pad.top()), Scale(pad.right()), Scale(pad.bottom())));
        if (c->GetFixedWidth() > 0) r.setWidth(Scale(c->GetFixedWidth()));
        if (c->GetFixedHeight() > 0) r.setHeight(Scale(c->GetFixedHeight()));
        c->SetPos(r);
    }
}

namespace {

// Length of a child along the layout axis and across it, in pixels.
struct Extent {
    int along = 0;   // 0: stretch
    int across = 0;  // 0: fill
    int minAlong = 0;
    int maxAlong = 0;
    int padBefore = 0;  // along the axis
    int padAfter = 0;
    int padStart = 0;  // across the axis
    int padEnd = 0;
};

}  // namespace

void CContainerUI::LayoutLinear(Axis axis) {
    const bool vertical = axis == Axis::Vertical;
    QRect inner = Inner();
    const int length = vertical ? inner.height() : inner.width();
    const int breadth = vertical ? inner.width() : inner.height();
    std::vector<CControlUI*> flow;
    std::vector<Extent> ext;
    int fixedSum = 0;
    int stretchCount = 0;
    for (CControlUI* c : items_) {
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            c->SetPos(FloatRect(c));
            continue;
        }
        QMargins pad = c->GetPadding();
        Extent e;
        e.along = Scale(vertical ? c->GetFixedHeight() : c->GetFixedWidth());
        e.across = Scale(vertical ? c->GetFixedWidth() : c->GetFixedHeight());
        e.minAlong = Scale(vertical ? c->GetMinHeight() : c->GetMinWidth());
        e.maxAlong = Scale(vertical ? c->GetMaxHeight() : c->GetMaxWidth());
        e.padBefore = Scale(vertical ? pad.top() : pad.left());
        e.padAfter = Scale(vertical ? pad.bottom() : pad.right());
        e.padStart = Scale(vertical ? pad.left() : pad.top());
        e.padEnd = Scale(vertical ? pad.right() : pad.bottom());
        if (e.along == 0 && scrollable_) e.along = std::max(e.minAlong, Scale(30));
        if (e.along == 0) ++stretchCount;
        fixedSum += e.along + e.padBefore + e.padAfter;
        flow.push_back(c);
        ext.push_back(e);
    }
    if (!flow.empty()) fixedSum += Scale(childPadding_) * int(flow.size() - 1);
    int remain = length - fixedSum;
    if (scrollable_) {
        scrollRange_ = std::max(0, -remain);
        scrollPos_ = std::clamp(scrollPos_, 0, scrollRange_);
    }
    int stretch = stretchCount > 0 ? std::max(0, remain / stretchCount) : 0;
    int pos = vertical ? inner.top() : inner.left();
    if (stretchCount == 0 && remain > 0 && !scrollable_) {
        int align = vertical ? childVAlign_
                             : (childAlign_ == DT_CENTER  ? kAlignVCenter
                                : childAlign_ == DT_RIGHT ? kAlignBottom
                                                          : kAlignTop);
        if (align == kAlignVCenter) pos += remain / 2;
        if (align == kAlignBottom) pos += remain;
    }
    pos -= scrollPos_;
    int stretchLeft = stretchCount;
    int stretchSpace = std::max(0, remain);
    for (size_t i = 0; i < flow.size(); ++i) {
        const Extent& e = ext[i];
        int along = e.along;
        if (along == 0) {
            // The last stretching child takes the rounding remainder.
            along = --stretchLeft == 0 ? stretchSpace : stretch;
            stretchSpace -= along;
            along = std::max(along, e.minAlong);
            if (e.maxAlong > 0) along = std::min(along, e.maxAlong);
        }
        int room = breadth - e.padStart - e.padEnd;
        int across = e.across > 0 ? std::min(e.across, std::max(0, room)) : room;
        int start = (vertical ? inner.left() : inner.top()) + e.padStart;
        int crossAlign = vertical ? (childAlign_ == DT_CENTER  ? kAlignVCenter
                                     : childAlign_ == DT_RIGHT ? kAlignBottom
                                                               : kAlignTop)
                                  : childVAlign_;
        if (crossAlign == kAlignVCenter) start += (room - across) / 2;
        if (crossAlign == kAlignBottom) start += room - across;
        pos += e.padBefore;
        QRect r = vertical ? QRect(start, pos, across, along) : QRect(pos, start, along, across);
        flow[i]->SetPos(r);
        pos += along + e.padAfter + Scale(childPadding_);
    }
}

void* CVerticalLayoutUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "VerticalLayout")) return this;
    return CContainerUI::GetInterface(name);
}

void* CHorizontalLayoutUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "HorizontalLayout")) return this;
    return CContainerUI::GetInterface(name);
}

// ---- CTabLayoutUI ----------------------------------------------------------

void* CTabLayoutUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "TabLayout")) return this;
    return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* child) {
    return AddAt(child, int(items_.size()));
}

bool CTabLayoutUI::AddAt(CControlUI* child, int index) {
    UI_MARSHAL_RET(bool, AddAt(child, index));
    if (!CContainerUI::AddAt(child, index)) return false;
    if (curSel_ < 0 && int(items_.size()) - 1 >= initialSel_)
        curSel_ = initialSel_;
    else if (curSel_ >= index && int(items_.size()) > 1)
        ++curSel_;
    ApplySelection();
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* child, bool doNotDestroy) {
    UI_MARSHAL_RET(bool, Remove(child, doNotDestroy));
    int index = GetItemIndex(child);
    if (!CContainerUI::Remove(child, doNotDestroy)) return false;
    if (index < curSel_ || curSel_ >= int(items_.size())) --curSel_;
    if (curSel_ < 0 && !items_.empty()) curSel_ = 0;
    ApplySelection();
    return true;
}

void CTabLayoutUI::RemoveAll() {
    CContainerUI::RemoveAll();
    curSel_ = -1;
}

int CTabLayoutUI::GetCurSel() const {
    UI_MARSHAL_RET(int, GetCurSel());
    return curSel_;
}

bool CTabLayoutUI::SelectItem(int index, bool triggerEvent) {
    UI_MARSHAL_RET(bool, SelectItem(index, triggerEvent));
    if (index < 0 || index >= int(items_.size())) return false;
    if (index == curSel_) return true;
    int old = curSel_;
    curSel_ = index;
    ApplySelection();
    NeedUpdate();
    (void)old;
    (void)triggerEvent;
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* page, bool triggerEvent) {
    return SelectItem(GetItemIndex(page), triggerEvent);
}

void CTabLayoutUI::ApplySelection() {
    for (size_t i = 0; i < items_.size(); ++i)
        items_[i]->SetVisible(int(i) == curSel_);
}

void CTabLayoutUI::SetAttribute(std::string_view name, std::string_view value) {
    if (EqualsNoCase(name, "selectedid")) {
        initialSel_ = ParseInt(value);
        if (initialSel_ < int(items_.size())) SelectItem(initialSel_, false);
        return;
    }
    CContainerUI::SetAttribute(name, value);
}

}  // namespace ui
