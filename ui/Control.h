#pragma once
// The base control. A control is a named rectangle of the window with
// painting, events and attributes. Most controls own a QWidget (their host)
// that is a child of their parent's widget; "painted" controls own none and
// are drawn and fed with mouse events by the nearest ancestor that has one
// (a key picture of hundreds of keys stays one widget).
//
// Rectangles are window-relative pixels; skin sizes are design units at 96
// DPI and are scaled by the window's DPI when laid out.
#include <QMargins>
#include <QPainter>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/Messages.h"
#include "ui/Thread.h"

namespace ui {

class CPaintManagerUI;
class CControlUI;

enum UiEventType {
    UIEVENT_BUTTONDOWN = 1,
    UIEVENT_BUTTONUP,
    UIEVENT_DBLCLICK,
    UIEVENT_RBUTTONDOWN,
    UIEVENT_RBUTTONUP,
    UIEVENT_MOUSEMOVE,
    UIEVENT_MOUSEENTER,
    UIEVENT_MOUSELEAVE,
    UIEVENT_SCROLLWHEEL,
    UIEVENT_CONTEXTMENU,
    UIEVENT_KEYDOWN,
    UIEVENT_KEYUP,
    UIEVENT_CHAR,
    UIEVENT_SETFOCUS,
    UIEVENT_KILLFOCUS,
    UIEVENT_TIMER,
};

struct TEventUI {
    int Type = 0;
    CControlUI* pSender = nullptr;
    uint32_t dwTimestamp = 0;
    QPoint ptMouse;      // window-relative
    uint32_t chKey = 0;  // virtual key for key events
    uint16_t wKeyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct TNotifyUI {
    std::string sType;
    CControlUI* pSender = nullptr;
    uint32_t dwTimestamp = 0;
    QPoint ptMouse;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class INotifyUI {
  public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TNotifyUI& msg) = 0;
};

// Text alignment flags.
enum : uint32_t {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_END_ELLIPSIS = 0x8000,
};

class CControlUI {
  public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // Identity.
    const std::string& GetName() const { return name_; }
    virtual void SetName(std::string name);
    virtual std::string_view GetClass() const { return "Control"; }
    virtual void* GetInterface(std::string_view name);
    bool IsName(std::string_view name) const;

    // Tree.
    CControlUI* GetParent() const { return parent_; }
    CPaintManagerUI* GetManager() const { return manager_; }
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
    // The manager alone, while a skin is being built (no widget is placed yet).
    void SetManagerOnly(CPaintManagerUI* manager) { manager_ = manager; }
    bool IsInited() const { return inited_; }
    virtual CControlUI* FindControl(const std::function<bool(CControlUI*)>& match);
    // Calls fn for this control and every descendant, in tree order.
    virtual void ForEach(const std::function<void(CControlUI*)>& fn);
    virtual void Init();
    virtual void DoInit() {}

    // Text. With the resource flag set the text is a language key and the
    // control shows (and GetText returns) its translation.
    virtual std::string GetText() const;
    virtual void SetText(const std::string& text);
    const std::string& GetTextKey() const { return text_; }
    bool IsResourceText() const { return resourceText_; }
    virtual void SetResourceText(bool resource);
    // Re-resolves a language key after the language changed.
    virtual void ReloadText();

    // State.
    virtual bool IsVisible() const { return visible_ && internVisible_; }
    virtual void SetVisible(bool visible = true);
    virtual void SetInternVisible(bool visible = true);
    bool IsOwnVisible() const { return visible_; }
    virtual bool IsEnabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled = true);
    bool IsMouseEnabled() const { return mouseEnabled_; }
    void SetMouseEnabled(bool enabled = true) { mouseEnabled_ = enabled; }
    bool IsMouseChildEnabled() const { return mouseChildEnabled_; }
    void SetMouseChildEnabled(bool enabled = true) { mouseChildEnabled_ = enabled; }
    bool IsFocused() const { return focused_; }
    virtual void SetFocus();
    bool IsContextMenuUsed() const { return contextMenuUsed_; }
    void SetContextMenuUsed(bool used) { contextMenuUsed_ = used; }
    // Whether "setfocus" and "killfocus" notifications are raised.
    bool NotifiesFocus() const { return notifyFocus_; }
    void SetNotifiesFocus(bool on) { notifyFocus_ = on; }

    std::string GetUserData() const;
    void SetUserData(const std::string& data);
    uintptr_t GetTag() const { return tag_; }
    void SetTag(uintptr_t tag) { tag_ = tag; }
    std::string GetToolTip() const { return tooltip_; }
    void SetToolTip(const std::string& text);
    std::string GetToolTipTitle() const { return tooltipTitle_; }
    void SetToolTipTitle(const std::string& title);

    // Look.
    uint32_t GetBkColor() const { return bkColor_; }
    void SetBkColor(uint32_t argb);
    uint32_t GetBorderColor() const { return borderColor_; }
    void SetBorderColor(uint32_t argb);
    int GetBorderSize() const { return borderSize_; }
    void SetBorderSize(int size);
    int GetBorderRound() const { return borderRound_; }
    std::string GetBkImage() const { return bkImage_; }
    void SetBkImage(const std::string& image);
    std::string GetForeImage() const { return foreImage_; }
    void SetForeImage(const std::string& image);
    int GetFont() const { return font_; }
    void SetFont(int id);
    uint32_t GetTextColor() const { return textColor_; }
    void SetTextColor(uint32_t argb);
    uint32_t GetDisabledTextColor() const { return disabledTextColor_; }
    void SetDisabledTextColor(uint32_t argb);
    uint32_t GetTextStyle() const { return textStyle_; }
    void SetTextStyle(uint32_t style);
    QMargins GetTextPadding() const { return textPadding_; }
    void SetTextPadding(QMargins m);

    // Geometry (design units unless noted).
    int GetFixedWidth() const { return fixedW_; }
    virtual void SetFixedWidth(int w);
    int GetFixedHeight() const { return fixedH_; }
    virtual void SetFixedHeight(int h);
    int GetMinWidth() const { return minW_; }
    void SetMinWidth(int w);
    int GetMinHeight() const { return minH_; }
    void SetMinHeight(int h);
    int GetMaxWidth() const { return maxW_; }
    int GetMaxHeight() const { return maxH_; }
    QMargins GetPadding() const { return padding_; }
    void SetPadding(QMargins m);
    bool IsFloat() const { return float_; }
    void SetFloat(bool f);
    QRect GetFloatPos() const { return floatPos_; }
    void SetFloatPos(QRect r);
    // Window-relative pixel rectangle.
    const QRect& GetPos() const { return rect_; }
    virtual void SetPos(const QRect& rc);
    // Screen rectangle of the control.
    QRect GetScreenRect() const;
    int Scale(int designUnits) const;
    double ScaleFactor() const;

    // Attributes from skins and code.
    virtual void SetAttribute(std::string_view name, std::string_view value);
    void ApplyAttributeList(const std::vector<std::pair<std::string, std::string>>& attrs);

    // Repaint and relayout.
    virtual void Invalidate();
    void NeedUpdate();
    void NeedParentUpdate();

    // Events and painting.
    virtual void DoEvent(TEventUI& event);
    virtual bool Activate();
    virtual void DoPaint(QPainter& p, const QRect& paint);
    virtual void PaintBkColor(QPainter& p);
    virtual void PaintBkImage(QPainter& p);
    virtual void PaintStatusImage(QPainter& p);
    virtual void PaintText(QPainter& p);
    virtual void PaintForeColor(QPainter& p);
    virtual void PaintForeImage(QPainter& p);
    virtual void PaintBorder(QPainter& p);
    // Draws an image string into rc (window coordinates); false when nothing drawn.
    bool DrawImage(QPainter& p, const std::string& image, const QRect& rc,
                   const struct ImageTint* tint = nullptr);

    // Control timers: delivered to DoEvent as UIEVENT_TIMER with the id.
    bool SetTimer(UINT id, UINT elapseMs);
    void KillTimer(UINT id);
    void KillTimer();

    // The widget behind the control, created on first use; nullptr for
    // painted controls.
    QWidget* GetWidget();
    virtual bool WantsWidget() const { return true; }
    // The nearest ancestor (or self) that owns a widget.
    CControlUI* GetHost();
    // A painted descendant asked for a repaint of its rectangle (hosts that
    // cache their painting drop the cache).
    virtual void OnPaintedChildChanged(CControlUI*) {}
    // A painted descendant asked for a repaint. The default drops the cache
    // (OnPaintedChildChanged) and repaints the child's rectangle; a host
    // that knows better (the key picture) may repaint less or nothing.
    virtual void InvalidatePaintedChild(CControlUI* child);
    // Painting from the host widget's paint event: `region` is the exposed
    // area in window coordinates. The default paints its bounding rectangle.
    virtual void DoPaintRegion(QPainter& p, const QRegion& region);
    // Whether the host widget can be seen: its window is shown and not
    // minimised. Painting work is skipped while it cannot.
    bool IsOnScreen();
    // Painted controls among the children, for the host's hit test.
    virtual CControlUI* FindPaintedChildAt(const QPoint& pt);

    // Lifetime token for queued calls.
    LifeWatch Life() const { return life_; }

    // Raises a notification through the window's notifiers.
    void SendNotify(const std::string& type, WPARAM w = 0, LPARAM l = 0);

  protected:
    virtual QWidget* CreateWidget();
    // Pushes the current state to the widget (after it was created).
    virtual void SyncWidget();
    void UpdateWidgetGeometry();
    void UpdateWidgetVisibility();
    void UpdateToolTip();
    // Shown text: the translation for resource text.
    std::string DisplayText() const;
    QFont CurrentFont() const;
    void DrawText(QPainter& p, const QRect& rc, const std::string& text, uint32_t color,
                  uint32_t style) const;

    std::string name_;
    CPaintManagerUI* manager_ = nullptr;
    CControlUI* parent_ = nullptr;
    QPointer<QWidget> widget_;  // Qt may delete it with a parent widget first
    bool inited_ = false;

    std::string text_;
    bool resourceText_ = false;
    std::string userData_;
    uintptr_t tag_ = 0;
    std::string tooltip_;
    std::string tooltipTitle_;

    bool visible_ = true;
    bool internVisible_ = true;
    bool enabled_ = true;
    bool mouseEnabled_ = true;
    bool mouseChildEnabled_ = true;
    bool focused_ = false;
    bool contextMenuUsed_ = false;
    bool notifyFocus_ = false;

    uint32_t bkColor_ = 0;
    uint32_t borderColor_ = 0;
    int borderSize_ = 0;
    int borderRound_ = 0;
    std::string bkImage_;
    std::string foreImage_;
    int font_ = -1;
    uint32_t textColor_ = 0xFFE6E8EB;
    uint32_t disabledTextColor_ = 0xFF6B7280;
    uint32_t textStyle_ = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    QMargins textPadding_;

    int fixedW_ = 0;
    int fixedH_ = 0;
    int minW_ = 0;
    int minH_ = 0;
    int maxW_ = 99999;
    int maxH_ = 99999;
    QMargins padding_;
    bool float_ = false;
    QRect floatPos_;
    QRect rect_;

  private:
    LifeToken life_;
};

// The QWidget of an ordinary control: paints the control (and its painted
// children) and turns Qt input into TEventUI for it.
class CHostWidget : public QWidget {
  public:
    explicit CHostWidget(CControlUI* owner);
    CControlUI* Owner() const { return owner_; }
    // The control is going away; events arriving before the widget dies are dropped.
    void Detach() { owner_ = nullptr; }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool event(QEvent* e) override;

  private:
    CControlUI* Target(const QPoint& local);
    TEventUI MakeEvent(int type, const QPoint& local, Qt::KeyboardModifiers mods) const;
    void Deliver(CControlUI* target, TEventUI& ev);

    CControlUI* owner_;
    CControlUI* captured_ = nullptr;
    CControlUI* hot_ = nullptr;
    LifeWatch capturedLife_;
    LifeWatch hotLife_;
};

// Sends a Qt-widget focus change as the control's focus events.
void DeliverFocusEvent(CControlUI* control, bool focusIn);

}  // namespace ui
