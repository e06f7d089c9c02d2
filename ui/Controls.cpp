#include "ui/Controls.h"

#include <QLinearGradient>
#include <algorithm>

#include "ui/Attr.h"
#include "ui/Containers.h"
#include "ui/PaintManager.h"
#include "ui/Resources.h"

namespace ui {

namespace {
constexpr uint32_t kAccent = 0xFF3DA5FF;
constexpr uint32_t kSurface = 0xFF2B303B;
}  // namespace

void* CLabelUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "Label")) return this;
    return CControlUI::GetInterface(name);
}

void* CTextUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "Text")) return this;
    return CLabelUI::GetInterface(name);
}

// ---- CButtonUI -------------------------------------------------------------

CButtonUI::CButtonUI() {
    textStyle_ = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    bkColor_ = kSurface;
    borderRound_ = 6;
}

void* CButtonUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "Button")) return this;
    return CLabelUI::GetInterface(name);
}

bool CButtonUI::Activate() {
    if (!CControlUI::Activate()) return false;
    SendNotify("click");
    return true;
}

bool CButtonUI::IsMouseEvent(int type) const {
    return type == UIEVENT_BUTTONDOWN || type == UIEVENT_BUTTONUP || type == UIEVENT_DBLCLICK ||
           type == UIEVENT_MOUSEMOVE;
}

void CButtonUI::DoEvent(TEventUI& event) {
    if (!mouseEnabled_ && IsMouseEvent(event.Type)) {
        if (parent_) parent_->DoEvent(event);
        return;
    }
    const bool inside = rect_.contains(event.ptMouse);
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (inside && IsEnabled()) {
                state_ |= UISTATE_PUSHED | UISTATE_CAPTURED;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSEMOVE:
            if (state_ & UISTATE_CAPTURED) {
                uint32_t old = state_;
                state_ = inside ? (state_ | UISTATE_PUSHED) : (state_ & ~UISTATE_PUSHED);
                if (old != state_) Invalidate();
                return;
            }
            break;
        case UIEVENT_BUTTONUP:
            if (state_ & UISTATE_CAPTURED) {
                state_ &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
                Invalidate();
                if (inside) Activate();  // may delete this control
            }
            return;
        case UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                state_ |= UISTATE_HOT;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            state_ &= ~UISTATE_HOT;
            Invalidate();
            return;
        case UIEVENT_KEYDOWN:
            if (event.chKey == VK_SPACE || event.chKey == VK_RETURN) {
                Activate();
                return;
            }
            break;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetNormalImage(const std::string& s) {
    UI_MARSHAL_VOID(SetNormalImage(s));
    normalImage_ = s;
    Invalidate();
}
void CButtonUI::SetHotImage(const std::string& s) {
    UI_MARSHAL_VOID(SetHotImage(s));
    hotImage_ = s;
    Invalidate();
}
void CButtonUI::SetPushedImage(const std::string& s) {
    UI_MARSHAL_VOID(SetPushedImage(s));
    pushedImage_ = s;
    Invalidate();
}
void CButtonUI::SetDisabledImage(const std::string& s) {
    UI_MARSHAL_VOID(SetDisabledImage(s));
    disabledImage_ = s;
    Invalidate();
}

void CButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    using C = CButtonUI;
    static const AttrTable<C> table{
        {"normalimage", [](C& c, std::string_view v) { c.normalImage_ = Str(v); }},
        {"hotimage", [](C& c, std::string_view v) { c.hotImage_ = Str(v); }},
        {"pushedimage", [](C& c, std::string_view v) { c.pushedImage_ = Str(v); }},
        {"disabledimage", [](C& c, std::string_view v) { c.disabledImage_ = Str(v); }},
        {"focusedimage", [](C& c, std::string_view v) { c.focusedImage_ = Str(v); }},
        {"hotbkcolor", [](C& c, std::string_view v) { c.hotBkColor_ = ParseColor(v); }},
        {"pushedbkcolor", [](C& c, std::string_view v) { c.pushedBkColor_ = ParseColor(v); }},
        {"disabledbkcolor", [](C& c, std::string_view v) { c.disabledBkColor_ = ParseColor(v); }},
        {"hottextcolor", [](C& c, std::string_view v) { c.hotTextColor_ = ParseColor(v); }},
        {"pushedtextcolor", [](C& c, std::string_view v) { c.pushedTextColor_ = ParseColor(v); }},
        {"borderround", [](C& c, std::string_view v) { c.borderRound_ = ParseInt(v); }},
    };
    if (!table.Apply(*this, name, value)) CLabelUI::SetAttribute(name, value);
    Invalidate();
}

void CButtonUI::PaintBkColor(QPainter& p) {
    uint32_t color = bkColor_;
    uint32_t overlay = 0;
    if (!IsEnabled()) {
        if (disabledBkColor_) color = disabledBkColor_;
    } else if (state_ & UISTATE_PUSHED) {
        if (pushedBkColor_)
            color = pushedBkColor_;
        else
            overlay = 0x30000000;
    } else if (state_ & UISTATE_HOT) {
        if (hotBkColor_)
            color = hotBkColor_;
        else
            overlay = 0x1CFFFFFF;
    }
    if ((color >> 24) == 0 && !overlay) return;
    uint32_t saved = bkColor_;
    bkColor_ = color;
    CControlUI::PaintBkColor(p);
    if (overlay && (color >> 24) != 0) {
        bkColor_ = overlay;
        CControlUI::PaintBkColor(p);
    }
    bkColor_ = saved;
}

void CButtonUI::PaintStatusImage(QPainter& p) {
    if (!IsEnabled() && DrawImage(p, disabledImage_, rect_)) return;
    if ((state_ & UISTATE_PUSHED) && DrawImage(p, pushedImage_, rect_)) return;
    if ((state_ & UISTATE_HOT) && DrawImage(p, hotImage_, rect_)) return;
    if (focused_ && DrawImage(p, focusedImage_, rect_)) return;
    DrawImage(p, normalImage_, rect_);
}

void CButtonUI::PaintText(QPainter& p) {
    std::string text = DisplayText();
    if (text.empty()) return;
    uint32_t color = textColor_;
    if (!IsEnabled())
        color = disabledTextColor_;
    else if ((state_ & UISTATE_PUSHED) && pushedTextColor_)
        color = pushedTextColor_;
    else if ((state_ & UISTATE_HOT) && hotTextColor_)
        color = hotTextColor_;
    DrawText(p, rect_, text, color, textStyle_);
}

// ---- COptionUI -------------------------------------------------------------

COptionUI::~COptionUI() = default;

void* COptionUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "Option")) return this;
    return CButtonUI::GetInterface(name);
}

bool COptionUI::IsSelected() const {
    UI_MARSHAL_RET(bool, IsSelected());
    return selected_;
}

void COptionUI::SetGroup(const std::string& group) {
    UI_MARSHAL_VOID(SetGroup(group));
    group_ = group;
}

void COptionUI::SetSelectedImage(const std::string& s) {
    UI_MARSHAL_VOID(SetSelectedImage(s));
    selectedImage_ = s;
    Invalidate();
}

void COptionUI::SetSelectedBkColor(uint32_t c) {
    UI_MARSHAL_VOID(SetSelectedBkColor(c));
    selectedBkColor_ = c;
    Invalidate();
}

bool COptionUI::Activate() {
    LifeWatch watch = Life();
    if (!CButtonUI::Activate()) return false;
    if (watch.expired()) return true;
    Selected(group_.empty() ? !selected_ : true);
    return true;
}

void COptionUI::Selected(bool selected, bool triggerEvent) {
    UI_MARSHAL_VOID(Selected(selected, triggerEvent));
    if (selected_ == selected) return;
    selected_ = selected;
    LifeWatch watch = Life();
    if (selected_ && !group_.empty() && manager_ && manager_->GetRoot()) {
        std::vector<COptionUI*> others;
        manager_->GetRoot()->ForEach([&](CControlUI* c) {
            auto* o = dynamic_cast<COptionUI*>(c);
            if (o && o != this && o->selected_ && o->group_ == group_) others.push_back(o);
        });
        for (COptionUI* o : others)
            o->Selected(false, triggerEvent);
    }
    if (watch.expired()) return;
    if (selected_) ApplyTabBinding();
    Invalidate();
    if (triggerEvent) SendNotify("selectchanged");
}

void COptionUI::ApplyTabBinding() {
    if (bindTab_.empty() || bindIndex_ < 0 || !manager_) return;
    if (auto* tab = dynamic_cast<CTabLayoutUI*>(manager_->FindControl(bindTab_)))
        tab->SelectItem(bindIndex_);
}

void COptionUI::SetAttribute(std::string_view name, std::string_view value) {
    using C = COptionUI;
    static const AttrTable<C> table{
        {"group", [](C& c, std::string_view v) { c.group_ = Str(v); }},
        {"selected", [](C& c, std::string_view v) { c.Selected(ParseBool(v), false); }},
        {"selectedimage", [](C& c, std::string_view v) { c.selectedImage_ = Str(v); }},
        {"selectedhotimage", [](C& c, std::string_view v) { c.selectedHotImage_ = Str(v); }},
        {"selectedbkcolor", [](C& c, std::string_view v) { c.selectedBkColor_ = ParseColor(v); }},
        {"selectedtextcolor",
         [](C& c, std::string_view v) { c.selectedTextColor_ = ParseColor(v); }},
        {"bindtab", [](C& c, std::string_view v) { c.bindTab_ = Str(v); }},
        {"bindtabindex", [](C& c, std::string_view v) { c.bindIndex_ = ParseInt(v, -1); }},
    };
    if (!table.Apply(*this, name, value)) CButtonUI::SetAttribute(name, value);
}

void COptionUI::PaintBkColor(QPainter& p) {
    if (selected_) {
        uint32_t saved = bkColor_;
        uint32_t savedHot = hotBkColor_;
        bkColor_ = selectedBkColor_ ? selectedBkColor_ : saved;
        hotBkColor_ = 0;
        CButtonUI::PaintBkColor(p);
        bkColor_ = saved;
        hotBkColor_ = savedHot;
        return;
    }
    CButtonUI::PaintBkColor(p);
}

void COptionUI::PaintStatusImage(QPainter& p) {
    if (selected_) {
        if ((state_ & UISTATE_HOT) && DrawImage(p, selectedHotImage_, rect_)) return;
        if (DrawImage(p, selectedImage_, rect_)) return;
    }
    CButtonUI::PaintStatusImage(p);
}

void COptionUI::PaintText(QPainter& p) {
    if (selected_ && selectedTextColor_) {
        uint32_t saved = textColor_;
        textColor_ = selectedTextColor_;
        uint32_t savedHot = hotTextColor_;
        hotTextColor_ = 0;
        CButtonUI::PaintText(p);
        textColor_ = saved;
        hotTextColor_ = savedHot;
        return;
    }
    CButtonUI::PaintText(p);
}

// ---- CCheckBoxUI -----------------------------------------------------------

void* CCheckBoxUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "CheckBox")) return this;
    return COptionUI::GetInterface(name);
}

bool CCheckBoxUI::Activate() {
    LifeWatch watch = Life();
    if (!CButtonUI::Activate()) return false;
    if (watch.expired()) return true;
    Selected(!selected_);
    if (!watch.expired()) SendNotify("checkclick");
    return true;
}

// Without images a check box draws its own box at the left.
void CCheckBoxUI::PaintStatusImage(QPainter& p) {
    if (!normalImage_.empty() || !selectedImage_.empty()) {
        COptionUI::PaintStatusImage(p);
        return;
    }
    int box = std::min(rect_.height() - 4, Scale(16));
    QRect r(rect_.left() + Scale(2), rect_.center().y() - box / 2, box, box);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ToQColor(selected_ ? kAccent : 0xFF6B7280), 1.5));
    p.setBrush(selected_ ? ToQColor(kAccent) : Qt::NoBrush);
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    if (selected_) {
        QPen tick(Qt::white, std::max(1.5, box / 8.0));
        p.setPen(tick);
        p.drawPolyline(QPolygonF({QPointF(r.left() + box * 0.25, r.top() + box * 0.52),
                                  QPointF(r.left() + box * 0.43, r.top() + box * 0.70),
                                  QPointF(r.left() + box * 0.76, r.top() + box * 0.32)}));
    }
    p.restore();
}

void CCheckBoxUI::PaintText(QPainter& p) {
    if (!normalImage_.empty() || !selectedImage_.empty()) {
        COptionUI::PaintText(p);
        return;
    }
    std::string text = DisplayText();
    if (text.empty()) return;
    QRect r = rect_.adjusted(Scale(24), 0, 0, 0);
    DrawText(p, r, text, IsEnabled() ? textColor_ : disabledTextColor_,
             (textStyle_ & ~(DT_CENTER | DT_RIGHT)) | DT_VCENTER);
}

// ---- CProgressUI -----------------------------------------------------------

CProgressUI::CProgressUI() {
    bkColor_ = kSurface;
    borderRound_ = 0;
    textStyle_ = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
}

void* CProgressUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "Progress")) return this;
    return CLabelUI::GetInterface(name);
}

int CProgressUI::GetValue() const {
    UI_MARSHAL_RET(int, GetValue());
    return value_;
}

void CProgressUI::SetMinValue(int v) {
    UI_MARSHAL_VOID(SetMinValue(v));
    min_ = v;
    Invalidate();
}

void CProgressUI::SetMaxValue(int v) {
    UI_MARSHAL_VOID(SetMaxValue(v));
    max_ = v;
    Invalidate();
}

void CProgressUI::SetValue(int v) {
    UI_MARSHAL_VOID(SetValue(v));
    if (v == value_) return;
    value_ = v;
    Invalidate();
}

void CProgressUI::SetForeColor(uint32_t c) {
    UI_MARSHAL_VOID(SetForeColor(c));
    foreColor_ = c;
    Invalidate();
}

void CProgressUI::SetAttribute(std::string_view name, std::string_view value) {
    using C = CProgressUI;
    static const AttrTable<C> table{
        {"min", [](C& c, std::string_view v) { c.min_ = ParseInt(v); }},
        {"max", [](C& c, std::string_view v) { c.max_ = ParseInt(v); }},
        {"value", [](C& c, std::string_view v) { c.value_ = ParseInt(v); }},
        {"hor", [](C& c, std::string_view v) { c.horizontal_ = ParseBool(v); }},
        {"forecolor", [](C& c, std::string_view v) { c.foreColor_ = ParseColor(v); }},
        {"fgcolor", [](C& c, std::string_view v) { c.foreColor_ = ParseColor(v); }},
    };
    if (!table.Apply(*this, name, value)) CLabelUI::SetAttribute(name, value);
}

QRect CProgressUI::FilledRect() const {
    if (max_ <= min_) return QRect();
    double f = std::clamp(double(value_ - min_) / double(max_ - min_), 0.0, 1.0);
    QRect r = rect_;
    if (horizontal_)
        r.setWidth(int(r.width() * f));
    else
        r.setTop(r.bottom() + 1 - int(r.height() * f));
    return r;
}

void CProgressUI::PaintForeColor(QPainter& p) {
    QRect r = FilledRect();
    if (r.isEmpty() || (foreColor_ >> 24) == 0) return;
    p.fillRect(r, ToQColor(AdjustColor(foreColor_)));
}

void CProgressUI::PaintForeImage(QPainter& p) {
    QRect r = FilledRect();
    if (r.isEmpty() || foreImage_.empty()) return;
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    DrawImage(p, foreImage_, rect_);
    p.restore();
}

// ---- CColorPaletteUI -------------------------------------------------------

void* CColorPaletteUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "ColorPalette")) return this;
    return CControlUI::GetInterface(name);
}

void CColorPaletteUI::SetAttribute(std::string_view name, std::string_view value) {
    if (EqualsNoCase(name, "barheight")) {
        barHeight_ = ParseInt(value, 14);
        return;
    }
    CControlUI::SetAttribute(name, value);
}

QRect CColorPaletteUI::FieldRect() const {
    QRect r = rect_;
    r.setBottom(rect_.bottom() - Scale(barHeight_) - Scale(8));
    return r;
}

QRect CColorPaletteUI::BarRect() const {
    return QRect(rect_.left(), rect_.bottom() + 1 - Scale(barHeight_), rect_.width(),
                 Scale(barHeight_));
}

uint32_t CColorPaletteUI::GetSelectColor() const {
    UI_MARSHAL_RET(uint32_t, GetSelectColor());
    return QColor::fromHsv(hue_, sat_, val_).rgba();
}

void CColorPaletteUI::SetSelectColor(uint32_t argb) {
    UI_MARSHAL_VOID(SetSelectColor(argb));
    QColor c = ToQColor(argb | 0xFF000000u);
    hue_ = std::max(0, c.hsvHue());
    sat_ = c.hsvSaturation();
    val_ = c.value();
    Invalidate();
}

void CColorPaletteUI::PickAt(const QPoint& pt, bool inBar) {
    if (inBar) {
        QRect b = BarRect();
        val_ = std::clamp((pt.x() - b.left()) * 255 / std::max(1, b.width() - 1), 0, 255);
    } else {
        QRect f = FieldRect();
        hue_ = std::clamp((pt.x() - f.left()) * 359 / std::max(1, f.width() - 1), 0, 359);
        sat_ = 255 - std::clamp((pt.y() - f.top()) * 255 / std::max(1, f.height() - 1), 0, 255);
    }
    Invalidate();
    SendNotify("colorchanged", WPARAM(GetSelectColor()));
}

void CColorPaletteUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
            if (!IsEnabled()) return;
            dragging_ = true;
            dragBar_ = BarRect().adjusted(0, -Scale(4), 0, 0).contains(event.ptMouse);
            PickAt(event.ptMouse, dragBar_);
            return;
        case UIEVENT_MOUSEMOVE:
            if (dragging_) PickAt(event.ptMouse, dragBar_);
            return;
        case UIEVENT_BUTTONUP:
            dragging_ = false;
            return;
        default:
            CControlUI::DoEvent(event);
    }
}

void CColorPaletteUI::PaintStatusImage(QPainter& p) {
    QRect f = FieldRect();
    if (f.width() > 1 && f.height() > 1) {
        // Hue across, saturation down (cached per size and brightness).
        static QImage field;
        static int fieldVal = -1;
        if (field.size() != f.size() || fieldVal != val_) {
            field = QImage(f.size(), QImage::Format_RGB32);
            for (int y = 0; y < f.height(); ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(field.scanLine(y));
                int s = 255 - y * 255 / (f.height() - 1);
                for (int x = 0; x < f.width(); ++x)
                    line[x] = QColor::fromHsv(x * 359 / (f.width() - 1), s, val_).rgb();
            }
            fieldVal = val_;
        }
        p.drawImage(f.topLeft(), field);
        QPoint mark(f.left() + hue_ * (f.width() - 1) / 359,
                    f.top() + (255 - sat_) * (f.height() - 1) / 255);
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(mark, Scale(6), Scale(6));
        p.restore();
    }
    QRect b = BarRect();
    QLinearGradient g(b.topLeft(), b.topRight());
    g.setColorAt(0, Qt::black);
    g.setColorAt(1, QColor::fromHsv(hue_, sat_, 255));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(b, b.height() / 2.0, b.height() / 2.0);
    int x = b.left() + val_ * (b.width() - 1) / 255;
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor::fromHsv(hue_, sat_, val_));
    p.drawEllipse(QPoint(x, b.center().y()), b.height() / 2, b.height() / 2);
    p.restore();
}

}  // namespace ui
