#pragma once
// Top-level windows: the message channel (PostMessage, SendMessage that
// blocks a worker thread until the UI thread handled it), window timers,
// modal loops, and the skinned window base that builds its skin, receives
// notifications and routes them through its notify pump.
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "ui/Builder.h"
#include "ui/PaintManager.h"
#include "ui/Resources.h"

class QEventLoop;

namespace ui {

// Registered message numbers: the same name gives the same number, from
// 0xC000 upward; 0 for an empty name or when the range is used up.
UINT RegisterWindowMessage(const std::string& name);
// The name of a registered number (empty when unknown).
std::string RegisteredMessageName(UINT msg);

// The record a menu click carries in wParam of UIMSG_MENUCLICK; the
// receiver owns it (TakeMenuCmd).
struct MenuCmd {
    std::string name;
    std::string text;
    std::string userData;
    bool checked = false;
};
std::unique_ptr<MenuCmd> TakeMenuCmd(WPARAM wParam);

class CWindowWnd;

// The Qt widget of a top-level window.
class CWindowWidget : public QWidget {
  public:
    explicit CWindowWidget(CWindowWnd* owner);
    void Detach() { owner_ = nullptr; }

  protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

  private:
    CWindowWnd* owner_;
};

class CWindowWnd {
  public:
    CWindowWnd();
    virtual ~CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    virtual std::string GetWindowClassName() const { return "Window"; }
    QWidget* GetHWND() const { return widget_; }
    CWindowWnd* GetOwner() const { return owner_; }

    // Creates the window. Styles: WS_VISIBLE shows it, WS_EX_TOOLWINDOW makes a
    // tool window, WS_EX_TOPMOST keeps it on top. Skinned windows always
    // draw their own frame. Returns false when the window could not be made.
    bool Create(CWindowWnd* owner, const std::string& windowName, uint32_t style, uint32_t exStyle,
                int x = 0, int y = 0, int cx = 0, int cy = 0);
    void ShowWindow(bool show = true, bool takeFocus = true);
    void ShowWindowCmd(int cmd);
    // Runs a nested event loop until Close; returns the code given to Close
    // (-1 when the window is not created).
    int ShowModal();
    // Asks the window to close with a result (WM_CLOSE, may be refused).
    void Close(int ret = 0);
    // Destroys the window now (no veto).
    void DestroyWindow();
    bool IsWindow() const { return widget_ && !destroyed_; }
    bool IsClosing() const { return closing_ || destroyed_; }
    void CenterWindow();
    void SetIcon(int resourceId);
    void SetIcon(const QIcon& icon);
    void SetTopMost(bool on);
    bool IsTopMost() const;
    bool IsWindowVisible() const;
    bool IsMinimized() const;
    bool IsMaximized() const;
    QRect GetWindowRect() const;
    // Moves and resizes without activating.
    void MoveWindow(const QRect& rc);
    void ResizeClient(int cx, int cy);
    void SetWindowText(const std::string& text);

    // Messages. PostMessage queues (any thread); SendMessage calls directly on
    // the UI thread and otherwise waits until the UI thread handled it. A send
    // to a closing window is refused at once and returns 0.
    bool PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0);
    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0);
    // Like SendMessage but gives up after timeoutMs; false on time-out or refusal.
    bool SendMessageTimeout(UINT msg, WPARAM w, LPARAM l, int timeoutMs, LRESULT* result = nullptr);

    // Window timers: WM_TIMER with the id in wParam, repeating until killed.
    bool SetTimer(UINT id, UINT elapseMs);
    bool KillTimer(UINT id);
    bool HasTimer(UINT id) const { return timers_.count(id) != 0; }

    virtual LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l);

  protected:
    // Called once the widget exists, before it is shown; false aborts Create.
    virtual bool OnCreated() { return true; }
    // The last call for this window, after WM_DESTROY.
    virtual void OnFinalMessage() {}
    virtual void OnWindowStateChanged() {}
    virtual void OnWindowResized() {}
    virtual void OnWindowShown() {}
    friend class CWindowWidget;

    struct Channel {
        CWindowWnd* target = nullptr;
        CallGate gate;
    };

    CWindowWnd* owner_ = nullptr;
    CWindowWidget* widget_ = nullptr;
    std::shared_ptr<Channel> channel_;
    std::map<UINT, std::unique_ptr<QTimer>> timers_;
    QEventLoop* modalLoop_ = nullptr;
    int modalResult_ = 0;
    bool closing_ = false;
    bool destroyed_ = false;
    bool hovering_ = false;
    LifeToken life_ = std::make_shared<int>(0);
};

// A per-window map from notification type to handler, with a filter that
// sees every notification first (returning true consumes it).
class CNotifyPump {
  public:
    using Handler = std::function<void(TNotifyUI&)>;
    using Filter = std::function<bool(TNotifyUI&)>;
    virtual ~CNotifyPump() = default;
    void AddNotifyHandler(const std::string& type, Handler handler);
    void SetNotifyFilter(Filter filter) { filter_ = std::move(filter); }
    // True when the filter or a handler took the notification.
    bool NotifyPump(TNotifyUI& msg);

  private:
    std::map<std::string, Handler> handlers_;
    Filter filter_;
};

// The skinned window base.
class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
  public:
    WindowImplBase();
    ~WindowImplBase() override;

    CPaintManagerUI& GetPaintManager() { return pm_; }
    CControlUI* FindControl(std::string_view name) const { return pm_.FindControl(name); }
    template <class T>
    T* FindControlAs(std::string_view name) const {
        return dynamic_cast<T*>(pm_.FindControl(name));
    }

    // What a window class provides.
    virtual std::string GetSkinFile() = 0;
    virtual void InitWindow() {}
    void Notify(TNotifyUI& msg) override;
    CControlUI* CreateControl(const char*) override { return nullptr; }
    const char* QueryControlText(const char*, const char*) override { return nullptr; }
    virtual LRESULT HandleCustomMessage(UINT msg, WPARAM w, LPARAM l, bool& handled);

    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;

  protected:
    virtual LRESULT OnClose(UINT msg, WPARAM w, LPARAM l, bool& handled);
    virtual LRESULT OnDestroy(UINT msg, WPARAM w, LPARAM l, bool& handled);
    virtual LRESULT OnSysCommand(UINT msg, WPARAM w, LPARAM l, bool& handled);
    // The standard caption buttons: close, minimise, maximise, restore.
    virtual void OnClick(TNotifyUI& msg);
    bool OnCreated() override;
    void OnWindowStateChanged() override;
    void OnWindowResized() override;
    void OnWindowShown() override;

    CPaintManagerUI pm_;
    CControlUI* closeButton_ = nullptr;
    CControlUI* maxButton_ = nullptr;
    CControlUI* restoreButton_ = nullptr;
    CControlUI* minButton_ = nullptr;
    CControlUI* menuButton_ = nullptr;
};

}  // namespace ui
