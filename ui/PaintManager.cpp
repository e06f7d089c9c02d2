#include "ui/PaintManager.h"

#include <QDateTime>
#include <QWindow>
#include <algorithm>

#include "platform/Debug.h"
#include "ui/Containers.h"
#include "ui/Fonts.h"
#include "ui/Resources.h"
#include "ui/Text.h"

namespace ui {

namespace {

// The timer whose timeout is being handled; killing it then must not delete it.
QTimer* g_firingTimer = nullptr;

void DisposeTimer(std::unique_ptr<QTimer>& timer) {
    timer->stop();
    if (timer.get() == g_firingTimer)
        timer.release()->deleteLater();
    else
        timer.reset();
}

std::vector<CPaintManagerUI*>& Managers() {
    static std::vector<CPaintManagerUI*> managers;
    return managers;
}

}  // namespace

void ReloadAllControlTexts() {
    for (CPaintManagerUI* m : Managers())
        m->ReloadText();
}

bool IsValidDpi(int dpi) {
    return dpi >= 48 && dpi <= 192 && dpi % 24 == 0;
}

CPaintManagerUI::CPaintManagerUI() {
    Managers().push_back(this);
}

CPaintManagerUI::~CPaintManagerUI() {
    auto& all = Managers();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    RemoveAllTimers();
    CControlUI* root = root_;
    root_ = nullptr;
    delete root;
    focus_ = nullptr;
}

void CPaintManagerUI::SetInstancePath(const std::string& folder) {
    CResourceManager::Instance().SetInstancePath(folder);
}
std::string CPaintManagerUI::GetInstancePath() {
    return CResourceManager::Instance().GetInstancePath();
}
void CPaintManagerUI::SetResourcePath(const std::string& folder) {
    CResourceManager::Instance().SetResourcePath(folder);
}
std::string CPaintManagerUI::GetResourcePath() {
    return CResourceManager::Instance().GetResourcePath();
}
const std::vector<CPaintManagerUI*>& CPaintManagerUI::AllManagers() {
    return Managers();
}

void CPaintManagerUI::Init(CWindowWnd* window, QWidget* host) {
    window_ = window;
    host_ = host;
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
    if (!root || !host_) return false;
    if (root_ && root_ != root) delete root_;
    root_ = root;
    root->SetManager(this, nullptr, true);
    NeedUpdate();
    return true;
}

bool CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
    if (!control) return false;
    control->SetManager(this, parent ? parent : control->GetParent(), true);
    return true;
}

CControlUI* CPaintManagerUI::FindControl(std::string_view name) const {
    return root_ ? FindSubControlByName(root_, name) : nullptr;
}

CControlUI* CPaintManagerUI::FindControl(const QPoint& pt) const {
    if (!root_) return nullptr;
    CControlUI* best = nullptr;
    root_->ForEach([&](CControlUI* c) {
        bool shown = true;
        for (CControlUI* a = c; a; a = a->GetParent())
            shown = shown && a->IsVisible();
        if (shown && c->GetPos().contains(pt)) best = c;
    });
    return best;
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, std::string_view name) {
    if (!parent || name.empty()) return nullptr;
    return parent->FindControl([&](CControlUI* c) { return c->IsName(name); });
}

CControlUI* CPaintManagerUI::FindSubControlByClass(CControlUI* parent, std::string_view cls,
                                                   int index) {
    if (!parent) return nullptr;
    int seen = 0;
    return parent->FindControl(
        [&](CControlUI* c) { return EqualsNoCase(c->GetClass(), cls) && seen++ == index; });
}

std::vector<CControlUI*> CPaintManagerUI::FindSubControlsByClass(CControlUI* parent,
                                                                 std::string_view cls) {
    std::vector<CControlUI*> out;
    if (!parent) return out;
    parent->ForEach([&](CControlUI* c) {
        if (EqualsNoCase(c->GetClass(), cls)) out.push_back(c);
    });
    return out;
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    if (!notifier || std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end())
        return false;
    notifiers_.push_back(notifier);
    return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
    auto it = std::find(notifiers_.begin(), notifiers_.end(), notifier);
    if (it == notifiers_.end()) return false;
    notifiers_.erase(it);
    return true;
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg, bool async) {
    if (async || !IsUiThread()) {
        TNotifyUI copy = msg;
        LifeWatch self = life_;
        LifeWatch sender = msg.pSender ? msg.pSender->Life() : LifeWatch();
        bool hadSender = msg.pSender != nullptr;
        RunOnUiThread([this, copy, self, sender, hadSender]() mutable {
            if (self.expired() || (hadSender && sender.expired())) return;
            SendNotify(copy, false);
        });
        return;
    }
    if (!msg.dwTimestamp) msg.dwTimestamp = uint32_t(QDateTime::currentMSecsSinceEpoch());
    // A notifier may remove itself (or the sender) while handling: iterate a copy
    // and stop once the sender is gone.
    LifeWatch sender = msg.pSender ? msg.pSender->Life() : LifeWatch();
    bool hadSender = msg.pSender != nullptr;
    LifeWatch self = life_;
    std::vector<INotifyUI*> notifiers = notifiers_;
    for (INotifyUI* n : notifiers) {
        if (self.expired() || (hadSender && sender.expired())) return;
        if (std::find(notifiers_.begin(), notifiers_.end(), n) == notifiers_.end()) continue;
        n->Notify(msg);
    }
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const std::string& type, WPARAM w, LPARAM l,
                                 bool async) {
    TNotifyUI msg;
    msg.sType = type;
    msg.pSender = sender;
    msg.wParam = w;
    msg.lParam = l;
    if (host_) msg.ptMouse = host_->mapFromGlobal(QCursor::pos());
    SendNotify(msg, async);
}

bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
    if (!filter || std::find(filters_.begin(), filters_.end(), filter) != filters_.end())
        return false;
    filters_.push_back(filter);
    return true;
}

bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) {
    auto it = std::find(filters_.begin(), filters_.end(), filter);
    if (it == filters_.end()) return false;
    filters_.erase(it);
    return true;
}

LRESULT CPaintManagerUI::RunMessageFilters(UINT msg, WPARAM w, LPARAM l, bool& handled) {
    std::vector<IMessageFilterUI*> filters = filters_;
    for (IMessageFilterUI* f : filters) {
        LRESULT r = f->MessageHandler(msg, w, l, handled);
        if (handled) return r;
    }
    return 0;
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapseMs) {
    if (!control) return false;
    if (!IsUiThread()) {
        bool ok = false;
        InvokeBlocking([&] { ok = SetTimer(control, id, elapseMs); });
        return ok;
    }
    for (TimerEntry& t : timers_) {
        if (t.control == control && t.id == id) {
            t.timer->start(int(std::max<UINT>(elapseMs, 1)));
            return true;
        }
    }
    auto timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    LifeWatch watch = control->Life();
    QTimer* raw = timer.get();
    QObject::connect(raw, &QTimer::timeout, raw, [control, id, watch, raw] {
        if (watch.expired()) return;
        QTimer* outer = g_firingTimer;
        g_firingTimer = raw;
        TEventUI ev;
        ev.Type = UIEVENT_TIMER;
        ev.pSender = control;
        ev.wParam = id;
        ev.dwTimestamp = uint32_t(QDateTime::currentMSecsSinceEpoch());
        control->DoEvent(ev);
        g_firingTimer = outer;
    });
    timer->start(int(std::max<UINT>(elapseMs, 1)));
    timers_.push_back({control, id, std::move(timer)});
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id) {
    if (!IsUiThread()) {
        bool ok = false;
        InvokeBlocking([&] { ok = KillTimer(control, id); });
        return ok;
    }
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->control == control && it->id == id) {
            DisposeTimer(it->timer);
            timers_.erase(it);
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->control == control) {
            DisposeTimer(it->timer);
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

void CPaintManagerUI::RemoveAllTimers() {
    for (TimerEntry& t : timers_)
        DisposeTimer(t.timer);
    timers_.clear();
}

bool CPaintManagerUI::HasTimer(CControlUI* control, UINT id) const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const TimerEntry& t) { return t.control == control && t.id == id; });
}

bool CPaintManagerUI::SetDPI(int dpi) {
    if (!IsUiThread()) {
        bool ok = false;
        InvokeBlocking([&] { ok = SetDPI(dpi); });
        return ok;
    }
    bool valid = IsValidDpi(dpi);
    int value = valid ? dpi : 96;
    if (value != dpi_) {
        dpi_ = value;
        ResetDPIAssets();
    }
    return valid;
}

void CPaintManagerUI::SetAllDPI(int dpi) {
    for (CPaintManagerUI* m : Managers())
        m->SetDPI(dpi);
}

int CPaintManagerUI::ScaleValue(int v) const {
    return int((int64_t(v) * dpi_ + (v >= 0 ? 48 : -48)) / 96);
}

QRect CPaintManagerUI::ScaleRect(const QRect& r) const {
    return QRect(ScaleValue(r.left()), ScaleValue(r.top()), ScaleValue(r.width()),
                 ScaleValue(r.height()));
}

QSize CPaintManagerUI::ScaleSize(const QSize& s) const {
    return QSize(ScaleValue(s.width()), ScaleValue(s.height()));
}

void CPaintManagerUI::ResetDPIAssets() {
    if (root_) {
        root_->ForEach([](CControlUI* c) {
            // Widgets keep their own fonts; refresh them.
            if (QWidget* w = c->WantsWidget() ? c->GetWidget() : nullptr) {
                w->setFont(CFontTable::Instance().GetFont(c->GetFont(), c->GetManager()->GetDPI()));
            }
        });
    }
    NeedUpdate();
    Invalidate();
}

void CPaintManagerUI::AddDefaultAttributeList(const std::string& cls, const AttributeList& attrs) {
    defaults_[ToLower(cls)] = attrs;
}

const AttributeList* CPaintManagerUI::GetDefaultAttributeList(std::string_view cls) const {
    auto it = defaults_.find(ToLower(cls));
    return it == defaults_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::AddStyle(const std::string& name, const AttributeList& attrs) {
    styles_[ToLower(name)] = attrs;
}

const AttributeList* CPaintManagerUI::GetStyle(std::string_view name) const {
    auto it = styles_.find(ToLower(name));
    return it == styles_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
    if (!control) {
        if (focus_ && focus_->WantsWidget() && focus_->GetWidget())
            focus_->GetWidget()->clearFocus();
        return;
    }
    if (control->WantsWidget() && control->GetWidget()) {
        control->GetWidget()->setFocus(Qt::OtherFocusReason);
    }
}

void CPaintManagerUI::OnControlFocus(CControlUI* control, bool in) {
    if (in)
        focus_ = control;
    else if (focus_ == control)
        focus_ = nullptr;
}

void CPaintManagerUI::NeedUpdate() {
    if (layoutPending_ || !host_) return;
    layoutPending_ = true;
    LifeWatch self = life_;
    RunOnUiThread([this, self] {
        if (!self.expired() && layoutPending_) DoLayout();
    });
}

void CPaintManagerUI::DoLayout() {
    layoutPending_ = false;
    if (!root_ || !host_) return;
    QRect client(QPoint(0, 0), host_->size());
    root_->SetPos(client);
    if (!initNotified_ && host_->isVisible() && !client.isEmpty()) {
        initNotified_ = true;
        SendNotify(root_, "windowinit");
    }
}

void CPaintManagerUI::Invalidate() {
    if (host_) host_->update();
}

void CPaintManagerUI::ReloadText() {
    if (!root_) return;
    root_->ForEach([](CControlUI* c) { c->ReloadText(); });
    Invalidate();
}

void CPaintManagerUI::OnRootButtonDown(const QPoint& pt) {
    if (!host_ || caption_.height() <= 0) return;
    QRect caption = ScaleRect(caption_);
    if (caption.width() <= 0) caption.setWidth(host_->width() - caption.left());
    if (!caption.contains(pt)) return;
    if (QWindow* w = host_->window()->windowHandle()) w->startSystemMove();
}

void CPaintManagerUI::ReapControl(CControlUI* control) {
    KillTimer(control);
    if (focus_ == control) focus_ = nullptr;
    if (root_ == control) root_ = nullptr;
}

CControlUI* FindRequired(CControlUI* parent, std::string_view name, std::string_view trace) {
    CControlUI* c = CPaintManagerUI::FindSubControlByName(parent, name);
    if (!c) platform::DebugOut(trace);
    return c;
}

CControlUI* FindRequired(CPaintManagerUI* manager, std::string_view name, std::string_view trace) {
    CControlUI* c = manager ? manager->FindControl(name) : nullptr;
    if (!c) platform::DebugOut(trace);
    return c;
}

}  // namespace ui
