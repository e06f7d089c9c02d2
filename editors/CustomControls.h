#pragma once
// The program's own control classes: a ring progress, the key and light
// buttons of a device picture and the panel that holds them, image buttons,
// a level display, a list item with a fixed inner layout, a chart and a
// holder for a native window. RegisterCustomControls() makes them available
// to skins under their class names ("CSelectPanelUI", or "SelectPanel").
#include <array>
#include <atomic>
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
// Painting keeps a cached picture of the panel and of its children up to the
// first lit key, so a light frame only redraws the lights.
class CSelectPanelUI : public ui::CVerticalLayoutUI {
  public:
    std::string_view GetClass() const override { return "SelectPanel"; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(TEventUI& event) override;
    void DoPaint(QPainter& p, const QRect& paint) override;
    void OnPaintedChildChanged(CControlUI*) override { baseDirty_ = true; }
    QRect GetSelectRect() const { return selectRect_; }
    bool IsDragging() const { return dragging_; }
    // How often the cached picture was rebuilt (for tests and measurements).
    int BaseRebuilds() const { return baseRebuilds_; }

  private:
    struct BaseKey {
        QSize size;
        uint32_t bk = 0;
        std::string bkImage;
        int dpi = 0;
        size_t prefix = 0;
        bool operator==(const BaseKey&) const = default;
    };
    size_t StaticPrefix() const;
    void RebuildBase(const BaseKey& key);
    QImage base_;
    BaseKey baseKey_;
    bool baseDirty_ = true;
    int baseRebuilds_ = 0;

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
