#include "editors/CustomControls.h"

#include <QCursor>
#include <QPaintEngine>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <typeinfo>

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

CDeviceKeyButtonUI::LightLook CDeviceKeyButtonUI::GetLook() const {
    LightLook look;
    look.visible = IsVisible();
    look.enabled = IsEnabled();
    look.focused = focused_;
    look.on = lightOn_;
    look.color = lightColor_;
    look.alpha = lightAlpha_;
    look.setHidden = keySetHidden_;
    look.unsetHidden = keyUnsetHidden_;
    look.state = state_;
    return look;
}

bool CDeviceKeyButtonUI::PaintsLightOnly(const LightLook& look) const {
    auto clear = [](uint32_t argb) { return (argb >> 24) == 0; };
    const std::string* images[] = {&bkImage_,     &foreImage_,     &normalImage_, &hotImage_,
                                   &pushedImage_, &disabledImage_, &focusedImage_};
    return typeid(*this) == typeid(CDeviceKeyButtonUI) && clear(bkColor_) && clear(hotBkColor_) &&
           clear(pushedBkColor_) && clear(disabledBkColor_) && text_.empty() &&
           (borderSize_ <= 0 || clear(borderColor_)) &&
           std::all_of(std::begin(images), std::end(images),
                       [](const std::string* s) { return s->empty(); }) &&
           (look.unsetHidden != 0 || keyUnsetImage_.empty()) &&
           (look.setHidden != 0 || keySetImage_.empty()) &&
           lightImage_.find("fade") == std::string::npos;
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

namespace {

// floor(x / 255) for x below 65536.
inline uint32_t Div255(uint32_t x) {
    return (x + 1 + (x >> 8)) >> 8;
}

}  // namespace

CSelectPanelUI::BaseKey CSelectPanelUI::CurrentKey() const {
    BaseKey k;
    k.rect = rect_;
    k.bk = bkColor_;
    k.border = borderColor_;
    k.textColor = textColor_;
    k.borderSize = borderSize_;
    k.borderRound = borderRound_;
    k.dpi = manager_ ? manager_->GetDPI() : 96;
    k.font = font_;
    k.bkImage = bkImage_;
    k.foreImage = foreImage_;
    k.text = DisplayText();
    k.items = items_;
    return k;
}

bool CSelectPanelUI::IsStale() const {
    // Field by field, cheapest first: this runs on every invalidation.
    const BaseKey& k = baseKey_;
    return baseDirty_ || k.rect != rect_ || k.bk != bkColor_ || k.border != borderColor_ ||
           k.textColor != textColor_ || k.borderSize != borderSize_ ||
           k.borderRound != borderRound_ || k.dpi != (manager_ ? manager_->GetDPI() : 96) ||
           k.font != font_ || k.items != items_ || k.bkImage != bkImage_ ||
           k.foreImage != foreImage_ ||
           (!k.text.empty() || !text_.empty() ? k.text != DisplayText() : false);
}

// The overlay: every button with a light picture, and what is painted above
// one of them (on a transparent panel: everything after the first one, so
// the picture is blended in the same order as painting it live).
std::vector<bool> CSelectPanelUI::PlanOverlays(bool opaque) {
    std::vector<Overlay> old = std::move(overlays_);
    overlays_.clear();
    std::vector<bool> inOverlay(items_.size(), false);
    std::vector<QRect> lit;
    for (size_t i = 0; i < items_.size(); ++i) {
        CControlUI* c = items_[i];
        if (c->WantsWidget()) continue;
        auto* key = dynamic_cast<CDeviceKeyButtonUI*>(c);
        const bool light = key && !key->GetLightImage().empty();
        const QRect r = c->GetPos();
        const bool above = opaque ? std::any_of(lit.begin(), lit.end(),
                                                [&](const QRect& l) { return l.intersects(r); })
                                  : !lit.empty();
        if (light) lit.push_back(r);
        if (!light && !above) continue;
        inOverlay[i] = true;
        Overlay o;
        o.item = c;
        o.key = light ? key : nullptr;
        o.rect = r;
        o.clip = r.intersected(rect_).intersected(Inner());
        auto same = std::find_if(old.begin(), old.end(), [&](const Overlay& p) {
            return p.item == c && p.rect == r && p.clip == o.clip;
        });
        if (same != old.end()) {
            o.cover = std::move(same->cover);
            o.levels = std::move(same->levels);
            o.coverImage = std::move(same->coverImage);
            o.coverDpi = same->coverDpi;
        }
        overlays_.push_back(std::move(o));
    }
    loneAt_.clear();
    for (size_t k = 0; k < overlays_.size(); ++k) {
        for (size_t j = 0; j < overlays_.size(); ++j)
            if (overlays_[j].rect.intersects(overlays_[k].rect)) overlays_[k].meets.push_back(j);
        if (overlays_[k].meets.size() == 1 && overlays_[k].key)
            loneAt_[Corner(overlays_[k].clip.topLeft())] = k;
    }
    return inOverlay;
}

void CSelectPanelUI::Rebuild() {
    const bool opaque = (bkColor_ >> 24) == 0xFF && borderRound_ == 0;
    std::vector<bool> inOverlay = PlanOverlays(opaque);
    base_ =
        QImage(rect_.size(), opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    base_.fill(Qt::transparent);
    {
        QPainter bp(&base_);
        bp.translate(-rect_.topLeft());
        CControlUI::DoPaint(bp, rect_);
        bp.setClipRect(Inner(), Qt::IntersectClip);
        for (size_t i = 0; i < items_.size(); ++i)
            if (!inOverlay[i] && !items_[i]->WantsWidget() && items_[i]->IsVisible())
                items_[i]->DoPaint(bp, rect_);
    }
    baseKey_ = CurrentKey();
    baseDirty_ = false;
    ++baseRebuilds_;
    for (Overlay& o : overlays_) {
        o.painted = LookOf(o);
        o.lightOnly = o.key && o.key->PaintsLightOnly(o.painted);
        o.force = false;
    }
    frame_ = QImage();
    if (!opaque) return;
    frame_ = base_.copy();
    std::unique_ptr<QPainter> painter;
    for (Overlay& o : overlays_)
        DrawOverlay(o, o.rect, painter);
}

CDeviceKeyButtonUI::LightLook CSelectPanelUI::LookOf(const Overlay& o) const {
    if (o.key) return o.key->GetLook();
    LightLook look;
    look.visible = o.item->IsVisible();
    return look;
}

std::vector<size_t> CSelectPanelUI::TakeChanged() {
    std::vector<size_t> changed;
    for (size_t k = 0; k < overlays_.size(); ++k) {
        Overlay& o = overlays_[k];
        if (o.item->GetPos() != o.rect) {
            baseDirty_ = true;
            return {};
        }
        LightLook now = LookOf(o);
        if (!o.force && now == o.painted) continue;
        o.painted = now;
        o.lightOnly = o.key && o.key->PaintsLightOnly(now);
        o.force = false;
        changed.push_back(k);
    }
    overlayRepaints_ += int(changed.size());
    return changed;
}

QRegion CSelectPanelUI::RegionOf(const std::vector<size_t>& changed) const {
    QRegion region;
    for (size_t k : changed)
        region += overlays_[k].rect.intersected(rect_);
    return region;
}

bool CSelectPanelUI::IsLoneLight(size_t k) const {
    const Overlay& o = overlays_[k];
    return o.meets.size() == 1 && o.key && o.painted.visible && o.painted.on && o.lightOnly;
}

void CSelectPanelUI::ComposeOverlay(size_t k, std::unique_ptr<QPainter>& painter) {
    if (IsLoneLight(k)) {
        overlays_[k].frameStale = true;
        return;
    }
    const QRect r = overlays_[k].rect.intersected(rect_);
    if (r.isEmpty()) return;
    const QPoint org = rect_.topLeft();
    const size_t bytes = size_t(r.width()) * 4;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(frame_.scanLine(y - org.y()) + (r.left() - org.x()) * 4,
                    base_.constScanLine(y - org.y()) + (r.left() - org.x()) * 4, bytes);
    for (size_t j : overlays_[k].meets)
        DrawOverlay(overlays_[j], r, painter);
    overlays_[k].frameStale = false;
}

// Draws one overlay into the composed picture, within `area`.
void CSelectPanelUI::DrawOverlay(Overlay& o, const QRect& area,
                                 std::unique_ptr<QPainter>& painter) {
    const QRect clip = o.clip.intersected(area);
    if (clip.isEmpty() || !o.painted.visible) return;
    if (o.lightOnly) {
        if (o.painted.on) BlendLight(o, clip);
        return;
    }
    if (!painter) {
        painter = std::make_unique<QPainter>(&frame_);
        painter->translate(-rect_.topLeft());
    }
    painter->setClipRect(clip);
    o.item->DoPaint(*painter, clip);
}

// The light picture's coverage over the clip, taken from the picture tinted
// white at full strength (whose alpha is the coverage).
const std::vector<uint8_t>& CSelectPanelUI::Cover(Overlay& o) {
    const size_t w = size_t(o.clip.width()), h = size_t(o.clip.height());
    if (o.coverDpi == baseKey_.dpi && o.coverImage == o.key->GetLightImage() &&
        o.cover.size() == w * h)
        return o.cover;
    QImage img(o.clip.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.translate(-o.clip.topLeft());
        ui::ImageTint white{0xFFFFFF, 255, true};
        o.key->DrawImage(p, o.key->GetLightImage(), o.rect, &white);
    }
    o.cover.resize(w * h);
    bool seen[256] = {};
    for (size_t y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(int(y)));
        for (size_t x = 0; x < w; ++x) {
            uint8_t c = uint8_t(qAlpha(line[x]));
            o.cover[y * w + x] = c;
            seen[c] = true;
        }
    }
    o.levels.clear();
    for (int i = 0; i < 256; ++i)
        if (seen[i]) o.levels.push_back(uint8_t(i));
    o.coverImage = o.key->GetLightImage();
    o.coverDpi = baseKey_.dpi;
    o.runsStrength = 256;
    return o.cover;
}

namespace {

// The tinted picture's pixel for each coverage value that occurs: colour x
// coverage x strength, premultiplied, as the image tint computes it.
struct TintTable {
    QRgb tint[256];
    uint32_t inverse[256];  // 255 - alpha of that pixel
    TintTable(const std::vector<uint8_t>& levels, uint32_t color, uint32_t strength) {
        const uint32_t r = (color >> 16) & 0xFF, g = (color >> 8) & 0xFF, b = color & 0xFF;
        for (uint8_t level : levels) {
            const uint32_t a = Div255(level * strength + 127);
            tint[level] = (a << 24) | (Div255(r * a + 127) << 16) | (Div255(g * a + 127) << 8) |
                          Div255(b * a + 127);
            inverse[level] = 255 - a;
        }
    }
};

// Each channel of an opaque pixel times a / 255, rounded as blending does.
// Every channel of a premultiplied pixel times a / 255, rounded the same way.
inline uint32_t PixelMul4(uint32_t px, uint32_t a) {
    uint32_t rb = (px & 0xFF00FF) * a;
    rb = ((rb + ((rb >> 8) & 0xFF00FF) + 0x800080) >> 8) & 0xFF00FF;
    uint32_t ag = ((px >> 8) & 0xFF00FF) * a;
    ag = (ag + ((ag >> 8) & 0xFF00FF) + 0x800080) & 0xFF00FF00;
    return ag | rb;
}

inline uint32_t PixelMul(uint32_t px, uint32_t a) {
    uint32_t rb = (px & 0xFF00FF) * a;
    rb = ((rb + ((rb >> 8) & 0xFF00FF) + 0x800080) >> 8) & 0xFF00FF;
    uint32_t g = ((px >> 8) & 0xFF) * a;
    g = ((g + (g >> 8) + 0x80) >> 8) & 0xFF;
    return rb | (g << 8);
}

}  // namespace

// The tint blended into the opaque picture over what is already there.
void CSelectPanelUI::BlendLight(Overlay& o, const QRect& area) {
    const std::vector<uint8_t>& cover = Cover(o);
    if (cover.empty()) return;
    const TintTable table(o.levels, o.painted.color, std::min<uint32_t>(o.painted.alpha, 255));
    const QPoint org = rect_.topLeft();
    const int w = o.clip.width(), n = area.width();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uint8_t* c = cover.data() + size_t(y - o.clip.top()) * size_t(w) +
                           size_t(area.left() - o.clip.left());
        QRgb* d = reinterpret_cast<QRgb*>(frame_.scanLine(y - org.y())) + (area.left() - org.x());
        for (int x = 0; x < n; ++x)
            d[x] = (table.tint[c[x]] + PixelMul(d[x], table.inverse[c[x]])) | 0xFF000000u;
    }
}

// The picture below a lone light, times (1 - light alpha), for the current
// strength: a palette of the (coverage, below) pairs that occur and one
// palette index per pixel (key pictures have few colours), or runs of equal
// pixels per row when there are too many pairs.
void CSelectPanelUI::PreparePixels(Overlay& o) {
    const std::vector<uint8_t>& cover = Cover(o);
    const uint32_t strength = std::min<uint32_t>(o.painted.alpha, 255);
    if (o.runsStrength == strength && (!o.index.empty() || !o.rowStart.empty())) return;
    const QPoint org = rect_.topLeft();
    const int w = o.clip.width(), h = o.clip.height();
    o.runs.clear();
    o.rowStart.assign(size_t(h) + 1, 0);
    o.palette.clear();
    o.index.assign(cover.size(), 0);
    std::unordered_map<uint64_t, uint8_t> known;
    bool fits = true;
    for (int y = 0; y < h; ++y) {
        o.rowStart[size_t(y)] = uint32_t(o.runs.size());
        const QRgb* b =
            reinterpret_cast<const QRgb*>(base_.constScanLine(o.clip.top() + y - org.y())) +
            (o.clip.left() - org.x());
        const size_t row = size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            const uint8_t c = cover[row + size_t(x)];
            const uint32_t below = PixelMul(b[x], 255 - Div255(c * strength + 127));
            if (fits) {
                const uint64_t pair = (uint64_t(below) << 8) | c;
                auto [it, added] = known.try_emplace(pair, uint8_t(o.palette.size()));
                if (added) {
                    if (o.palette.size() == 256) {
                        fits = false;
                    } else {
                        o.palette.push_back({below, 0, c});
                    }
                }
                o.index[row + size_t(x)] = it->second;
            }
            if (!o.runs.empty() && o.rowStart[size_t(y)] < o.runs.size() &&
                o.runs.back().below == below && o.runs.back().cover == c &&
                o.runs.back().count < 0xFFFF) {
                ++o.runs.back().count;
                continue;
            }
            o.runs.push_back({below, 1, c});
        }
    }
    o.rowStart[size_t(h)] = uint32_t(o.runs.size());
    if (fits) {
        o.runs.clear();
        o.rowStart.clear();
        KeepUniqueRows(o, w, h);
    } else {
        o.palette.clear();
        o.index.clear();
    }
    o.runsStrength = strength;
}

// Rows of palette indices that repeat (flat key pictures) are kept once.
void CSelectPanelUI::KeepUniqueRows(Overlay& o, int w, int h) {
    std::vector<uint8_t> unique;
    std::unordered_map<std::string_view, uint16_t> seen;
    o.rowOf.assign(size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        std::string_view row(reinterpret_cast<const char*>(o.index.data()) + size_t(y) * size_t(w),
                             size_t(w));
        auto [it, added] = seen.try_emplace(row, uint16_t(seen.size()));
        if (added) unique.insert(unique.end(), row.begin(), row.end());
        o.rowOf[size_t(y)] = it->second;
    }
    o.index = std::move(unique);
}

// Writes a lone light's pixels (tint plus the part of the picture below)
// into `bits`, whose pixel `at` is the clip's top-left corner.
void CSelectPanelUI::WriteLone(Overlay& o, uchar* bits, qsizetype stride, const QPoint& at) {
    if (Cover(o).empty()) return;
    PreparePixels(o);
    const TintTable table(o.levels, o.painted.color, std::min<uint32_t>(o.painted.alpha, 255));
    const int w = o.clip.width();
    if (!o.index.empty()) {
        QRgb out[256];
        for (size_t i = 0; i < o.palette.size(); ++i)
            out[i] = (table.tint[o.palette[i].cover] + o.palette[i].below) | 0xFF000000u;
        // Each distinct row once, then copied to every row that has it.
        static std::vector<QRgb> rows;
        rows.resize(o.index.size());
        for (size_t i = 0; i < o.index.size(); ++i)
            rows[i] = out[o.index[i]];
        const size_t bytes = size_t(w) * sizeof(QRgb);
        for (int y = 0; y < o.clip.height(); ++y)
            std::memcpy(bits + (at.y() + y) * stride + at.x() * 4,
                        rows.data() + size_t(o.rowOf[size_t(y)]) * size_t(w), bytes);
        return;
    }
    for (int y = 0; y < o.clip.height(); ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(bits + (at.y() + y) * stride) + at.x();
        const Run* run = o.runs.data() + o.rowStart[size_t(y)];
        const Run* end = o.runs.data() + o.rowStart[size_t(y) + 1];
        for (; run != end; ++run)
            d = std::fill_n(d, run->count, (table.tint[run->cover] + run->below) | 0xFF000000u);
    }
}

// A lone light on a transparent panel: the cached picture below it, then
// its tint, blended over the target's pixels (the parent's painting) with
// the arithmetic of painting both. The parent rarely changes, so the part
// below the tint is kept per row with the parent pixels it was made from.
void CSelectPanelUI::BlendLoneOver(Overlay& o, uchar* bits, qsizetype stride, const QPoint& at) {
    const std::vector<uint8_t>& cover = Cover(o);
    if (cover.empty()) return;
    const uint32_t strength = std::min<uint32_t>(o.painted.alpha, 255);
    const TintTable table(o.levels, o.painted.color, strength);
    const QPoint org = rect_.topLeft();
    const int w = o.clip.width(), h = o.clip.height();
    const size_t n = size_t(w) * size_t(h), rowBytes = size_t(w) * sizeof(QRgb);
    const bool fresh = o.overStrength != strength || o.seenUnder.size() != n;
    if (fresh) {
        o.seenUnder.resize(n);
        o.overBelow.resize(n);
        o.overStrength = strength;
    }
    for (int y = 0; y < h; ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(bits + (at.y() + y) * stride) + at.x();
        const size_t row = size_t(y) * size_t(w);
        const uint8_t* c = cover.data() + row;
        uint32_t* below = o.overBelow.data() + row;
        if (fresh || std::memcmp(d, o.seenUnder.data() + row, rowBytes) != 0) {
            std::memcpy(o.seenUnder.data() + row, d, rowBytes);
            const QRgb* b =
                reinterpret_cast<const QRgb*>(base_.constScanLine(o.clip.top() + y - org.y())) +
                (o.clip.left() - org.x());
            for (int x = 0; x < w; ++x)
                below[x] =
                    PixelMul4(b[x] + PixelMul4(d[x], 255 - qAlpha(b[x])), table.inverse[c[x]]);
        }
        for (int x = 0; x < w; ++x)
            d[x] = table.tint[c[x]] + below[x];
    }
}

// Brings the composed picture up to date for the lone lights in `r` (their
// new looks go straight to the screen and reach the picture only on demand).
void CSelectPanelUI::FlushFrame(const QRect& r) {
    uchar* bits = frame_.bits();
    for (Overlay& o : overlays_) {
        if (!o.frameStale || !o.clip.intersects(r)) continue;
        WriteLone(o, bits, frame_.bytesPerLine(), o.clip.topLeft() - rect_.topLeft());
        o.frameStale = false;
    }
}

void CSelectPanelUI::RepaintChanged() {
    QWidget* w = widget_;
    if (!w) return;
    if (!IsOnScreen()) {
        missed_ = true;  // lights keep their values; the next pass on screen catches up
        return;
    }
    if (missed_ || IsStale()) {
        missed_ = false;
        w->update();
        return;
    }
    std::vector<size_t> changed = TakeChanged();
    if (baseDirty_) {
        w->update();
        return;
    }
    if (changed.empty()) return;
    if (!frame_.isNull()) {
        std::unique_ptr<QPainter> painter;
        for (size_t k : changed)
            ComposeOverlay(k, painter);
    }
    w->update(RegionOf(changed).translated(-rect_.topLeft()));
}

void CSelectPanelUI::Invalidate() {
    UI_MARSHAL_VOID(Invalidate());
    if (!widget_) {
        CVerticalLayoutUI::Invalidate();
        return;
    }
    RepaintChanged();
}

void CSelectPanelUI::InvalidatePaintedChild(CControlUI* child) {
    auto it = std::find_if(overlays_.begin(), overlays_.end(),
                           [&](const Overlay& o) { return o.item == child; });
    if (it != overlays_.end())
        it->force = true;
    else
        baseDirty_ = true;
    RepaintChanged();
}

namespace {

// The picture a paint lands in, when the painter maps window pixels onto it
// by a whole-pixel shift and paints plainly (a widget painting into its
// window's backing store); nullptr otherwise.
QImage* DirectTarget(QPainter& p, QPoint& offset) {
    QPaintEngine* engine = p.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) return nullptr;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image) return nullptr;
    auto* image = static_cast<QImage*>(device);
    if (image->format() != QImage::Format_RGB32 &&
        image->format() != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    const QTransform t = p.deviceTransform();
    if (image->devicePixelRatio() != 1.0 || t.type() > QTransform::TxTranslate ||
        t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy()) || p.opacity() != 1.0 ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver || p.hasClipping())
        return nullptr;
    offset = QPoint(int(t.dx()), int(t.dy()));
    return image;
}

}  // namespace

// Copies the composed picture's rows of `r` (window coordinates) into the
// target the painter draws on, in place: the painter keeps pointing at the
// same pixels. `r` lies inside the target.
void CSelectPanelUI::CopyRect(QImage& target, const QPoint& offset, const QRect& r) {
    uchar* bits = const_cast<uchar*>(target.constBits());
    const qsizetype stride = target.bytesPerLine();
    const QRect dst = r.translated(offset);
    const QRect src = r.translated(-rect_.topLeft());
    const size_t bytes = size_t(dst.width()) * 4;
    for (int y = 0; y < dst.height(); ++y)
        std::memcpy(bits + (dst.top() + y) * stride + dst.left() * 4,
                    frame_.constScanLine(src.top() + y) + src.left() * 4, bytes);
}

void CSelectPanelUI::DoPaintRegion(QPainter& p, const QRegion& region) {
    paintRegion_ = &region;
    DoPaint(p, region.boundingRect());
    paintRegion_ = nullptr;
}

void CSelectPanelUI::DoPaint(QPainter& p, const QRect& paint) {
    if (!rect_.intersects(paint) || rect_.isEmpty()) return;
    const QRegion region = paintRegion_ ? *paintRegion_ : QRegion(paint);
    if (region.contains(rect_)) missed_ = false;
    bool rebuilt = false;
    if (IsStale()) {
        Rebuild();
        rebuilt = true;
    }
    std::vector<size_t> changed = TakeChanged();
    if (baseDirty_) {
        Rebuild();
        rebuilt = true;
        changed.clear();
    }
    const QRect area = paint.intersected(rect_);
    const QPoint org = rect_.topLeft();
    if (!frame_.isNull()) {
        std::unique_ptr<QPainter> painter;
        for (size_t k : changed)
            ComposeOverlay(k, painter);
        painter.reset();
        // Lone lights are written straight to the target; everything else is
        // one small copy per exposed rectangle.
        QPoint offset;
        QImage* target = DirectTarget(p, offset);
        for (const QRect& r : region.intersected(area)) {
            const bool inside = target && target->rect().contains(r.translated(offset));
            auto lone = inside ? loneAt_.find(Corner(r.topLeft())) : loneAt_.end();
            if (lone != loneAt_.end() && overlays_[lone->second].clip == r &&
                IsLoneLight(lone->second)) {
                WriteLone(overlays_[lone->second], const_cast<uchar*>(target->constBits()),
                          target->bytesPerLine(), r.topLeft() + offset);
                continue;
            }
            FlushFrame(r);
            if (inside)
                CopyRect(*target, offset, r);
            else
                p.drawImage(r, frame_, r.translated(-org));
        }
    } else {
        // A transparent panel lies over its parent's painting: lone lights
        // are blended over what the target holds; the rest is painted.
        QPoint offset;
        QImage* target = DirectTarget(p, offset);
        for (const QRect& r : region.intersected(area)) {
            const bool inside = target && target->rect().contains(r.translated(offset));
            auto lone = inside ? loneAt_.find(Corner(r.topLeft())) : loneAt_.end();
            if (lone != loneAt_.end() && overlays_[lone->second].clip == r &&
                IsLoneLight(lone->second)) {
                BlendLoneOver(overlays_[lone->second], const_cast<uchar*>(target->constBits()),
                              target->bytesPerLine(), r.topLeft() + offset);
                continue;
            }
            p.save();
            p.setClipRect(r, Qt::IntersectClip);
            p.drawImage(r, base_, r.translated(-org));
            p.setClipRect(Inner(), Qt::IntersectClip);
            for (Overlay& o : overlays_)
                if (o.item->IsVisible() && o.rect.intersects(r)) o.item->DoPaint(p, r);
            p.restore();
        }
    }
    // What changed outside the painted region is shown by one more paint.
    QRegion outside = (rebuilt ? QRegion(rect_) : RegionOf(changed)) - region;
    if (!outside.isEmpty() && widget_) widget_->update(outside.translated(-org));
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
