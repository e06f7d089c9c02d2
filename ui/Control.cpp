#include "ui/Control.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainterPath>
#include <QToolTip>

#include "ui/Attr.h"
#include "ui/Dispatch.h"
#include "ui/Fonts.h"
#include "ui/PaintManager.h"
#include "ui/Resources.h"
#include "ui/Text.h"

namespace ui {

void DisposeWidget(QWidget* widget) {
    if (!widget) return;
    if (EventDispatchScope::Active()) {
        widget->hide();
        widget->setParent(nullptr);
        widget->deleteLater();
    } else {
        delete widget;
    }
}

bool CWidgetBridge::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        EventDispatchScope scope;
        DeliverFocusEvent(owner_, event->type() == QEvent::FocusIn);
    }
    return QObject::eventFilter(watched, event);
}

namespace {

uint32_t NowMs() {
    return uint32_t(QDateTime::currentMSecsSinceEpoch() & 0xFFFFFFFF);
}

// Words "left", "center", "right", "top", "vcenter", "bottom" joined by "|",
// "," or spaces; an axis without a word keeps its value.
uint32_t ParseAlign(std::string_view v, uint32_t style) {
    uint32_t out = style;
    std::string s = ToLower(v);
    for (char& ch : s)
        if (ch == '|' || ch == ',') ch = ' ';
    size_t i = 0;
    while (i < s.size()) {
        size_t j = s.find(' ', i);
        if (j == std::string::npos) j = s.size();
        std::string w = s.substr(i, j - i);
        i = j + 1;
        if (w == "left" || w == "center" || w == "hcenter" || w == "right")
            out = (out & ~(DT_CENTER | DT_RIGHT)) | (w == "right"  ? uint32_t(DT_RIGHT)
                                                     : w == "left" ? 0u
                                                                   : uint32_t(DT_CENTER));
        else if (w == "top" || w == "vcenter" || w == "bottom")
            out = (out & ~(DT_VCENTER | DT_BOTTOM)) | (w == "top"      ? 0u
                                                       : w == "bottom" ? uint32_t(DT_BOTTOM)
                                                                       : uint32_t(DT_VCENTER));
    }
    return out;
}

const AttrTable<CControlUI>& ControlAttrs() {
    using C = CControlUI;
    static const AttrTable<C> table{
        {"name", [](C& c, std::string_view v) { c.SetName(Str(v)); }},
        {"text", [](C& c, std::string_view v) { c.SetText(Str(v)); }},
        {"restext", [](C& c, std::string_view v) { c.SetResourceText(ParseBool(v)); }},
        {"tooltip", [](C& c, std::string_view v) { c.SetToolTip(Str(v)); }},
        {"tooltiptitle", [](C& c, std::string_view v) { c.SetToolTipTitle(Str(v)); }},
        {"userdata", [](C& c, std::string_view v) { c.SetUserData(Str(v)); }},
        {"visible", [](C& c, std::string_view v) { c.SetVisible(ParseBool(v)); }},
        {"enabled", [](C& c, std::string_view v) { c.SetEnabled(ParseBool(v)); }},
        {"mouse", [](C& c, std::string_view v) { c.SetMouseEnabled(ParseBool(v)); }},
        {"mousechild", [](C& c, std::string_view v) { c.SetMouseChildEnabled(ParseBool(v)); }},
        {"menu", [](C& c, std::string_view v) { c.SetContextMenuUsed(ParseBool(v)); }},
        {"bkcolor", [](C& c, std::string_view v) { c.SetBkColor(ParseColor(v)); }},
        {"bordercolor", [](C& c, std::string_view v) { c.SetBorderColor(ParseColor(v)); }},
        {"bordersize", [](C& c, std::string_view v) { c.SetBorderSize(ParseInt(v)); }},
        {"bkimage", [](C& c, std::string_view v) { c.SetBkImage(Str(v)); }},
        {"foreimage", [](C& c, std::string_view v) { c.SetForeImage(Str(v)); }},
        {"font", [](C& c, std::string_view v) { c.SetFont(ParseInt(v, -1)); }},
        {"textcolor", [](C& c, std::string_view v) { c.SetTextColor(ParseColor(v)); }},
        {"disabledtextcolor",
         [](C& c, std::string_view v) { c.SetDisabledTextColor(ParseColor(v)); }},
        {"align",
         [](C& c, std::string_view v) { c.SetTextStyle(ParseAlign(v, c.GetTextStyle())); }},
        {"endellipsis",
         [](C& c, std::string_view v) {
             c.SetTextStyle(ParseBool(v) ? (c.GetTextStyle() | DT_END_ELLIPSIS)
                                         : (c.GetTextStyle() & ~DT_END_ELLIPSIS));
         }},
        {"wordbreak",
         [](C& c, std::string_view v) {
             uint32_t s = c.GetTextStyle() & ~(DT_WORDBREAK | DT_SINGLELINE);
             c.SetTextStyle(s | (ParseBool(v) ? DT_WORDBREAK : DT_SINGLELINE));
         }},
        {"textpadding", [](C& c, std::string_view v) { c.SetTextPadding(ParseMargins(v)); }},
        {"width", [](C& c, std::string_view v) { c.SetFixedWidth(ParseInt(v)); }},
        {"height", [](C& c, std::string_view v) { c.SetFixedHeight(ParseInt(v)); }},
        {"minwidth", [](C& c, std::string_view v) { c.SetMinWidth(ParseInt(v)); }},
        {"minheight", [](C& c, std::string_view v) { c.SetMinHeight(ParseInt(v)); }},
        {"padding", [](C& c, std::string_view v) { c.SetPadding(ParseMargins(v)); }},
        {"float", [](C& c, std::string_view v) { c.SetFloat(ParseBool(v)); }},
        {"pos",
         [](C& c, std::string_view v) {
             auto n = ParseIntList(v, 4);
             c.SetFloatPos(QRect(n[0], n[1], n[2], n[3]));
         }},
    };
    return table;
}

}  // namespace

CControlUI::CControlUI() : life_(std::make_shared<int>(0)) {}

CControlUI::~CControlUI() {
    if (manager_) manager_->ReapControl(this);
    life_.reset();
    if (auto* host = dynamic_cast<CHostWidget*>(widget_.data())) host->Detach();
    DisposeWidget(widget_);
    widget_ = nullptr;
}

void CControlUI::SetName(std::string name) {
    name_ = std::move(name);
}

void* CControlUI::GetInterface(std::string_view name) {
    return EqualsNoCase(name, "Control") ? this : nullptr;
}

bool CControlUI::IsName(std::string_view name) const {
    return EqualsNoCase(name_, name);
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    manager_ = manager;
    parent_ = parent;
    if (WantsWidget()) {
        QWidget* parentWidget = nullptr;
        if (parent) {
            if (CControlUI* host = parent->GetHost()) parentWidget = host->GetWidget();
        } else if (manager) {
            parentWidget = manager->GetPaintWindow();
        }
        QWidget* w = GetWidget();
        if (w && parentWidget && w->parentWidget() != parentWidget) w->setParent(parentWidget);
        UpdateWidgetGeometry();
        UpdateWidgetVisibility();
    }
    if (init && !inited_) Init();
}

CControlUI* CControlUI::FindControl(const std::function<bool(CControlUI*)>& match) {
    return match(this) ? this : nullptr;
}

void CControlUI::ForEach(const std::function<void(CControlUI*)>& fn) {
    fn(this);
}

void CControlUI::Init() {
    inited_ = true;
    DoInit();
}

std::string CControlUI::DisplayText() const {
    if (!resourceText_) return text_;
    if (IQueryControlText* q = CResourceManager::Instance().GetTextQuery()) {
        if (const char* r = q->QueryControlText(text_.c_str(), std::string(GetClass()).c_str()))
            return r;
    }
    return CResourceManager::Instance().GetText(text_);
}

std::string CControlUI::GetText() const {
    UI_MARSHAL_RET(std::string, GetText());
    return DisplayText();
}

void CControlUI::SetText(const std::string& text) {
    UI_MARSHAL_VOID(SetText(text));
    if (text_ == text) return;
    text_ = text;
    Invalidate();
}

void CControlUI::SetResourceText(bool resource) {
    UI_MARSHAL_VOID(SetResourceText(resource));
    if (resourceText_ == resource) return;
    resourceText_ = resource;
    ReloadText();
}

void CControlUI::ReloadText() {
    if (resourceText_) Invalidate();
}

void CControlUI::SetVisible(bool visible) {
    UI_MARSHAL_VOID(SetVisible(visible));
    if (visible_ == visible) return;
    visible_ = visible;
    UpdateWidgetVisibility();
    if (!widget_) Invalidate();
    NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
    UI_MARSHAL_VOID(SetInternVisible(visible));
    if (internVisible_ == visible) return;
    internVisible_ = visible;
    UpdateWidgetVisibility();
    if (!widget_) Invalidate();
}

void CControlUI::SetEnabled(bool enabled) {
    UI_MARSHAL_VOID(SetEnabled(enabled));
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (widget_ && !dynamic_cast<CHostWidget*>(widget_.data())) widget_->setEnabled(enabled);
    Invalidate();
}

void CControlUI::SetFocus() {
    UI_MARSHAL_VOID(SetFocus());
    if (manager_) manager_->SetFocus(this);
}

std::string CControlUI::GetUserData() const {
    UI_MARSHAL_RET(std::string, GetUserData());
    return userData_;
}

void CControlUI::SetUserData(const std::string& data) {
    UI_MARSHAL_VOID(SetUserData(data));
    userData_ = data;
}

void CControlUI::SetToolTip(const std::string& text) {
    UI_MARSHAL_VOID(SetToolTip(text));
    tooltip_ = text;
    UpdateToolTip();
}

void CControlUI::SetToolTipTitle(const std::string& title) {
    UI_MARSHAL_VOID(SetToolTipTitle(title));
    tooltipTitle_ = title;
    UpdateToolTip();
}

void CControlUI::UpdateToolTip() {
    if (widget_ && !dynamic_cast<CHostWidget*>(widget_.data())) widget_->setToolTip(Q(tooltip_));
}

#define UI_SETTER(Fn, Type, member)   \
    void CControlUI::Fn(Type value) { \
        UI_MARSHAL_VOID(Fn(value));   \
        if (member == value) return;  \
        member = value;               \
        Invalidate();                 \
    }
UI_SETTER(SetBkColor, uint32_t, bkColor_)
UI_SETTER(SetBorderColor, uint32_t, borderColor_)
UI_SETTER(SetBorderSize, int, borderSize_)
UI_SETTER(SetTextColor, uint32_t, textColor_)
UI_SETTER(SetDisabledTextColor, uint32_t, disabledTextColor_)
UI_SETTER(SetTextStyle, uint32_t, textStyle_)
UI_SETTER(SetTextPadding, QMargins, textPadding_)
UI_SETTER(SetFont, int, font_)
#undef UI_SETTER

void CControlUI::SetBkImage(const std::string& image) {
    UI_MARSHAL_VOID(SetBkImage(image));
    bkImage_ = image;
    Invalidate();
}

void CControlUI::SetForeImage(const std::string& image) {
    UI_MARSHAL_VOID(SetForeImage(image));
    foreImage_ = image;
    Invalidate();
}

#define UI_LAYOUT_SETTER(Fn, Type, member) \
    void CControlUI::Fn(Type value) {      \
        UI_MARSHAL_VOID(Fn(value));        \
        if (member == value) return;       \
        member = value;                    \
        NeedParentUpdate();                \
    }
UI_LAYOUT_SETTER(SetFixedWidth, int, fixedW_)
UI_LAYOUT_SETTER(SetFixedHeight, int, fixedH_)
UI_LAYOUT_SETTER(SetMinWidth, int, minW_)
UI_LAYOUT_SETTER(SetMinHeight, int, minH_)
UI_LAYOUT_SETTER(SetPadding, QMargins, padding_)
UI_LAYOUT_SETTER(SetFloat, bool, float_)
UI_LAYOUT_SETTER(SetFloatPos, QRect, floatPos_)
#undef UI_LAYOUT_SETTER

void CControlUI::SetPos(const QRect& rc) {
    if (rect_ == rc) return;
    if (!widget_) Invalidate();
    rect_ = rc;
    UpdateWidgetGeometry();
    if (!widget_) Invalidate();
}

QRect CControlUI::GetScreenRect() const {
    UI_MARSHAL_RET(QRect, GetScreenRect());
    QWidget* host = manager_ ? manager_->GetPaintWindow() : nullptr;
    if (!host) return rect_;
    return QRect(host->mapToGlobal(rect_.topLeft()), rect_.size());
}

int CControlUI::Scale(int v) const {
    return manager_ ? manager_->ScaleValue(v) : v;
}
double CControlUI::ScaleFactor() const {
    return manager_ ? manager_->ScaleFactor() : 1.0;
}

void CControlUI::SetAttribute(std::string_view name, std::string_view value) {
    if (EqualsNoCase(name, "style")) {
        if (manager_) {
            if (const AttributeList* style = manager_->GetStyle(value)) ApplyAttributeList(*style);
        }
        return;
    }
    ControlAttrs().Apply(*this, name, value);
}

void CControlUI::ApplyAttributeList(const std::vector<std::pair<std::string, std::string>>& attrs) {
    for (const auto& [k, v] : attrs)
        SetAttribute(k, v);
}

void CControlUI::Invalidate() {
    if (!IsUiThread()) {
        LifeWatch watch = Life();
        RunOnUiThread([this, watch] {
            if (!watch.expired()) Invalidate();
        });
        return;
    }
    if (widget_) {
        widget_->update();
        return;
    }
    CControlUI* host = GetHost();
    if (host && host->widget_) host->InvalidatePaintedChild(this);
}

void CControlUI::InvalidatePaintedChild(CControlUI* child) {
    OnPaintedChildChanged(child);
    if (widget_) widget_->update(child->GetPos().translated(-rect_.topLeft()));
}

void CControlUI::DoPaintRegion(QPainter& p, const QRegion& region) {
    DoPaint(p, region.boundingRect());
}

bool CControlUI::IsOnScreen() {
    CControlUI* host = GetHost();
    QWidget* w = host ? host->widget_.data() : nullptr;
    return w && w->isVisible() && !w->window()->isMinimized();
}

void CControlUI::NeedUpdate() {
    if (manager_) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
    NeedUpdate();
}

void CControlUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_TIMER:
            SendNotify("timer", event.wParam, event.lParam);
            return;
        case UIEVENT_CONTEXTMENU:
            if (contextMenuUsed_) {
                SendNotify("menu", event.wParam, event.lParam);
                return;
            }
            break;
        case UIEVENT_SETFOCUS:
            focused_ = true;
            Invalidate();
            if (notifyFocus_) SendNotify("setfocus");
            return;
        case UIEVENT_KILLFOCUS:
            focused_ = false;
            Invalidate();
            if (notifyFocus_) SendNotify("killfocus");
            return;
        case UIEVENT_MOUSEENTER:
        case UIEVENT_MOUSELEAVE:
            return;
        default:
            break;
    }
    if (parent_)
        parent_->DoEvent(event);
    else if (manager_ && event.Type == UIEVENT_BUTTONDOWN)
        manager_->OnRootButtonDown(event.ptMouse);
}

bool CControlUI::Activate() {
    return IsVisible() && IsEnabled();
}

void CControlUI::DoPaint(QPainter& p, const QRect& paint) {
    if (!rect_.intersects(paint)) return;
    PaintBkColor(p);
    PaintBkImage(p);
    PaintStatusImage(p);
    PaintForeColor(p);
    PaintForeImage(p);
    PaintText(p);
    PaintBorder(p);
}

void CControlUI::PaintBkColor(QPainter& p) {
    if ((bkColor_ >> 24) == 0) return;
    if (borderRound_ > 0) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(ToQColor(AdjustColor(bkColor_)));
        int r = Scale(borderRound_);
        p.drawRoundedRect(rect_, r, r);
        p.restore();
        return;
    }
    p.fillRect(rect_, ToQColor(AdjustColor(bkColor_)));
}

void CControlUI::PaintBkImage(QPainter& p) {
    DrawImage(p, bkImage_, rect_);
}
void CControlUI::PaintStatusImage(QPainter&) {}
void CControlUI::PaintForeColor(QPainter&) {}
void CControlUI::PaintForeImage(QPainter& p) {
    DrawImage(p, foreImage_, rect_);
}

void CControlUI::PaintText(QPainter& p) {
    std::string text = DisplayText();
    if (text.empty()) return;
    DrawText(p, rect_, text, enabled_ ? textColor_ : disabledTextColor_, textStyle_);
}

void CControlUI::PaintBorder(QPainter& p) {
    if (borderSize_ <= 0 || (borderColor_ >> 24) == 0) return;
    int w = std::max(1, Scale(borderSize_));
    p.save();
    QPen pen(ToQColor(AdjustColor(borderColor_)));
    pen.setWidth(w);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QRectF r = QRectF(rect_).adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0);
    if (borderRound_ > 0) {
        p.setRenderHint(QPainter::Antialiasing);
        p.drawRoundedRect(r, Scale(borderRound_), Scale(borderRound_));
    } else {
        p.drawRect(r);
    }
    p.restore();
}

bool CControlUI::DrawImage(QPainter& p, const std::string& image, const QRect& rc,
                           const ImageTint* tint) {
    return DrawImageString(p, rc, image, ScaleFactor(), tint);
}

QFont CControlUI::CurrentFont() const {
    return CFontTable::Instance().GetFont(font_, manager_ ? manager_->GetDPI() : 96);
}

void CControlUI::DrawText(QPainter& p, const QRect& rc, const std::string& text, uint32_t color,
                          uint32_t style) const {
    QRect r =
        rc.marginsRemoved(QMargins(Scale(textPadding_.left()), Scale(textPadding_.top()),
                                   Scale(textPadding_.right()), Scale(textPadding_.bottom())));
    if (r.isEmpty()) return;
    int flags = 0;
    flags |= (style & DT_CENTER)  ? Qt::AlignHCenter
             : (style & DT_RIGHT) ? Qt::AlignRight
                                  : Qt::AlignLeft;
    flags |= (style & DT_VCENTER)  ? Qt::AlignVCenter
             : (style & DT_BOTTOM) ? Qt::AlignBottom
                                   : Qt::AlignTop;
    if (style & DT_WORDBREAK) flags |= Qt::TextWordWrap;
    p.save();
    QFont font = CurrentFont();
    p.setFont(font);
    p.setPen(ToQColor(color));
    QString s = Q(text);
    if ((style & DT_END_ELLIPSIS) && !(style & DT_WORDBREAK))
        s = QFontMetrics(font).elidedText(s, Qt::ElideRight, r.width());
    p.drawText(r, flags, s);
    p.restore();
}

bool CControlUI::SetTimer(UINT id, UINT elapseMs) {
    UI_MARSHAL_RET(bool, SetTimer(id, elapseMs));
    return manager_ && manager_->SetTimer(this, id, elapseMs);
}

void CControlUI::KillTimer(UINT id) {
    UI_MARSHAL_VOID(KillTimer(id));
    if (manager_) manager_->KillTimer(this, id);
}

void CControlUI::KillTimer() {
    UI_MARSHAL_VOID(KillTimer());
    if (manager_) manager_->KillTimer(this);
}

QWidget* CControlUI::GetWidget() {
    if (!widget_ && WantsWidget()) {
        widget_ = CreateWidget();
        if (widget_) SyncWidget();
    }
    return widget_;
}

CControlUI* CControlUI::GetHost() {
    for (CControlUI* c = this; c; c = c->parent_)
        if (c->WantsWidget()) return c;
    return nullptr;
}

CControlUI* CControlUI::FindPaintedChildAt(const QPoint&) {
    return nullptr;
}

QWidget* CControlUI::CreateWidget() {
    return new CHostWidget(this);
}

void CControlUI::SyncWidget() {
    UpdateToolTip();
    if (!dynamic_cast<CHostWidget*>(widget_.data())) widget_->setEnabled(enabled_);
}

void CControlUI::UpdateWidgetGeometry() {
    if (!widget_) return;
    QPoint origin;
    if (parent_) {
        if (CControlUI* host = parent_->GetHost()) origin = host->rect_.topLeft();
    }
    widget_->setGeometry(rect_.translated(-origin));
}

void CControlUI::UpdateWidgetVisibility() {
    if (!widget_ || !widget_->parentWidget()) return;
    widget_->setVisible(IsVisible());
}

void CControlUI::SendNotify(const std::string& type, WPARAM w, LPARAM l) {
    if (manager_) manager_->SendNotify(this, type, w, l);
}

void DeliverFocusEvent(CControlUI* control, bool focusIn) {
    if (!control) return;
    if (CPaintManagerUI* m = control->GetManager()) m->OnControlFocus(control, focusIn);
    TEventUI ev;
    ev.Type = focusIn ? UIEVENT_SETFOCUS : UIEVENT_KILLFOCUS;
    ev.pSender = control;
    ev.dwTimestamp = NowMs();
    control->DoEvent(ev);
}

// ---- CHostWidget -----------------------------------------------------------

CHostWidget::CHostWidget(CControlUI* owner) : owner_(owner) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void CHostWidget::paintEvent(QPaintEvent* e) {
    if (!owner_) return;
    // An opaque square background lets Qt skip painting what lies below.
    uint32_t bk = owner_->GetBkColor();
    setAttribute(Qt::WA_OpaquePaintEvent, (bk >> 24) == 0xFF && owner_->GetBorderRound() == 0);
    QPainter p(this);
    QPoint origin = owner_->GetPos().topLeft();
    p.translate(-origin);
    owner_->DoPaintRegion(p, e->region().translated(origin));
}

CControlUI* CHostWidget::Target(const QPoint& local) {
    if (captured_ && !capturedLife_.expired()) return captured_;
    captured_ = nullptr;
    if (!owner_->IsMouseChildEnabled()) return owner_;
    CControlUI* child = owner_->FindPaintedChildAt(local + owner_->GetPos().topLeft());
    return child ? child : owner_;
}

TEventUI CHostWidget::MakeEvent(int type, const QPoint& local, Qt::KeyboardModifiers mods) const {
    TEventUI ev;
    ev.Type = type;
    ev.dwTimestamp = NowMs();
    ev.ptMouse = local + owner_->GetPos().topLeft();
    if (mods & Qt::ControlModifier) ev.wKeyState |= MK_CONTROL;
    if (mods & Qt::ShiftModifier) ev.wKeyState |= MK_SHIFT;
    if (mods & Qt::AltModifier) ev.wKeyState |= MK_ALT;
    if (QGuiApplication::mouseButtons() & Qt::LeftButton) ev.wKeyState |= MK_LBUTTON;
    ev.lParam =
        LPARAM((uint32_t(ev.ptMouse.y() & 0xFFFF) << 16) | uint32_t(ev.ptMouse.x() & 0xFFFF));
    return ev;
}

void CHostWidget::Deliver(CControlUI* target, TEventUI& ev) {
    if (!target) return;
    ev.pSender = target;
    target->DoEvent(ev);
}

void CHostWidget::mousePressEvent(QMouseEvent* e) {
    e->accept();
    if (!owner_) return;
    EventDispatchScope scope;
    QPoint pos = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        CControlUI* target = Target(pos);
        captured_ = target;
        capturedLife_ = target->Life();
        TEventUI ev = MakeEvent(UIEVENT_BUTTONDOWN, pos, e->modifiers());
        Deliver(target, ev);
    } else if (e->button() == Qt::RightButton) {
        TEventUI ev = MakeEvent(UIEVENT_RBUTTONDOWN, pos, e->modifiers());
        Deliver(Target(pos), ev);
    }
}

void CHostWidget::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    if (!owner_) return;
    EventDispatchScope scope;
    QPoint pos = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        CControlUI* target = Target(pos);
        captured_ = nullptr;
        TEventUI ev = MakeEvent(UIEVENT_BUTTONUP, pos, e->modifiers());
        Deliver(target, ev);
    } else if (e->button() == Qt::RightButton) {
        TEventUI ev = MakeEvent(UIEVENT_RBUTTONUP, pos, e->modifiers());
        Deliver(Target(pos), ev);
    }
}

void CHostWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
    if (!owner_ || e->button() != Qt::LeftButton) return;
    EventDispatchScope scope;
    QPoint pos = e->position().toPoint();
    CControlUI* target = Target(pos);
    captured_ = target;
    capturedLife_ = target->Life();
    TEventUI ev = MakeEvent(UIEVENT_DBLCLICK, pos, e->modifiers());
    Deliver(target, ev);
}

void CHostWidget::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    if (!owner_) return;
    EventDispatchScope scope;
    QPoint pos = e->position().toPoint();
    // Hover between painted children.
    CControlUI* hit = owner_->IsMouseChildEnabled()
                          ? owner_->FindPaintedChildAt(pos + owner_->GetPos().topLeft())
                          : nullptr;
    CControlUI* hot = hotLife_.expired() ? nullptr : hot_;
    if (hit != hot) {
        if (hot) {
            TEventUI leave = MakeEvent(UIEVENT_MOUSELEAVE, pos, e->modifiers());
            Deliver(hot, leave);
        }
        hot_ = hit;
        hotLife_ = hit ? hit->Life() : LifeWatch();
        if (hit) {
            TEventUI enter = MakeEvent(UIEVENT_MOUSEENTER, pos, e->modifiers());
            Deliver(hit, enter);
        }
    }
    if (!owner_) return;
    TEventUI ev = MakeEvent(UIEVENT_MOUSEMOVE, pos, e->modifiers());
    Deliver(Target(pos), ev);
}

void CHostWidget::enterEvent(QEnterEvent* e) {
    if (!owner_) return;
    EventDispatchScope scope;
    TEventUI ev = MakeEvent(UIEVENT_MOUSEENTER, e->position().toPoint(), e->modifiers());
    Deliver(owner_, ev);
}

void CHostWidget::leaveEvent(QEvent*) {
    if (!owner_) return;
    EventDispatchScope scope;
    QPoint pos = mapFromGlobal(QCursor::pos());
    if (hot_ && !hotLife_.expired()) {
        TEventUI leave = MakeEvent(UIEVENT_MOUSELEAVE, pos, Qt::NoModifier);
        Deliver(hot_, leave);
    }
    hot_ = nullptr;
    if (!owner_) return;
    TEventUI ev = MakeEvent(UIEVENT_MOUSELEAVE, pos, Qt::NoModifier);
    Deliver(owner_, ev);
}

void CHostWidget::wheelEvent(QWheelEvent* e) {
    e->accept();
    if (!owner_) return;
    EventDispatchScope scope;
    TEventUI ev = MakeEvent(UIEVENT_SCROLLWHEEL, e->position().toPoint(), e->modifiers());
    ev.wParam = e->angleDelta().y() > 0 ? 0 : 1;  // 0 line up, 1 line down
    Deliver(owner_, ev);
}

void CHostWidget::keyPressEvent(QKeyEvent* e) {
    if (!owner_) return;
    EventDispatchScope scope;
    TEventUI ev = MakeEvent(UIEVENT_KEYDOWN, QPoint(), e->modifiers());
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            ev.chKey = VK_RETURN;
            break;
        case Qt::Key_Escape:
            ev.chKey = VK_ESCAPE;
            break;
        case Qt::Key_Space:
            ev.chKey = VK_SPACE;
            break;
        case Qt::Key_Up:
            ev.chKey = VK_UP;
            break;
        case Qt::Key_Down:
            ev.chKey = VK_DOWN;
            break;
        case Qt::Key_Left:
            ev.chKey = VK_LEFT;
            break;
        case Qt::Key_Right:
            ev.chKey = VK_RIGHT;
            break;
        default:
            ev.chKey = uint32_t(e->key());
            break;
    }
    Deliver(owner_, ev);
}

void CHostWidget::contextMenuEvent(QContextMenuEvent* e) {
    e->accept();
    if (!owner_) return;
    EventDispatchScope scope;
    TEventUI ev = MakeEvent(UIEVENT_CONTEXTMENU, e->pos(), e->modifiers());
    Deliver(Target(e->pos()), ev);
}

void CHostWidget::focusInEvent(QFocusEvent*) {
    EventDispatchScope scope;
    if (owner_) DeliverFocusEvent(owner_, true);
}

void CHostWidget::focusOutEvent(QFocusEvent*) {
    EventDispatchScope scope;
    if (owner_) DeliverFocusEvent(owner_, false);
}

bool CHostWidget::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip && owner_) {
        auto* help = static_cast<QHelpEvent*>(e);
        CControlUI* target = Target(help->pos());
        std::string tip = target->GetToolTip();
        std::string title = target->GetToolTipTitle();
        if (tip.empty() && title.empty()) {
            QToolTip::hideText();
        } else {
            QString text = title.empty() ? Q(tip)
                                         : "<b>" + Q(title).toHtmlEscaped() + "</b><br>" +
                                               Q(tip).toHtmlEscaped();
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QWidget::event(e);
}

}  // namespace ui
