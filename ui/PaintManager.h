#pragma once
// One paint manager per window: the control tree's root, the notifiers, the
// control timers, the window's DPI, the skin's default attributes and named
// styles, and keyboard focus. The static parts (resource folder, all managers
// for "set all DPI" and "reload all texts") are shared by every window.
#include <QSize>
#include <QTimer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

class CWindowWnd;

using AttributeList = std::vector<std::pair<std::string, std::string>>;

class IMessageFilterUI {
  public:
    virtual ~IMessageFilterUI() = default;
    virtual LRESULT MessageHandler(UINT msg, WPARAM w, LPARAM l, bool& handled) = 0;
};

// Allowed DPI values: 48..192 in steps of 24.
bool IsValidDpi(int dpi);

class CPaintManagerUI {
  public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // Shared folders (see CResourceManager).
    static void SetInstancePath(const std::string& folder);
    static std::string GetInstancePath();
    static void SetResourcePath(const std::string& folder);
    static std::string GetResourcePath();
    static const std::vector<CPaintManagerUI*>& AllManagers();

    // The window and its widget that host the tree.
    void Init(CWindowWnd* window, QWidget* host);
    CWindowWnd* GetWindow() const { return window_; }
    QWidget* GetPaintWindow() const { return host_; }

    // Tree. The manager owns the root and deletes it.
    bool AttachDialog(CControlUI* root);
    CControlUI* GetRoot() const { return root_; }
    // Gives a subtree built for this window its manager (and runs Init).
    bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
    CControlUI* FindControl(std::string_view name) const;
    CControlUI* FindControl(const QPoint& pt) const;
    static CControlUI* FindSubControlByName(CControlUI* parent, std::string_view name);
    static CControlUI* FindSubControlByClass(CControlUI* parent, std::string_view cls,
                                             int index = 0);
    static std::vector<CControlUI*> FindSubControlsByClass(CControlUI* parent,
                                                           std::string_view cls);

    // Notifications.
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    void SendNotify(TNotifyUI& msg, bool async = false);
    void SendNotify(CControlUI* sender, const std::string& type, WPARAM w = 0, LPARAM l = 0,
                    bool async = false);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    LRESULT RunMessageFilters(UINT msg, WPARAM w, LPARAM l, bool& handled);

    // Control timers (repeating until killed).
    bool SetTimer(CControlUI* control, UINT id, UINT elapseMs);
    bool KillTimer(CControlUI* control, UINT id);
    void KillTimer(CControlUI* control);
    void RemoveAllTimers();
    bool HasTimer(CControlUI* control, UINT id) const;

    // DPI of this window; an invalid value falls back to 96 and returns false.
    bool SetDPI(int dpi);
    int GetDPI() const { return dpi_; }
    static void SetAllDPI(int dpi);
    int ScaleValue(int designUnits) const;
    QRect ScaleRect(const QRect& r) const;
    QSize ScaleSize(const QSize& s) const;
    double ScaleFactor() const { return dpi_ / 96.0; }
    // Drops everything cached for the current DPI and relayouts.
    void ResetDPIAssets();

    // Skin-wide defaults and styles.
    void SetInitSize(int cx, int cy) { initSize_ = QSize(cx, cy); }
    QSize GetInitSize() const { return initSize_; }
    QSize GetInitSizeScaled() const { return ScaleSize(initSize_); }
    void SetCaptionRect(QRect r) { caption_ = r; }
    QRect GetCaptionRect() const { return caption_; }
    void AddDefaultAttributeList(const std::string& cls, const AttributeList& attrs);
    const AttributeList* GetDefaultAttributeList(std::string_view cls) const;
    void AddStyle(const std::string& name, const AttributeList& attrs);
    const AttributeList* GetStyle(std::string_view name) const;

    // Focus.
    void SetFocus(CControlUI* control);
    CControlUI* GetFocus() const { return focus_; }
    void OnControlFocus(CControlUI* control, bool in);

    // Layout and repaint.
    void NeedUpdate();
    void DoLayout();
    void Invalidate();
    bool IsLayoutPending() const { return layoutPending_; }
    // "windowinit" is raised once, at the first layout of a shown window.
    bool IsInitNotified() const { return initNotified_; }

    // Language.
    void ReloadText();

    // A press nobody took: inside the caption area it moves the window.
    void OnRootButtonDown(const QPoint& pt);

    // A control is going away: forget timers and focus that refer to it.
    void ReapControl(CControlUI* control);

  private:
    struct TimerEntry {
        CControlUI* control;
        UINT id;
        std::unique_ptr<QTimer> timer;
    };

    CWindowWnd* window_ = nullptr;
    QWidget* host_ = nullptr;
    CControlUI* root_ = nullptr;
    std::vector<INotifyUI*> notifiers_;
    std::vector<IMessageFilterUI*> filters_;
    std::vector<TimerEntry> timers_;
    std::map<std::string, AttributeList> defaults_;
    std::map<std::string, AttributeList> styles_;
    CControlUI* focus_ = nullptr;
    QSize initSize_;
    QRect caption_;
    int dpi_ = 96;
    bool layoutPending_ = false;
    bool initNotified_ = false;
    LifeToken life_ = std::make_shared<int>(0);
};

// Code that needs a control the skin must have: when it is missing the fixed
// trace text is written to the debug output and nullptr comes back; the
// caller skips its work instead of ending the program.
CControlUI* FindRequired(CControlUI* parent, std::string_view name, std::string_view trace);
CControlUI* FindRequired(CPaintManagerUI* manager, std::string_view name, std::string_view trace);
template <class T>
T* FindRequiredAs(CControlUI* parent, std::string_view name, std::string_view trace) {
    return dynamic_cast<T*>(FindRequired(parent, name, trace));
}
template <class T>
T* FindRequiredAs(CPaintManagerUI* manager, std::string_view name, std::string_view trace) {
    return dynamic_cast<T*>(FindRequired(manager, name, trace));
}

}  // namespace ui
