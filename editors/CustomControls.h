#pragma once
// The program's own control classes: a ring progress, the key and light
// buttons of a device picture and the panel that holds them, image buttons,
// a level display, a list item with a fixed inner layout, a chart and a
// holder for a native window. RegisterCustomControls() makes them available
// to skins under their class names ("CSelectPanelUI", or "SelectPanel").
#include <array>
#include <atomic>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ui/Controls.h"
#include "ui/List.h"

namespace editors {

using ui::CControlUI;
using ui::TEventUI;

// Registers the ten classes with the control factory.
void RegisterCustomControls();

// Progress drawn as a ring: a disc in the background colour, a pie from the
// bottom sweeping clockwise by value / (max - min) x 360 degrees in the
// foreground colour, and a white disc inset by 10 pixels.
class CCircleProgressUI : public ui::CProgressUI {
  public:
    std::string_view GetClass() const override { return "CircleProgress"; }
    void* GetInterface(std::string_view name) override;
    void PaintBkColor(QPainter& p) override;
    void PaintForeColor(QPainter& p) override;
    void PaintForeImage(QPainter&) override {}
    // Whole degrees of the foreground pie; -1 when the bounds are equal.
    int SweepDegrees() const;
    static constexpr int kRingInset = 10;  // pixels, not scaled
};

// One key or light of a device picture. Painted by the enclosing panel (no
// widget of its own). The light values may be set from lighting threads.
class CDeviceKeyButtonUI : public ui::CButtonUI {
  public:
    // The picture draws the key: no button surface unless the skin sets one.
    CDeviceKeyButtonUI() { bkColor_ = 0; }
    std::string_view GetClass() const override { return "DeviceKeyButton"; }
    void* GetInterface(std::string_view name) override;
    bool WantsWidget() const override { return false; }
    void DoInit() override {}
    void DoEvent(TEventUI& event) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void PaintStatusImage(QPainter& p) override;

    // Light colour is 0x00RRGGBB, alpha 0..255; stored only, no repaint.
    void SetLightPaint(uint32_t color, uint32_t alpha, bool on);
    uint32_t GetLightColor() const { return lightColor_; }
    uint32_t GetLightAlpha() const { return lightAlpha_; }
    bool IsLightOn() const { return lightOn_; }
    // Store and repaint when the value changes.
    void SetKeySetImageHidden(uint32_t hidden);
    void SetKeyUnsetImageHidden(uint32_t hidden);
    void SetKeyFlag(uint32_t flag);
    uint32_t GetKeySetImageHidden() const { return keySetHidden_; }
    uint32_t GetKeyUnsetImageHidden() const { return keyUnsetHidden_; }
    uint32_t GetKeyFlag() const { return keyFlag_; }
    // Panel selection mark, without repaint.
    void SetPanelSelected(uint32_t selected) { panelSelected_ = selected; }
    uint32_t IsPanelSelected() const { return panelSelected_; }
    const std::string& GetLightImage() const { return lightImage_; }
    const std::string& GetKeySetImage() const { return keySetImage_; }
    const std::string& GetKeyUnsetImage() const { return keyUnsetImage_; }

    // The values a light frame changes, read once so that one repaint pass
    // sees one consistent colour per button.
    struct LightLook {
        bool visible = false;
        bool enabled = false;
        bool focused = false;
        bool on = false;
        uint32_t color = 0, alpha = 0;
        uint32_t setHidden = 1, unsetHidden = 1;
        uint32_t state = 0;
        bool operator==(const LightLook&) const = default;
    };
    LightLook GetLook() const;
    // Whether this look paints the tinted light picture and nothing else (no
    // surface colour, state image, key image, text or border), so the panel
    // may blend the tint itself.
    bool PaintsLightOnly(const LightLook& look) const;

  private:
    std::string lightImage_, keySetImage_, keyUnsetImage_;
    std::atomic<uint32_t> keySetHidden_{1};
    std::atomic<uint32_t> keyUnsetHidden_{1};
    std::atomic<uint32_t> keyFlag_{0};
    std::atomic<bool> lightOn_{false};
    std::atomic<uint32_t> lightColor_{255};
    std::atomic<uint32_t> lightAlpha_{200};
    std::atomic<uint32_t> panelSelected_{0};
};

// Holds key buttons; a drag over it marks the direct key-button children
// whose rectangles meet the dragged rectangle and raises "click_select_end".
//
// Painting: a cached picture holds the panel and the children that never
// change with the lights; the buttons with a light picture (and whatever
// lies above them) are the overlay. Invalidating the panel repaints only the
// overlay buttons whose look changed since they were last painted, and
// nothing when none did or when the window is hidden or minimised. On an
// opaque panel the overlay is composed into a second cached picture (the
// light tint blended straight into it), so a paint is one copy.
class CSelectPanelUI : public ui::CVerticalLayoutUI {
  public:
    std::string_view GetClass() const override { return "SelectPanel"; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(TEventUI& event) override;
    void DoPaint(QPainter& p, const QRect& paint) override;
    void DoPaintRegion(QPainter& p, const QRegion& region) override;
    void Invalidate() override;
    void InvalidatePaintedChild(CControlUI* child) override;
    void OnPaintedChildChanged(CControlUI*) override { baseDirty_ = true; }
    QRect GetSelectRect() const { return selectRect_; }
    bool IsDragging() const { return dragging_; }
    // How often the cached picture was rebuilt (for tests and measurements).
    int BaseRebuilds() const { return baseRebuilds_; }
    // How many overlay buttons were composed or asked to repaint again
    // because their look changed (for tests and measurements).
    int OverlayRepaints() const { return overlayRepaints_; }

  private:
    using LightLook = CDeviceKeyButtonUI::LightLook;
    struct BaseKey {
        QRect rect;
        uint32_t bk = 0, border = 0, textColor = 0;
        int borderSize = 0, borderRound = 0, dpi = 0, font = 0;
        std::string bkImage, foreImage, text;
        std::vector<CControlUI*> items;
        bool operator==(const BaseKey&) const = default;
    };
    struct Run {
        uint32_t below;
        uint16_t count;
        uint8_t cover;
    };
    struct Overlay {
        CControlUI* item = nullptr;
        CDeviceKeyButtonUI* key = nullptr;  // a button with a light picture
        QRect rect;                         // the item's rectangle when planned
        LightLook painted;                  // the look last composed or repainted
        bool lightOnly = false;             // `painted` draws only the tinted light
        bool force = false;                 // repaint even when the look is the same
        std::vector<size_t> meets;          // overlays that meet this one, in order
        QRect clip;                         // rect within the panel's inner area
        std::vector<uint8_t> cover;         // light picture coverage over clip
        std::vector<uint8_t> levels;        // the coverage values that occur
        std::string coverImage;             // image string and DPI of `cover`
        int coverDpi = 0;
        // A lone light (one that meets no other overlay): the picture below
        // it times (1 - light alpha) as a palette with an index per pixel, or
        // as runs per row, for runsStrength (256: not made); and whether the
        // composed picture lags its look.
        std::vector<Run> palette;
        std::vector<uint8_t> index;   // palette indices of the distinct rows
        std::vector<uint16_t> rowOf;  // which distinct row each row is
        std::vector<Run> runs;
        std::vector<uint32_t> rowStart;
        uint32_t runsStrength = 256;
        bool frameStale = false;
        // A lone light on a transparent panel: the parent pixels last seen
        // below it and, for overStrength, what shows through the tint.
        std::vector<QRgb> seenUnder;
        std::vector<uint32_t> overBelow;
        uint32_t overStrength = 256;
    };
    BaseKey CurrentKey() const;
    bool IsStale() const;
    void Rebuild();
    std::vector<bool> PlanOverlays(bool opaque);
    LightLook LookOf(const Overlay& o) const;
    // Overlays whose look differs from the painted one; their looks are
    // taken as painted. A moved overlay marks the picture stale instead.
    std::vector<size_t> TakeChanged();
    QRegion RegionOf(const std::vector<size_t>& changed) const;
    // Redraws the picture of overlay k (opaque panels only).
    void ComposeOverlay(size_t k, std::unique_ptr<QPainter>& painter);
    void DrawOverlay(Overlay& o, const QRect& area, std::unique_ptr<QPainter>& painter);
    void BlendLight(Overlay& o, const QRect& area);
    bool IsLoneLight(size_t k) const;
    void PreparePixels(Overlay& o);
    void KeepUniqueRows(Overlay& o, int w, int h);
    void WriteLone(Overlay& o, uchar* bits, qsizetype stride, const QPoint& at);
    void BlendLoneOver(Overlay& o, uchar* bits, qsizetype stride, const QPoint& at);
    void FlushFrame(const QRect& r);
    static uint64_t Corner(const QPoint& p) {
        return (uint64_t(uint32_t(p.x())) << 32) | uint32_t(p.y());
    }
    const std::vector<uint8_t>& Cover(Overlay& o);
    void CopyRect(QImage& target, const QPoint& offset, const QRect& r);
    // Repaints the overlays whose look changed (the work of an invalidation).
    void RepaintChanged();

    QImage base_;
    QImage frame_;  // base plus overlay, only on an opaque panel
    BaseKey baseKey_;
    bool baseDirty_ = true;
    bool missed_ = false;  // an invalidation arrived while not on screen
    std::vector<Overlay> overlays_;
    std::unordered_map<uint64_t, size_t> loneAt_;  // lone lights by clip corner
    const QRegion* paintRegion_ = nullptr;
    int baseRebuilds_ = 0;
    int overlayRepaints_ = 0;

    QPoint anchor_, current_;
    bool pressed_ = false;
    bool dragging_ = false;
    QRect selectRect_;
};

// A button with a second image over its state image.
class CHandImgButtonUI : public ui::CButtonUI {
  public:
    std::string_view GetClass() const override { return "HandImgButton"; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void PaintStatusImage(QPainter& p) override;
    void SetHandImage(const std::string& image);
    const std::string& GetHandImage() const { return handImage_; }

  private:
    std::string handImage_;
};

// A large picture seen through the button and moved by dragging.
class CHandImgSelectButtonUI : public ui::CButtonUI {
  public:
    std::string_view GetClass() const override { return "HandImgSelectButton"; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void PaintStatusImage(QPainter& p) override;
    void SetHandImage(const std::string& image);
    // The part of the picture shown (left, top, right, bottom in image pixels).
    QRect GetSourceRect() const {
        return QRect(QPoint(srcL_, srcT_), QPoint(srcR_ - 1, srcB_ - 1));
    }
    const std::string& GetDrawString() const { return drawString_; }
    QSize GetImageSize() const { return QSize(imageW_, imageH_); }

  private:
    void ComposeDrawString();
    std::string image_;
    std::string drawString_;
    int imageW_ = 0, imageH_ = 0;
    int srcL_ = 0, srcT_ = 0, srcR_ = 0, srcB_ = 0;
    QPoint last_;
    bool dragging_ = false;
};

class CRedioMacroButtonUI : public ui::CButtonUI {
  public:
    std::string_view GetClass() const override { return "RedioMacroButton"; }
    void* GetInterface(std::string_view name) override;
};

// 500 level bars on white.
class CAudioRecordUI : public ui::CLabelUI {
  public:
    static constexpr int kLevels = 500;
    CAudioRecordUI();
    std::string_view GetClass() const override { return "AudioRecord"; }
    void* GetInterface(std::string_view name) override;
    void PaintBkColor(QPainter& p) override;
    void PaintForeImage(QPainter&) override {}
    // The bars for the current rectangle (zero-height bars included).
    std::vector<QRect> BarRects() const;
    int Level(int i) const { return i >= 0 && i < kLevels ? levels_[size_t(i)] : 0; }

  private:
    std::array<int32_t, kLevels> levels_{};
};

// A list item whose inner layout comes from "ComboEditElementItem.xml".
class CComboEditContainerElementUI : public ui::CListContainerElementUI {
  public:
    std::string_view GetClass() const override { return "ComboEditContainerElement"; }
    void* GetInterface(std::string_view name) override;
    void DoInit() override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void PaintForeImage(QPainter&) override {}
    CControlUI* Text1() const { return text1_; }
    CControlUI* Text2() const { return text2_; }
    CControlUI* DelayEdit() const { return delayEdit_; }
    static constexpr const char* kSkin = "XML\\CustomControlXML\\ComboEditElementItem.xml";

  private:
    CControlUI* text1_ = nullptr;
    CControlUI* text2_ = nullptr;
    CControlUI* delayEdit_ = nullptr;
};

// A pie or histogram of (name, value) items.
class CChartViewUI : public CControlUI {
  public:
    struct Item {
        std::string name;
        double value = 0;
    };
    void SetAttribute(std::string_view name, std::string_view value) override;
    void DoPaint(QPainter& p, const QRect& paint) override;
    void AddItem(const std::string& name, double value);
    void RemoveAllItems();
    int GetView() const { return view_; }
    const std::string& GetShadowImage() const { return shadowImage_; }

  private:
    void DrawPie(QPainter& p);
    void DrawHistogram(QPainter& p);
    int view_ = 0;
    std::string shadowImage_;
    int shadowImageHeight_ = 0;
    std::string pillarImage_;
    int pillarImageWidth_ = 0;
    bool showHtml_ = false;
    bool showText_ = true;
    int fontIndex_ = -1;
    std::vector<Item> items_;
};

// Holds a native widget that follows the control's position and visibility.
class CWndUI : public CControlUI {
  public:
    std::string_view GetClass() const override { return "Wnd"; }
    void* GetInterface(std::string_view name) override;
    void SetPos(const QRect& rc) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void Attach(QWidget* native);
    QWidget* Detach();

  private:
    void Follow();
    QWidget* native_ = nullptr;
};

}  // namespace editors
