#include "editors/CustomControls.h"

#include <QCursor>
#include <algorithm>
#include <cmath>

#include "platform/Debug.h"
#include "ui/Attr.h"
#include "ui/Builder.h"
#include "ui/Fonts.h"
#include "ui/PaintManager.h"
#include "ui/Resources.h"

namespace editors {

using ui::EqualsNoCase;
using ui::ParseBool;
using ui::ParseInt;
using ui::Str;

namespace {

template <class T>
void Register(const char* name) {
    ui::CControlFactory::Instance().RegisterControl(name, [] { return new T(); });
}

bool IsMouse(int type) {
    return type == ui::UIEVENT_BUTTONDOWN || type == ui::UIEVENT_BUTTONUP ||
           type == ui::UIEVENT_DBLCLICK || type == ui::UIEVENT_MOUSEMOVE;
}

}  // namespace

void RegisterCustomControls() {
    Register<CCircleProgressUI>("CCircleProgressUI");
    Register<CChartViewUI>("CChartViewUI");
    Register<CWndUI>("CWndUI");
    Register<CSelectPanelUI>("CSelectPanelUI");
    Register<CDeviceKeyButtonUI>("CDeviceKeyButtonUI");
    Register<CComboEditContainerElementUI>("CComboEditContainerElementUI");
    Register<CHandImgButtonUI>("CHandImgButtonUI");
    Register<CHandImgSelectButtonUI>("CHandImgSelectButtonUI");
    Register<CRedioMacroButtonUI>("CRedioMacroButtonUI");
    Register<CAudioRecordUI>("CAudioRecordUI");
}

// ---- CCircleProgressUI -----------------------------------------------------

void* CCircleProgressUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "CircleProgress")) return this;
    return CProgressUI::GetInterface(name);
}

int CCircleProgressUI::SweepDegrees() const {
    if (max_ == min_) return -1;
    double sweep = double(value_) / double(max_ - min_) * 360.0;
    return std::clamp(int(sweep), 0, 360);
}

void CCircleProgressUI::PaintBkColor(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(ui::ToQColor(ui::AdjustColor(bkColor_)));
    p.drawEllipse(rect_);
    p.restore();
}

// Qt angles run counter-clockwise from 3 o'clock; the ring starts at the
// bottom (-90) and runs clockwise (negative span).
void CCircleProgressUI::PaintForeColor(QPainter& p) {
    int sweep = SweepDegrees();
    if (sweep < 0) return;  // equal bounds: the background alone
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (sweep > 0) {
        p.setBrush(ui::ToQColor(ui::AdjustColor(foreColor_)));
        p.drawPie(rect_, -90 * 16, -sweep * 16);
    }
    QRect inner = rect_.adjusted(kRingInset, kRingInset, -kRingInset, -kRingInset);
    if (!inner.isEmpty()) {
        p.setBrush(QColor(255, 255, 255));
        p.drawEllipse(inner);
    }
    p.restore();
}

// ---- CDeviceKeyButtonUI ----------------------------------------------------

void* CDeviceKeyButtonUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "DeviceKeyButton")) return this;
    return CButtonUI::GetInterface(name);
}

void CDeviceKeyButtonUI::DoEvent(TEventUI& event) {
    if (event.Type == ui::UIEVENT_DBLCLICK && rect_.contains(event.ptMouse) && IsEnabled()) {
        state_ |= ui::UISTATE_PUSHED | ui::UISTATE_CAPTURED;
        ui::LifeWatch watch = Life();
        SendNotify("dbclick");
        if (!watch.expired()) Invalidate();
        return;
    }
    CButtonUI::DoEvent(event);
}

void CDeviceKeyButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    std::string* slot = EqualsNoCase(name, "lightimage")      ? &lightImage_
                        : EqualsNoCase(name, "keysetimage")   ? &keySetImage_
                        : EqualsNoCase(name, "keyunsetimage") ? &keyUnsetImage_
                                                              : nullptr;
    if (EqualsNoCase(name, "lightcolor")) {
        // A skin may show a light lit, for previews of the picture.
        SetLightPaint(ui::ParseColor(value) & 0x00FFFFFFu, lightAlpha_, true);
        return;
    }
    if (!slot) {
        CButtonUI::SetAttribute(name, value);
        return;
    }
    *slot = Str(value);
    Invalidate();
}

void CDeviceKeyButtonUI::SetLightPaint(uint32_t color, uint32_t alpha, bool on) {
    lightColor_ = color;
    lightAlpha_ = std::min<uint32_t>(alpha, 255);
    lightOn_ = on;
}

void CDeviceKeyButtonUI::SetKeySetImageHidden(uint32_t hidden) {
    if (keySetHidden_.exchange(hidden) != hidden) Invalidate();
}

void CDeviceKeyButtonUI::SetKeyUnsetImageHidden(uint32_t hidden) {
    if (keyUnsetHidden_.exchange(hidden) != hidden) Invalidate();
}

void CDeviceKeyButtonUI::SetKeyFlag(uint32_t flag) {
    if (keyFlag_.exchange(flag) != flag) Invalidate();
}

void CDeviceKeyButtonUI::PaintStatusImage(QPainter& p) {
    CButtonUI::PaintStatusImage(p);
    if (lightOn_) {
        ui::ImageTint tint{lightColor_, int(lightAlpha_), true};
        DrawImage(p, lightImage_, rect_, &tint);
    }
    if (keyUnsetHidden_ == 0) DrawImage(p, keyUnsetImage_, rect_);
    if (keySetHidden_ == 0) DrawImage(p, keySetImage_, rect_);
}

// ---- CSelectPanelUI --------------------------------------------------------

void* CSelectPanelUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "SelectPanel")) return this;
    return CVerticalLayoutUI::GetInterface(name);
}

void CSelectPanelUI::DoEvent(TEventUI& event) {
    ui::LifeWatch watch = Life();
    CVerticalLayoutUI::DoEvent(event);
    if (watch.expired()) return;
    switch (event.Type) {
        case ui::UIEVENT_BUTTONDOWN:
            if (IsEnabled()) {
                pressed_ = true;
                anchor_ = event.ptMouse;
            }
            break;
        case ui::UIEVENT_MOUSEMOVE:
            if (pressed_) dragging_ = true;
            if (dragging_) {
                current_ = event.ptMouse;
                selectRect_ = QRect(QPoint(std::min(anchor_.x(), current_.x()),
                                           std::min(anchor_.y(), current_.y())),
                                    QPoint(std::max(anchor_.x(), current_.x()),
                                           std::max(anchor_.y(), current_.y())));
                NeedUpdate();
            }
            break;
        case ui::UIEVENT_BUTTONUP:
            pressed_ = false;
            if (dragging_) {
                dragging_ = false;
                anchor_ = current_;
                for (CControlUI* c : items_) {
                    auto* key = dynamic_cast<CDeviceKeyButtonUI*>(c);
                    if (key && EqualsNoCase(c->GetClass(), "DeviceKeyButton"))
                        key->SetPanelSelected(c->GetPos().intersects(selectRect_) ? 1 : 0);
                }
                NeedUpdate();
                SendNotify("click_select_end");
            }
            break;
        default:
            break;
    }
}

size_t CSelectPanelUI::StaticPrefix() const {
    for (size_t i = 0; i < items_.size(); ++i) {
        auto* key = dynamic_cast<CDeviceKeyButtonUI*>(items_[i]);
        if (items_[i]->WantsWidget() || (key && key->IsLightOn() && key->IsVisible())) return i;
    }
    return items_.size();
}

void CSelectPanelUI::RebuildBase(const BaseKey& key) {
    const bool opaque = (bkColor_ >> 24) == 0xFF && borderRound_ == 0;
    base_ =
        QImage(rect_.size(), opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    base_.fill(Qt::transparent);
    QPainter bp(&base_);
    bp.translate(-rect_.topLeft());
    CControlUI::DoPaint(bp, rect_);
    bp.setClipRect(Inner(), Qt::IntersectClip);
    for (size_t i = 0; i < key.prefix; ++i)
        if (items_[i]->IsVisible()) items_[i]->DoPaint(bp, rect_);
    baseKey_ = key;
    baseDirty_ = false;
    ++baseRebuilds_;
}

void CSelectPanelUI::DoPaint(QPainter& p, const QRect& paint) {
    if (!rect_.intersects(paint) || rect_.isEmpty()) return;
    BaseKey key{rect_.size(), bkColor_, bkImage_, manager_ ? manager_->GetDPI() : 96,
                StaticPrefix()};
    if (baseDirty_ || !(key == baseKey_)) RebuildBase(key);
    p.drawImage(rect_.topLeft(), base_);
    p.save();
    p.setClipRect(Inner(), Qt::IntersectClip);
    for (size_t i = key.prefix; i < items_.size(); ++i) {
        CControlUI* c = items_[i];
        if (c->WantsWidget() || !c->IsVisible() || !c->GetPos().intersects(paint)) continue;
        c->DoPaint(p, paint);
    }
    p.restore();
}

// ---- CHandImgButtonUI ------------------------------------------------------

void* CHandImgButtonUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "HandImgButton")) return this;
    return CButtonUI::GetInterface(name);
}

void CHandImgButtonUI::SetHandImage(const std::string& image) {
    UI_MARSHAL_VOID(SetHandImage(image));
    handImage_ = image;
    Invalidate();
}

void CHandImgButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    if (EqualsNoCase(name, "handimage")) {
        SetHandImage(Str(value));
        return;
    }
    CButtonUI::SetAttribute(name, value);
}

void CHandImgButtonUI::PaintStatusImage(QPainter& p) {
    CButtonUI::PaintStatusImage(p);
    DrawImage(p, handImage_, rect_);
}

void CHandImgButtonUI::DoEvent(TEventUI& event) {
    if (!mouseEnabled_ && IsMouse(event.Type)) {
        CButtonUI::DoEvent(event);
        return;
    }
    const bool inside = rect_.contains(event.ptMouse);
    ui::LifeWatch watch = Life();
    switch (event.Type) {
        case ui::UIEVENT_BUTTONDOWN:
        case ui::UIEVENT_DBLCLICK:
            if (inside && IsEnabled()) state_ |= ui::UISTATE_PUSHED | ui::UISTATE_CAPTURED;
            break;
        case ui::UIEVENT_BUTTONUP:
            if (state_ & ui::UISTATE_CAPTURED) {
                if (inside) Activate();
                if (watch.expired()) return;
                state_ &= ~(ui::UISTATE_PUSHED | ui::UISTATE_CAPTURED);
            }
            break;
        case ui::UIEVENT_MOUSEMOVE:
            if (state_ & ui::UISTATE_CAPTURED) {
                state_ = inside ? (state_ | ui::UISTATE_PUSHED) : (state_ & ~ui::UISTATE_PUSHED);
            }
            break;
        case ui::UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                state_ |= ui::UISTATE_HOT;
                SendNotify("msenter");
            }
            break;
        case ui::UIEVENT_MOUSELEAVE:
            if (IsEnabled()) {
                state_ &= ~ui::UISTATE_HOT;
                SendNotify("msleave");
            }
            break;
        default:
            CButtonUI::DoEvent(event);
            return;
    }
    if (!watch.expired()) Invalidate();
}

// ---- CHandImgSelectButtonUI ------------------------------------------------

void* CHandImgSelectButtonUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "HandImgSelectButton")) return this;
    return CButtonUI::GetInterface(name);
}

void CHandImgSelectButtonUI::SetHandImage(const std::string& image) {
    UI_MARSHAL_VOID(SetHandImage(image));
    image_ = image;
    QSize size = ui::ImageStringSize(image);
    imageW_ = size.width();
    imageH_ = size.height();
    int w = rect_.width() > 0 ? rect_.width() : Scale(fixedW_);
    int h = rect_.height() > 0 ? rect_.height() : Scale(fixedH_);
    srcL_ = 0;
    srcT_ = 0;
    srcR_ = w;
    srcB_ = h;
    if (w < imageW_ || h < imageH_)
        ComposeDrawString();
    else
        drawString_ = image_;
    Invalidate();
}

void CHandImgSelectButtonUI::ComposeDrawString() {
    drawString_ = "file='" + image_ + "' source='" + std::to_string(srcL_) + "," +
                  std::to_string(srcT_) + "," + std::to_string(srcR_) + "," +
                  std::to_string(srcB_) + "'";
}

void CHandImgSelectButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    if (EqualsNoCase(name, "handimage")) {
        SetHandImage(Str(value));
        return;
    }
    if (EqualsNoCase(name, "cursor")) {
        static const std::pair<const char*, Qt::CursorShape> kCursors[] = {
            {"arrow", Qt::ArrowCursor},        {"ibeam", Qt::IBeamCursor},
            {"wait", Qt::WaitCursor},          {"cross", Qt::CrossCursor},
            {"uparrow", Qt::UpArrowCursor},    {"size", Qt::SizeAllCursor},
            {"icon", Qt::ArrowCursor},         {"sizenwse", Qt::SizeFDiagCursor},
            {"sizenesw", Qt::SizeBDiagCursor}, {"sizewe", Qt::SizeHorCursor},
            {"sizens", Qt::SizeVerCursor},     {"sizeall", Qt::SizeAllCursor},
            {"no", Qt::ForbiddenCursor},       {"hand", Qt::PointingHandCursor},
        };
        if (value.empty()) {
            CButtonUI::SetAttribute(name, value);
            return;
        }
        for (const auto& [n, shape] : kCursors)
            if (EqualsNoCase(value, n) && GetWidget()) GetWidget()->setCursor(shape);
        return;
    }
    CButtonUI::SetAttribute(name, value);
}

void CHandImgSelectButtonUI::PaintStatusImage(QPainter& p) {
    CButtonUI::PaintStatusImage(p);
    DrawImage(p, drawString_, rect_);
}

void CHandImgSelectButtonUI::DoEvent(TEventUI& event) {
    if (!mouseEnabled_ && IsMouse(event.Type)) {
        CButtonUI::DoEvent(event);
        return;
    }
    const bool inside = rect_.contains(event.ptMouse);
    switch (event.Type) {
        case ui::UIEVENT_BUTTONDOWN:
        case ui::UIEVENT_DBLCLICK:
            dragging_ = true;
            if (inside && IsEnabled()) {
                state_ |= ui::UISTATE_PUSHED | ui::UISTATE_CAPTURED;
                last_ = event.ptMouse;
            }
            break;
        case ui::UIEVENT_BUTTONUP:
            if (state_ & ui::UISTATE_CAPTURED)
                state_ &= ~(ui::UISTATE_PUSHED | ui::UISTATE_CAPTURED);
            dragging_ = false;
            break;
        case ui::UIEVENT_MOUSEMOVE: {
            if (dragging_) {
                int dx = last_.x() - event.ptMouse.x();
                if (dx > 0 && srcR_ < imageW_) {
                    srcL_ += dx;
                    srcR_ += dx;
                } else if (dx < 0 && srcL_ > 0) {
                    int shift = -dx < srcL_ ? -dx : srcL_;
                    srcL_ -= shift;
                    srcR_ -= shift;
                }
                int dy = last_.y() - event.ptMouse.y();
                if (dy > 0 && srcB_ < imageH_) {
                    srcT_ += dy;
                    srcB_ += dy;
                } else if (dy < 0 && srcT_ > 0) {
                    int shift = -dy < srcT_ ? -dy : srcT_;
                    srcT_ -= shift;
                    srcB_ -= shift;
                }
                last_ = event.ptMouse;
                ComposeDrawString();
            }
            if (state_ & ui::UISTATE_CAPTURED)
                state_ = inside ? (state_ | ui::UISTATE_PUSHED) : (state_ & ~ui::UISTATE_PUSHED);
            break;
        }
        case ui::UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                state_ |= ui::UISTATE_HOT;
                SendNotify("msenter");
            }
            break;
        case ui::UIEVENT_MOUSELEAVE:
            if (IsEnabled()) {
                state_ &= ~ui::UISTATE_HOT;
                SendNotify("msleave");
            }
            break;
        default:
            CButtonUI::DoEvent(event);
            return;
    }
    Invalidate();
}

void* CRedioMacroButtonUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "RedioMacroButton")) return this;
    return CButtonUI::GetInterface(name);
}

// ---- CAudioRecordUI --------------------------------------------------------

CAudioRecordUI::CAudioRecordUI() {
    for (int i = 0; i < 256; ++i)
        levels_[size_t(i)] = i;
}

void* CAudioRecordUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "AudioRecord")) return this;
    return CLabelUI::GetInterface(name);
}

std::vector<QRect> CAudioRecordUI::BarRects() const {
    std::vector<QRect> bars;
    const int h = rect_.height();
    for (int i = 0; i < kLevels && 2 * i < rect_.width(); ++i) {
        int top = rect_.top() + (h - int(int64_t(levels_[size_t(i)]) * h / 8192));
        // Down to the last row inside the rectangle; a zero level has no rows.
        bars.emplace_back(QPoint(rect_.left() + 2 * i, top),
                          QPoint(rect_.left() + 2 * i, rect_.bottom()));
    }
    return bars;
}

void CAudioRecordUI::PaintBkColor(QPainter& p) {
    p.fillRect(rect_, ui::ToQColor(ui::AdjustColor(0xFFFFFFFF)));
    const QColor black = ui::ToQColor(ui::AdjustColor(0xFF000000));
    for (const QRect& bar : BarRects())
        if (bar.height() > 0) p.fillRect(bar, black);
}

// ---- CComboEditContainerElementUI ------------------------------------------

void* CComboEditContainerElementUI::GetInterface(std::string_view name) {
    if (name == "ComboEditContainerElement") return this;
    return CListContainerElementUI::GetInterface(name);
}

void CComboEditContainerElementUI::DoInit() {
    ui::CDialogBuilder builder;
    CControlUI* built = builder.Create(kSkin, nullptr, manager_);
    if (!built) {
        platform::DebugOut("ComboEditContainerElement: item skin not built");
        return;
    }
    RemoveAll();
    Add(built);
    text1_ = ui::CPaintManagerUI::FindSubControlByName(this, "text1");
    text2_ = ui::CPaintManagerUI::FindSubControlByName(this, "text2");
    delayEdit_ = ui::CPaintManagerUI::FindSubControlByName(this, "delay_edit");
}

void CComboEditContainerElementUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "normalimage" || name == "hotimage" || name == "selectedimage") return;
    CListContainerElementUI::SetAttribute(name, value);
}

void CComboEditContainerElementUI::DoEvent(TEventUI& event) {
    if (event.Type == ui::UIEVENT_KEYDOWN && event.chKey == ui::VK_RETURN && IsEnabled()) {
        ui::LifeWatch watch = Life();
        Activate();
        if (!watch.expired()) SendNotify("return");
        return;
    }
    CListContainerElementUI::DoEvent(event);
}

// ---- CChartViewUI ----------------------------------------------------------

void CChartViewUI::SetAttribute(std::string_view name, std::string_view value) {
    CControlUI::SetAttribute(name, value);
    if (name == "view") {
        if (value == "pie")
            view_ = 0;
        else if (value == "histpgram")
            view_ = 1;
    } else if (name == "shadowimage") {
        shadowImage_ = Str(value);
    } else if (name == "shadowimageheight") {
        shadowImageHeight_ = ParseInt(value);
    } else if (name == "pillarimage") {
        pillarImage_ = Str(value);
    } else if (name == "pillarimagewidth") {
        pillarImageWidth_ = ParseInt(value);
    } else if (name == "showhtml") {
        showHtml_ = value == "true";
    } else if (name == "showtext") {
        showText_ = value == "true";
    } else if (name == "font") {
        fontIndex_ = ParseInt(value, -1);
    }
}

void CChartViewUI::AddItem(const std::string& name, double value) {
    items_.push_back({name, value});
    Invalidate();
}

void CChartViewUI::RemoveAllItems() {
    items_.clear();
    Invalidate();
}

void CChartViewUI::DoPaint(QPainter& p, const QRect& paint) {
    if (!rect_.intersects(paint)) return;
    CControlUI::DoPaint(p, paint);
    if (view_ == 0)
        DrawPie(p);
    else
        DrawHistogram(p);
}

void CChartViewUI::DrawPie(QPainter& p) {
    double total = 0;
    for (const Item& it : items_)
        total += std::max(0.0, it.value);
    if (items_.empty() || total <= 0) return;
    int side = std::min(rect_.width(), rect_.height());
    QRect r(rect_.center().x() - side / 2, rect_.center().y() - side / 2, side, side);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    double start = 90.0;
    for (size_t i = 0; i < items_.size(); ++i) {
        double span = std::max(0.0, items_[i].value) / total * 360.0;
        p.setBrush(QColor::fromHsv(int(200 + i * 47) % 360, 160, 230));
        p.drawPie(r, int(start * 16), int(-span * 16));
        start -= span;
    }
    p.restore();
}

void CChartViewUI::DrawHistogram(QPainter& p) {
    const int textBand = showText_ ? Scale(25) : 0;
    if (!shadowImage_.empty()) {
        QRect band(rect_.left(), rect_.bottom() + 1 - textBand - Scale(shadowImageHeight_),
                   rect_.width(), Scale(shadowImageHeight_));
        if (!DrawImage(p, shadowImage_, band)) shadowImage_.clear();
    }
    if (items_.empty()) return;
    double top = 0;
    for (const Item& it : items_)
        top = std::max(top, it.value);
    if (top <= 0) return;
    int slot = rect_.width() / int(items_.size());
    int width = pillarImageWidth_ > 0 ? Scale(pillarImageWidth_) : slot / 2;
    int usable = rect_.height() - textBand;
    p.save();
    p.setFont(ui::CFontTable::Instance().GetFont(fontIndex_, manager_ ? manager_->GetDPI() : 96));
    for (size_t i = 0; i < items_.size(); ++i) {
        int h = int(std::max(0.0, items_[i].value) / top * usable);
        QRect bar(rect_.left() + int(i) * slot + (slot - width) / 2, rect_.top() + usable - h,
                  width, h);
        if (pillarImage_.empty() || !DrawImage(p, pillarImage_, bar))
            p.fillRect(bar, QColor(0x3D, 0xA5, 0xFF));
        if (showText_) {
            p.setPen(ui::ToQColor(textColor_));
            p.drawText(
                QRect(rect_.left() + int(i) * slot, rect_.bottom() + 1 - textBand, slot, textBand),
                Qt::AlignCenter, ui::Q(items_[i].name));
        }
    }
    p.restore();
}

// ---- CWndUI ----------------------------------------------------------------

void* CWndUI::GetInterface(std::string_view name) {
    if (EqualsNoCase(name, "Wnd")) return this;
    return CControlUI::GetInterface(name);
}

void CWndUI::Attach(QWidget* native) {
    native_ = native;
    Follow();
}

QWidget* CWndUI::Detach() {
    QWidget* w = native_;
    native_ = nullptr;
    return w;
}

void CWndUI::SetPos(const QRect& rc) {
    CControlUI::SetPos(rc);
    Follow();
}

void CWndUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    Follow();
}

void CWndUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    Follow();
}

void CWndUI::Follow() {
    if (!native_) return;
    QWidget* paint = manager_ ? manager_->GetPaintWindow() : nullptr;
    QRect r = rect_;
    if (paint && native_->parentWidget() != paint) r.moveTopLeft(paint->mapToGlobal(r.topLeft()));
    native_->setGeometry(r);
    native_->setVisible(IsVisible());
}

}  // namespace editors
