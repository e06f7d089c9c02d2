#include "ui/List.h"

#include <algorithm>

#include "ui/Attr.h"
#include "ui/PaintManager.h"

namespace ui {

IListItemUI* AsListItem(CControlUI* c) {
    return dynamic_cast<IListItemUI*>(c);
}

bool IListItemUI::Select(bool select, bool sendEvent) {
    if (selected_ == select) return true;
    if (select && owner_) return owner_->SelectItem(index_, false, sendEvent);
    selected_ = select;
    if (!select && owner_ && owner_->GetCurSel() == index_) owner_->UnSelectItem(index_);
    return true;
}

bool IListItemUI::SelectMulti(bool select) {
    if (!owner_) return false;
    return select ? owner_->SelectMultiItem(index_) : owner_->UnSelectItem(index_);
}

bool IListItemUI::HandleItemEvent(CControlUI& self, TEventUI& event) {
    const bool mouse = event.Type == UIEVENT_BUTTONDOWN || event.Type == UIEVENT_BUTTONUP ||
                       event.Type == UIEVENT_DBLCLICK || event.Type == UIEVENT_MOUSEMOVE ||
                       event.Type == UIEVENT_RBUTTONDOWN || event.Type == UIEVENT_SCROLLWHEEL;
    if (mouse && !self.IsMouseEnabled()) {
        if (owner_) owner_->OwnerControl()->DoEvent(event);
        return true;
    }
    switch (event.Type) {
        case UIEVENT_DBLCLICK:
            if (self.IsEnabled()) self.Activate();
            return true;
        case UIEVENT_KEYDOWN:
            if (event.chKey == VK_RETURN && self.IsEnabled()) {
                self.Activate();
                return true;
            }
            return false;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_RBUTTONDOWN:
            if (self.IsEnabled() && owner_) {
                if ((event.wKeyState & MK_CONTROL) && owner_->IsMultiSelect())
                    selected_ ? owner_->UnSelectItem(index_) : owner_->SelectMultiItem(index_);
                else
                    owner_->SelectItem(index_, true, true);
            }
            return true;
        case UIEVENT_BUTTONUP:
            if (self.IsEnabled()) self.SendNotify("itemclick");
            return true;
        case UIEVENT_MOUSEMOVE:
            return true;
        case UIEVENT_MOUSEENTER:
            hot_ = self.IsEnabled();
            self.Invalidate();
            return true;
        case UIEVENT_MOUSELEAVE:
            hot_ = false;
            self.Invalidate();
            return true;
        case UIEVENT_SCROLLWHEEL:
            if (owner_) owner_->OwnerControl()->DoEvent(event);
            return true;
        default:
            return false;
    }
}

void IListItemUI::PaintItemBk(CControlUI& self, QPainter& p) {
    uint32_t color = 0;
    if (selected_ && owner_)
        color = owner_->ItemSelectedBkColor();
    else if (hot_ && owner_)
        color = owner_->ItemHotBkColor();
    if ((color >> 24) == 0) return;
    p.fillRect(self.GetPos(), ToQColor(color));
}

// ---- CListLabelElementUI ---------------------------------------------------

CListLabelElementUI::CListLabelElementUI() {
    fixedH_ = 30;
    textPadding_ = QMargins(10, 0, 10, 0);
}

void* CListLabelElementUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "ListLabelElement") || EqualsNoCase(name, "ListItem")) return this;
    return CLabelUI::GetInterface(name);
}

bool CListLabelElementUI::WantsWidget() const {
    return !(owner_ && owner_->OwnerControl()->GetInterface("Combo"));
}

void CListLabelElementUI::DoEvent(TEventUI& event) {
    if (!HandleItemEvent(*this, event)) CLabelUI::DoEvent(event);
}

bool CListLabelElementUI::Activate() {
    if (!CControlUI::Activate()) return false;
    SendNotify("itemactivate");
    return true;
}

void CListLabelElementUI::PaintBkColor(QPainter& p) {
    CLabelUI::PaintBkColor(p);
    PaintItemBk(*this, p);
}

void CListLabelElementUI::SetText(const std::string& text) {
    UI_MARSHAL_VOID(SetText(text));
    CLabelUI::SetText(text);
    if (owner_) owner_->OnItemChanged(this);
}

void CListLabelElementUI::SetVisible(bool visible) {
    UI_MARSHAL_VOID(SetVisible(visible));
    CLabelUI::SetVisible(visible);
    if (owner_) owner_->OnItemChanged(this);
}

void CListLabelElementUI::ReloadText() {
    CLabelUI::ReloadText();
    if (resourceText_ && owner_) owner_->OnItemChanged(this);
}

bool CListLabelElementUI::Select(bool select, bool sendEvent) {
    bool r = IListItemUI::Select(select, sendEvent);
    Invalidate();
    return r;
}

// ---- CListTextElementUI ----------------------------------------------------

void* CListTextElementUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "ListTextElement")) return this;
    return CListLabelElementUI::GetInterface(name);
}

std::string CListTextElementUI::GetText(int column) const {
    UI_MARSHAL_RET(std::string, GetText(column));
    if (column == 0) return CListLabelElementUI::GetText();
    return column > 0 && size_t(column) < columns_.size() ? columns_[size_t(column)]
                                                          : std::string();
}

void CListTextElementUI::SetText(int column, const std::string& text) {
    UI_MARSHAL_VOID(SetText(column, text));
    if (column < 0) return;
    if (column == 0) {
        CListLabelElementUI::SetText(text);
        return;
    }
    if (columns_.size() <= size_t(column)) columns_.resize(size_t(column) + 1);
    columns_[size_t(column)] = text;
    Invalidate();
}

void CListTextElementUI::PaintText(QPainter& p) {
    if (columns_.size() <= 1) {
        CListLabelElementUI::PaintText(p);
        return;
    }
    int n = int(columns_.size());
    int w = rect_.width() / n;
    for (int i = 0; i < n; ++i) {
        QRect r(rect_.left() + i * w, rect_.top(), w, rect_.height());
        std::string t = i == 0 ? DisplayText() : columns_[size_t(i)];
        DrawText(p, r, t, textColor_, textStyle_ | DT_END_ELLIPSIS);
    }
}

// ---- CListContainerElementUI -----------------------------------------------

CListContainerElementUI::CListContainerElementUI() {
    fixedH_ = 30;
}

void* CListContainerElementUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "ListContainerElement") || EqualsNoCase(name, "ListItem")) return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

void CListContainerElementUI::DoEvent(TEventUI& event) {
    if (!HandleItemEvent(*this, event)) CHorizontalLayoutUI::DoEvent(event);
}

bool CListContainerElementUI::Activate() {
    if (!CControlUI::Activate()) return false;
    SendNotify("itemactivate");
    return true;
}

void CListContainerElementUI::PaintBkColor(QPainter& p) {
    CHorizontalLayoutUI::PaintBkColor(p);
    PaintItemBk(*this, p);
}

bool CListContainerElementUI::Select(bool select, bool sendEvent) {
    bool r = IListItemUI::Select(select, sendEvent);
    Invalidate();
    return r;
}

// ---- CListUI ---------------------------------------------------------------

CListUI::CListUI() {
    scrollable_ = true;
    bkColor_ = 0xFF22262E;
}

void* CListUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "List")) return this;
    return CVerticalLayoutUI::GetInterface(name);
}

bool CListUI::AddAt(CControlUI* child, int index) {
    UI_MARSHAL_RET(bool, AddAt(child, index));
    IListItemUI* item = AsListItem(child);
    if (item) item->SetOwner(this);
    if (!CVerticalLayoutUI::AddAt(child, index)) return false;
    if (curSel_ >= index && curSel_ >= 0 && index < int(items_.size()) - 1) ++curSel_;
    Reindex();
    return true;
}

bool CListUI::Remove(CControlUI* child, bool doNotDestroy) {
    UI_MARSHAL_RET(bool, Remove(child, doNotDestroy));
    int index = GetItemIndex(child);
    return index >= 0 && RemoveAt(index, doNotDestroy);
}

bool CListUI::RemoveAt(int index, bool doNotDestroy) {
    UI_MARSHAL_RET(bool, RemoveAt(index, doNotDestroy));
    if (!CVerticalLayoutUI::RemoveAt(index, doNotDestroy)) return false;
    if (index == curSel_)
        curSel_ = -1;
    else if (index < curSel_)
        --curSel_;
    Reindex();
    return true;
}

void CListUI::RemoveAll() {
    UI_MARSHAL_VOID(RemoveAll());
    curSel_ = -1;
    CVerticalLayoutUI::RemoveAll();
}

void CListUI::Reindex() {
    for (size_t i = 0; i < items_.size(); ++i)
        if (IListItemUI* item = AsListItem(items_[i])) item->SetIndex(int(i));
}

int CListUI::GetCurSel() const {
    UI_MARSHAL_RET(int, GetCurSel());
    return curSel_;
}

namespace {
struct SelectionAccess {
    static void Set(IListItemUI* item, CControlUI* c, bool on) {
        item->SetSelectedState(on);
        c->Invalidate();
    }
};
}  // namespace

bool CListUI::SelectItem(int index, bool takeFocus, bool sendEvent) {
    UI_MARSHAL_RET(bool, SelectItem(index, takeFocus, sendEvent));
    if (index < -1 || index >= int(items_.size())) return false;
    int old = curSel_;
    for (size_t i = 0; i < items_.size(); ++i) {
        IListItemUI* item = AsListItem(items_[i]);
        if (item && int(i) != index && item->IsSelected())
            SelectionAccess::Set(item, items_[i], false);
    }
    if (index >= 0) {
        IListItemUI* item = AsListItem(items_[size_t(index)]);
        if (!item) return false;
        SelectionAccess::Set(item, items_[size_t(index)], true);
        EnsureVisible(index);
        if (takeFocus) items_[size_t(index)]->SetFocus();
    }
    curSel_ = index;
    if (sendEvent && old != index) SendNotify("itemselect", WPARAM(index), LPARAM(old));
    return true;
}

bool CListUI::SelectMultiItem(int index, bool sendEvent) {
    UI_MARSHAL_RET(bool, SelectMultiItem(index, sendEvent));
    if (!multiSelect_) return SelectItem(index, false, sendEvent);
    if (index < 0 || index >= int(items_.size())) return false;
    IListItemUI* item = AsListItem(items_[size_t(index)]);
    if (!item) return false;
    int old = curSel_;
    SelectionAccess::Set(item, items_[size_t(index)], true);
    curSel_ = index;
    if (sendEvent) SendNotify("itemselect", WPARAM(index), LPARAM(old));
    return true;
}

bool CListUI::UnSelectItem(int index, bool others) {
    UI_MARSHAL_RET(bool, UnSelectItem(index, others));
    for (size_t i = 0; i < items_.size(); ++i) {
        bool target = others ? int(i) != index : int(i) == index;
        IListItemUI* item = AsListItem(items_[i]);
        if (target && item && item->IsSelected()) SelectionAccess::Set(item, items_[i], false);
    }
    if (!others && index == curSel_) {
        curSel_ = -1;
        for (size_t i = 0; i < items_.size(); ++i)
            if (IListItemUI* item = AsListItem(items_[i]); item && item->IsSelected())
                curSel_ = int(i);
    }
    return true;
}

std::vector<int> CListUI::GetSelectedItems() const {
    std::vector<int> out;
    for (size_t i = 0; i < items_.size(); ++i)
        if (IListItemUI* item = AsListItem(items_[i]); item && item->IsSelected())
            out.push_back(int(i));
    return out;
}

void CListUI::EnsureVisible(int index) {
    UI_MARSHAL_VOID(EnsureVisible(index));
    if (index < 0 || index >= int(items_.size())) return;
    if (manager_ && manager_->IsLayoutPending()) manager_->DoLayout();
    CContainerUI::EnsureVisible(items_[size_t(index)]);
}

void CListUI::SetAttribute(std::string_view name, std::string_view value) {
    using C = CListUI;
    static const AttrTable<C> table{
        {"multiselect", [](C& c, std::string_view v) { c.multiSelect_ = ParseBool(v); }},
        {"itemhotbkcolor", [](C& c, std::string_view v) { c.hotBkColor_ = ParseColor(v); }},
        {"hotcolor", [](C& c, std::string_view v) { c.hotBorderColor_ = ParseColor(v); }},
        {"itemselectedbkcolor",
         [](C& c, std::string_view v) { c.selectedBkColor_ = ParseColor(v); }},
    };
    if (!table.Apply(*this, name, value)) CVerticalLayoutUI::SetAttribute(name, value);
}

void CListUI::DoEvent(TEventUI& event) {
    CVerticalLayoutUI::DoEvent(event);
}

void CListUI::DoPaint(QPainter& p, const QRect& paint) {
    CVerticalLayoutUI::DoPaint(p, paint);
    if (scrollRange_ <= 0) return;
    // A slim position indicator on the right edge.
    QRect inner = Inner();
    int total = inner.height() + scrollRange_;
    int h = std::max(Scale(20), inner.height() * inner.height() / std::max(1, total));
    int y = inner.top() + (inner.height() - h) * scrollPos_ / std::max(1, scrollRange_);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRoundedRect(QRect(inner.right() - Scale(4), y, Scale(3), h), 1.5, 1.5);
    p.restore();
}

}  // namespace ui
