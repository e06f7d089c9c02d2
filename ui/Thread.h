#pragma once
// Getting work onto the UI thread. Worker threads never touch a widget: they
// hand a function to the UI thread, either fire-and-forget (RunOnUiThread) or
// waiting for it to finish (InvokeBlocking).
//
// A blocking call can be refused: when the UI is shutting down (BeginUiShutdown)
// or when its CallGate (a window's message channel) has closed, the caller
// returns false at once and the function never runs. That is what keeps a
// worker that calls into a closing window from deadlocking the thread that
// joins it.
#include <functional>
#include <memory>
#include <mutex>
#include <set>

namespace ui {

// True on the thread that owns the QCoreApplication (or when there is none).
bool IsUiThread();

// Queues fn for the UI thread; returns at once. Dropped when no application
// exists or the UI is shutting down.
void RunOnUiThread(std::function<void()> fn);

class CallGate;

// Runs fn on the UI thread and waits for it. On the UI thread fn runs
// directly. Returns false (fn not run) when refused or abandoned.
bool InvokeBlocking(const std::function<void()>& fn, CallGate* gate = nullptr);

// From now on every blocking call is refused and pending ones are released.
// The UI thread calls this before it joins worker threads at exit.
void BeginUiShutdown();
bool IsUiShuttingDown();
// Lifts the shutdown state again (tests that create several applications).
void ResetUiShutdown();

// A set of pending blocking calls that can be released together.
class CallGate {
  public:
    struct Pending;
    CallGate() = default;
    CallGate(const CallGate&) = delete;
    CallGate& operator=(const CallGate&) = delete;
    ~CallGate() { Close(); }

    // Refuses new calls and releases the waiting ones.
    void Close();
    void Reopen();
    bool IsClosed() const;

    bool Enter(const std::shared_ptr<Pending>& p);
    void Leave(const std::shared_ptr<Pending>& p);

  private:
    mutable std::mutex mutex_;
    bool closed_ = false;
    std::set<std::shared_ptr<Pending>> pending_;
};

// A token that says whether an object still exists; queued functions check it
// on the UI thread before touching the object.
using LifeToken = std::shared_ptr<int>;
using LifeWatch = std::weak_ptr<int>;

}  // namespace ui

// Control setters and getters start with these lines: called from a worker,
// the call is replayed on the UI thread and the worker waits for it.
#define UI_MARSHAL_VOID(call)                        \
    do {                                             \
        if (!::ui::IsUiThread()) {                   \
            ::ui::LifeWatch uiWatch_ = this->Life(); \
            ::ui::InvokeBlocking([&] {               \
                if (!uiWatch_.expired()) call;       \
            });                                      \
            return;                                  \
        }                                            \
    } while (0)

#define UI_MARSHAL_RET(Type, expr)                           \
    do {                                                     \
        if (!::ui::IsUiThread()) {                           \
            Type uiResult_{};                                \
            ::ui::LifeWatch uiWatch_ = this->Life();         \
            ::ui::InvokeBlocking([&] {                       \
                if (!uiWatch_.expired()) uiResult_ = (expr); \
            });                                              \
            return uiResult_;                                \
        }                                                    \
    } while (0)
