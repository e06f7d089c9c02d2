#include "ui/Window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <condition_variable>
#include <mutex>

#include "platform/Debug.h"
#include "ui/Dispatch.h"
#include "ui/Text.h"

namespace ui {

// ---- registered messages ---------------------------------------------------

namespace {
std::mutex g_registryMutex;
std::map<std::string, UINT>& Registry() {
    static std::map<std::string, UINT> registry;
    return registry;
}
}  // namespace

UINT RegisterWindowMessage(const std::string& name) {
    if (name.empty()) return 0;
    std::lock_guard<std::mutex> lock(g_registryMutex);
    auto& reg = Registry();
    auto it = reg.find(name);
    if (it != reg.end()) return it->second;
    UINT next = kFirstRegisteredMessage + UINT(reg.size());
    if (next > kLastRegisteredMessage) return 0;
    reg.emplace(name, next);
    return next;
}

std::string RegisteredMessageName(UINT msg) {
    std::lock_guard<std::mutex> lock(g_registryMutex);
    for (const auto& [name, number] : Registry())
        if (number == msg) return name;
    return {};
}

std::unique_ptr<MenuCmd> TakeMenuCmd(WPARAM wParam) {
    return std::unique_ptr<MenuCmd>(reinterpret_cast<MenuCmd*>(wParam));
}

// ---- CWindowWidget ---------------------------------------------------------

CWindowWidget::CWindowWidget(CWindowWnd* owner) : owner_(owner) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The window itself holds focus until the user clicks a control, so no
    // edit starts focused.
    setFocusPolicy(Qt::ClickFocus);
}

void CWindowWidget::closeEvent(QCloseEvent* e) {
    // A close from the desktop goes through WM_CLOSE, which the window may refuse.
    if (!owner_ || owner_->destroyed_) {
        e->accept();
        return;
    }
    e->ignore();
    EventDispatchScope scope;
    owner_->HandleMessage(WM_CLOSE, 0, 0);
}

void CWindowWidget::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (owner_) owner_->OnWindowResized();
}

void CWindowWidget::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (owner_) owner_->OnWindowShown();
}

void CWindowWidget::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (!owner_) return;
    if (e->type() == QEvent::WindowStateChange) owner_->OnWindowStateChanged();
    if (e->type() == QEvent::ActivationChange)
        owner_->PostMessage(WM_ACTIVATE, isActiveWindow() ? 1 : 0, 0);
}

void CWindowWidget::enterEvent(QEnterEvent* e) {
    QWidget::enterEvent(e);
    if (owner_) owner_->PostMessage(WM_MOUSEHOVER, 0, 0);
}

void CWindowWidget::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    if (owner_) owner_->PostMessage(WM_MOUSELEAVE, 0, 0);
}

// ---- CWindowWnd ------------------------------------------------------------

CWindowWnd::CWindowWnd() : channel_(std::make_shared<Channel>()) {
    channel_->target = this;
}

CWindowWnd::~CWindowWnd() {
    channel_->gate.Close();
    channel_->target = nullptr;
    timers_.clear();
    if (modalLoop_) modalLoop_->exit(modalResult_);
    if (widget_) {
        widget_->Detach();
        DisposeWidget(widget_);
        widget_ = nullptr;
    }
}

bool CWindowWnd::Create(CWindowWnd* owner, const std::string& windowName, uint32_t style,
                        uint32_t exStyle, int x, int y, int cx, int cy) {
    if (widget_) return false;
    owner_ = owner;
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
    if (exStyle & WS_EX_TOOLWINDOW) flags |= Qt::Tool;
    if (exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
    if (exStyle & WS_EX_NOACTIVATE) flags |= Qt::WindowDoesNotAcceptFocus;
    QWidget* parent = owner && owner->widget_ ? owner->widget_ : nullptr;
    widget_ = new CWindowWidget(this);
    if (parent)
        widget_->setParent(parent, flags);
    else
        widget_->setWindowFlags(flags);
    if (exStyle & WS_EX_NOACTIVATE) widget_->setAttribute(Qt::WA_ShowWithoutActivating);
    widget_->setWindowTitle(Q(windowName));
    widget_->setObjectName(Q(GetWindowClassName()));
    widget_->setGeometry(x, y, cx > 0 ? cx : 400, cy > 0 ? cy : 300);
    if (!OnCreated()) {
        widget_->Detach();
        DisposeWidget(widget_);
        widget_ = nullptr;
        return false;
    }
    widget_->setFocus();
    if (style & WS_VISIBLE) ShowWindow(true);
    return true;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (!IsWindow()) return;
    if (!show) {
        widget_->hide();
        return;
    }
    if (!takeFocus) widget_->setAttribute(Qt::WA_ShowWithoutActivating);
    widget_->show();
    if (takeFocus) {
        widget_->raise();
        widget_->activateWindow();
    }
}

void CWindowWnd::ShowWindowCmd(int cmd) {
    if (!IsWindow()) return;
    switch (cmd) {
        case SW_HIDE:
            widget_->hide();
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
            widget_->showMinimized();
            break;
        case SW_SHOWMAXIMIZED:
            widget_->showMaximized();
            break;
        case SW_RESTORE:
            widget_->showNormal();
            break;
        case SW_SHOWNOACTIVATE:
            ShowWindow(true, false);
            break;
        default:
            ShowWindow(true);
            break;
    }
}

int CWindowWnd::ShowModal() {
    if (!IsWindow()) return -1;
    QEventLoop loop;
    QEventLoop* outer = modalLoop_;
    modalLoop_ = &loop;
    LifeWatch watch = life_;
    widget_->setWindowModality(owner_ ? Qt::WindowModal : Qt::ApplicationModal);
    ShowWindow(true);
    int result = loop.exec();
    if (!watch.expired()) modalLoop_ = outer;
    return result;
}

void CWindowWnd::Close(int ret) {
    if (!IsWindow()) return;
    PostMessage(WM_CLOSE, WPARAM(ret), 0);
}

void CWindowWnd::DestroyWindow() {
    if (!widget_ || destroyed_) return;
    destroyed_ = true;
    closing_ = true;
    channel_->gate.Close();
    timers_.clear();
    LifeWatch watch = life_;
    HandleMessage(WM_DESTROY, 0, 0);
    if (watch.expired()) return;
    widget_->hide();
    if (modalLoop_) modalLoop_->exit(modalResult_);
    OnFinalMessage();
}

void CWindowWnd::CenterWindow() {
    if (!widget_) return;
    QRect area;
    if (owner_ && owner_->widget_ && owner_->widget_->isVisible()) {
        area = owner_->widget_->frameGeometry();
    } else {
        QScreen* screen = widget_->screen() ? widget_->screen() : QGuiApplication::primaryScreen();
        area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    }
    QRect r = widget_->frameGeometry();
    r.moveCenter(area.center());
    widget_->move(r.topLeft());
}

void CWindowWnd::SetIcon(int resourceId) {
    std::string file = CResourceManager::Instance().GetIconFile(resourceId);
    if (!file.empty()) SetIcon(QIcon(Q(file)));
}

void CWindowWnd::SetIcon(const QIcon& icon) {
    if (widget_) widget_->setWindowIcon(icon);
}

void CWindowWnd::SetTopMost(bool on) {
    if (!widget_) return;
    bool visible = widget_->isVisible();
    widget_->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) widget_->show();
}

bool CWindowWnd::IsTopMost() const {
    return widget_ && (widget_->windowFlags() & Qt::WindowStaysOnTopHint);
}

bool CWindowWnd::IsWindowVisible() const {
    return widget_ && widget_->isVisible();
}
bool CWindowWnd::IsMinimized() const {
    return widget_ && widget_->isMinimized();
}
bool CWindowWnd::IsMaximized() const {
    return widget_ && widget_->isMaximized();
}
QRect CWindowWnd::GetWindowRect() const {
    return widget_ ? widget_->frameGeometry() : QRect();
}

void CWindowWnd::MoveWindow(const QRect& rc) {
    if (widget_) widget_->setGeometry(rc);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
    if (widget_) widget_->resize(cx, cy);
}

void CWindowWnd::SetWindowText(const std::string& text) {
    if (widget_) widget_->setWindowTitle(Q(text));
}

bool CWindowWnd::PostMessage(UINT msg, WPARAM w, LPARAM l) {
    if (IsUiShuttingDown()) return false;
    std::shared_ptr<Channel> ch = channel_;
    RunOnUiThread([ch, msg, w, l] {
        if (ch->target) {
            EventDispatchScope scope;
            ch->target->HandleMessage(msg, w, l);
        }
    });
    return true;
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM w, LPARAM l) {
    if (IsUiThread()) return HandleMessage(msg, w, l);
    std::shared_ptr<Channel> ch = channel_;
    LRESULT result = 0;
    InvokeBlocking(
        [&] {
            if (ch->target) {
                EventDispatchScope scope;
                result = ch->target->HandleMessage(msg, w, l);
            }
        },
        &ch->gate);
    return result;
}

bool CWindowWnd::SendMessageTimeout(UINT msg, WPARAM w, LPARAM l, int timeoutMs, LRESULT* result) {
    if (IsUiThread()) {
        LRESULT r = HandleMessage(msg, w, l);
        if (result) *result = r;
        return true;
    }
    if (channel_->gate.IsClosed() || IsUiShuttingDown()) return false;
    // The answer travels through a shared record, so a late reply after the
    // caller gave up writes into memory that still exists.
    struct Reply {
        std::mutex mutex;
        std::condition_variable cv;
        bool done = false;
        LRESULT value = 0;
    };
    auto reply = std::make_shared<Reply>();
    std::shared_ptr<Channel> ch = channel_;
    RunOnUiThread([ch, reply, msg, w, l] {
        LRESULT r = 0;
        if (ch->target) {
            EventDispatchScope scope;
            r = ch->target->HandleMessage(msg, w, l);
        }
        std::lock_guard<std::mutex> lock(reply->mutex);
        reply->value = r;
        reply->done = true;
        reply->cv.notify_all();
    });
    std::unique_lock<std::mutex> lock(reply->mutex);
    bool done =
        reply->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return reply->done; });
    if (done && result) *result = reply->value;
    return done;
}

bool CWindowWnd::SetTimer(UINT id, UINT elapseMs) {
    if (!IsUiThread()) {
        bool ok = false;
        InvokeBlocking([&] { ok = SetTimer(id, elapseMs); }, &channel_->gate);
        return ok;
    }
    if (!IsWindow()) return false;
    auto& slot = timers_[id];
    if (!slot) {
        slot = std::make_unique<QTimer>();
        slot->setTimerType(Qt::PreciseTimer);
        std::shared_ptr<Channel> ch = channel_;
        QObject::connect(slot.get(), &QTimer::timeout, slot.get(), [ch, id] {
            if (ch->target && ch->target->HasTimer(id)) {
                EventDispatchScope scope;
                ch->target->HandleMessage(WM_TIMER, id, 0);
            }
        });
    }
    slot->start(int(std::max<UINT>(elapseMs, 1)));
    return true;
}

bool CWindowWnd::KillTimer(UINT id) {
    if (!IsUiThread()) {
        bool ok = false;
        InvokeBlocking([&] { ok = KillTimer(id); }, &channel_->gate);
        return ok;
    }
    auto it = timers_.find(id);
    if (it == timers_.end()) return false;
    // The timer may be firing right now: stop it and let Qt delete it.
    it->second->stop();
    it->second.release()->deleteLater();
    timers_.erase(it);
    return true;
}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM w, LPARAM) {
    switch (msg) {
        case WM_CLOSE:
            modalResult_ = int(w);
            closing_ = true;
            DestroyWindow();
            return 0;
        case WM_SYSCOMMAND:
            switch (w & 0xFFF0) {
                case SC_MINIMIZE:
                    ShowWindowCmd(SW_MINIMIZE);
                    break;
                case SC_MAXIMIZE:
                    ShowWindowCmd(SW_SHOWMAXIMIZED);
                    break;
                case SC_RESTORE:
                    ShowWindowCmd(SW_RESTORE);
                    break;
                case SC_CLOSE:
                    HandleMessage(WM_CLOSE, 0, 0);
                    break;
                default:
                    break;
            }
            return 0;
        case UIMSG_MENUCLICK:
            // Nobody took the record: release it here.
            TakeMenuCmd(w);
            return 0;
        default:
            return 0;
    }
}

// ---- CNotifyPump -----------------------------------------------------------

void CNotifyPump::AddNotifyHandler(const std::string& type, Handler handler) {
    handlers_[type] = std::move(handler);
}

bool CNotifyPump::NotifyPump(TNotifyUI& msg) {
    if (filter_ && filter_(msg)) return true;
    auto it = handlers_.find(msg.sType);
    if (it == handlers_.end()) return false;
    it->second(msg);
    return true;
}

// ---- WindowImplBase --------------------------------------------------------

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() {
    // Controls go first: their widgets are children of the window's widget.
    channel_->gate.Close();
    pm_.RemoveAllTimers();
}

bool WindowImplBase::OnCreated() {
    pm_.Init(this, widget_);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(GetSkinFile(), this, &pm_);
    if (!root) {
        platform::DebugOut("window " + GetWindowClassName() +
                           ": skin not built: " + builder.GetLastError());
        return false;
    }
    pm_.AttachDialog(root);
    pm_.AddNotifier(this);
    if (!pm_.GetInitSize().isEmpty()) widget_->resize(pm_.GetInitSizeScaled());
    closeButton_ = pm_.FindControl("closebtn");
    maxButton_ = pm_.FindControl("maxbtn");
    restoreButton_ = pm_.FindControl("restorebtn");
    minButton_ = pm_.FindControl("minbtn");
    menuButton_ = pm_.FindControl("menubtn");
    if (restoreButton_) restoreButton_->SetVisible(IsMaximized());
    pm_.DoLayout();
    InitWindow();
    return true;
}

void WindowImplBase::OnWindowStateChanged() {
    bool maximized = IsMaximized();
    if (maxButton_) maxButton_->SetVisible(!maximized);
    if (restoreButton_) restoreButton_->SetVisible(maximized);
}

void WindowImplBase::OnWindowResized() {
    pm_.DoLayout();
    if (pm_.GetRoot() && pm_.IsInitNotified()) pm_.SendNotify(pm_.GetRoot(), "windowsize");
}

void WindowImplBase::OnWindowShown() {
    pm_.DoLayout();
}

void WindowImplBase::Notify(TNotifyUI& msg) {
    if (NotifyPump(msg)) return;
    if (msg.sType == "click") OnClick(msg);
}

void WindowImplBase::OnClick(TNotifyUI& msg) {
    CControlUI* sender = msg.pSender;
    if (!sender) return;
    if (sender == closeButton_)
        Close(0);
    else if (sender == minButton_)
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (sender == maxButton_)
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (sender == restoreButton_)
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::HandleMessage(UINT msg, WPARAM w, LPARAM l) {
    bool handled = false;
    LRESULT r = pm_.RunMessageFilters(msg, w, l, handled);
    if (handled) return r;
    r = HandleCustomMessage(msg, w, l, handled);
    if (handled) return r;
    switch (msg) {
        case WM_CLOSE:
            r = OnClose(msg, w, l, handled);
            break;
        case WM_DESTROY:
            r = OnDestroy(msg, w, l, handled);
            break;
        case WM_SYSCOMMAND:
            r = OnSysCommand(msg, w, l, handled);
            break;
        default:
            break;
    }
    if (handled) return r;
    return CWindowWnd::HandleMessage(msg, w, l);
}

}  // namespace ui
