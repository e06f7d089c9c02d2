#include "ui/Thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <atomic>
#include <condition_variable>

namespace ui {

struct CallGate::Pending {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    bool abandoned = false;

    void Abandon() {
        std::lock_guard<std::mutex> lock(mutex);
        if (!done) abandoned = true;
        cv.notify_all();
    }
};

namespace {

std::atomic<bool> g_shuttingDown{false};

CallGate& ShutdownGate() {
    static CallGate gate;
    return gate;
}

bool PostToApp(std::function<void()> fn) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    return QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
}

}  // namespace

bool IsUiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void RunOnUiThread(std::function<void()> fn) {
    if (g_shuttingDown.load()) return;
    PostToApp(std::move(fn));
}

bool InvokeBlocking(const std::function<void()>& fn, CallGate* gate) {
    if (gate && gate->IsClosed()) return false;
    if (IsUiThread()) {
        fn();
        return true;
    }
    if (g_shuttingDown.load()) return false;
    auto pending = std::make_shared<CallGate::Pending>();
    if (!ShutdownGate().Enter(pending)) return false;
    if (gate && !gate->Enter(pending)) {
        ShutdownGate().Leave(pending);
        return false;
    }
    // The queued function runs fn only while the caller still waits; once
    // abandoned, fn's captures may be gone.
    bool posted = PostToApp([pending, &fn] {
        {
            std::lock_guard<std::mutex> lock(pending->mutex);
            if (pending->abandoned) return;
        }
        fn();
        std::lock_guard<std::mutex> lock(pending->mutex);
        pending->done = true;
        pending->cv.notify_all();
    });
    bool ok = false;
    if (posted) {
        std::unique_lock<std::mutex> lock(pending->mutex);
        pending->cv.wait(lock, [&] { return pending->done || pending->abandoned; });
        ok = pending->done;
    }
    if (gate) gate->Leave(pending);
    ShutdownGate().Leave(pending);
    return ok;
}

void BeginUiShutdown() {
    g_shuttingDown.store(true);
    ShutdownGate().Close();
}

bool IsUiShuttingDown() {
    return g_shuttingDown.load();
}

void ResetUiShutdown() {
    ShutdownGate().Reopen();
    g_shuttingDown.store(false);
}

void CallGate::Close() {
    std::set<std::shared_ptr<Pending>> pending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        pending.swap(pending_);
    }
    for (const auto& p : pending)
        p->Abandon();
}

void CallGate::Reopen() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = false;
}

bool CallGate::IsClosed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
}

bool CallGate::Enter(const std::shared_ptr<Pending>& p) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return false;
    pending_.insert(p);
    return true;
}

void CallGate::Leave(const std::shared_ptr<Pending>& p) {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.erase(p);
}

}  // namespace ui
