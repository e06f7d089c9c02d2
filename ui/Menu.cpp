#include "ui/Menu.h"

#include "ui/Application.h"
#include "ui/Text.h"

namespace ui {

namespace {
CMenuWnd* g_current = nullptr;
}

CMenuElementUI::CMenuElementUI() {
    fixedH_ = 32;
    textPadding_ = QMargins(14, 0, 14, 0);
}

void* CMenuElementUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "MenuElement")) return this;
    return CListLabelElementUI::GetInterface(name);
}

void CMenuElementUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_MOUSEENTER:
            hotItem_ = IsEnabled();
            Invalidate();
            return;
        case UIEVENT_MOUSELEAVE:
            hotItem_ = false;
            Invalidate();
            return;
        case UIEVENT_BUTTONDOWN:
            return;
        case UIEVENT_BUTTONUP:
            if (IsEnabled() && rect_.contains(event.ptMouse)) SendNotify("itemclick");
            return;
        default:
            CLabelUI::DoEvent(event);
    }
}

void CMenuElementUI::PaintBkColor(QPainter& p) {
    CLabelUI::PaintBkColor(p);
    if (hotItem_) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3D, 0xA5, 0xFF, 0x40));
        p.drawRoundedRect(rect_.adjusted(2, 1, -2, -1), Scale(4), Scale(4));
        p.restore();
    }
}

CMenuUI::CMenuUI() {
    bkColor_ = 0xFF262A33;
    borderColor_ = 0xFF3A404D;
    borderSize_ = 1;
    inset_ = QMargins(4, 4, 4, 4);
}

void* CMenuUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "Menu")) return this;
    return CVerticalLayoutUI::GetInterface(name);
}

int CMenuUI::ContentHeight() const {
    int h = inset_.top() + inset_.bottom();
    for (CControlUI* c : items_)
        if (c->IsVisible())
            h += c->GetFixedHeight() + c->GetPadding().top() + c->GetPadding().bottom();
    return h;
}

CControlUI* CMenuWnd::CreateControl(const char* name) {
    if (EqualsNoCase(name, "Menu")) return new CMenuUI();
    if (EqualsNoCase(name, "MenuElement")) return new CMenuElementUI();
    return nullptr;
}

CMenuWnd* CMenuWnd::Current() {
    return g_current;
}

void CMenuWnd::CloseCurrent() {
    if (g_current) g_current->DestroyWindow();
}

uint32_t CMenuWnd::AlignForTaskbar(const QPoint& pt) {
    switch (GetTaskbarEdge(pt)) {
        case TaskbarEdge::Top:
            return eMenuAlignLeft | eMenuAlignTop;
        case TaskbarEdge::Left:
            return eMenuAlignLeft | eMenuAlignBottom;
        case TaskbarEdge::Right:
            return eMenuAlignRight | eMenuAlignBottom;
        case TaskbarEdge::Bottom:
            break;
    }
    return eMenuAlignLeft | eMenuAlignBottom;
}

CMenuWnd* CMenuWnd::ShowMenu(CWindowWnd* owner, const std::string& skin, const QPoint& screenPt,
                             uint32_t align, int dpi) {
    CloseCurrent();
    auto* menu = new CMenuWnd(owner, skin);
    menu->pm_.SetDPI(dpi);
    if (!menu->Create(owner, "menu", 0, WS_EX_TOOLWINDOW | WS_EX_TOPMOST)) {
        delete menu;
        return nullptr;
    }
    menu->widget_->setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    g_current = menu;
    menu->Place(screenPt, align);
    menu->ShowWindow(true);
    return menu;
}

void CMenuWnd::Place(const QPoint& pt, uint32_t align) {
    int w = pm_.GetInitSize().width() > 0 ? pm_.ScaleValue(pm_.GetInitSize().width())
                                          : pm_.ScaleValue(180);
    int h = pm_.GetInitSize().height();
    if (auto* menu = dynamic_cast<CMenuUI*>(pm_.GetRoot()))
        h = menu->ContentHeight();
    else if (h <= 0)
        h = 200;
    h = pm_.ScaleValue(h);
    QRect r(pt, QSize(w, h));
    if (align & eMenuAlignRight) r.moveRight(pt.x());
    if (align & eMenuAlignBottom) r.moveBottom(pt.y());
    QRect work = GetMonitorWorkArea(pt);
    if (r.right() > work.right()) r.moveRight(work.right());
    if (r.bottom() > work.bottom()) r.moveBottom(work.bottom());
    if (r.left() < work.left()) r.moveLeft(work.left());
    if (r.top() < work.top()) r.moveTop(work.top());
    widget_->setGeometry(r);
}

void CMenuWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == "itemclick" && msg.pSender && dynamic_cast<CMenuElementUI*>(msg.pSender)) {
        auto* cmd = new MenuCmd{msg.pSender->GetName(), msg.pSender->GetText(),
                                msg.pSender->GetUserData(), false};
        if (!menuOwner_ || !menuOwner_->PostMessage(UIMSG_MENUCLICK, WPARAM(cmd), 0)) delete cmd;
        Close(1);
        return;
    }
    WindowImplBase::Notify(msg);
}

void CMenuWnd::OnFinalMessage() {
    if (g_current == this) g_current = nullptr;
    LifeWatch watch = life_;
    CMenuWnd* self = this;
    RunOnUiThread([self, watch] {
        if (!watch.expired()) delete self;
    });
}

}  // namespace ui
