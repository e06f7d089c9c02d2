#pragma once
// Tracks whether an input event is being dispatched to a control. A control
// destroyed meanwhile (a "click" handler that removes its own button) hands
// its widget to deleteLater instead of deleting it under Qt's feet.
#include <QObject>

namespace ui {

class EventDispatchScope {
  public:
    EventDispatchScope() { ++Depth(); }
    ~EventDispatchScope() { --Depth(); }
    static bool Active() { return Depth() > 0; }

  private:
    static int& Depth() {
        static int depth = 0;
        return depth;
    }
};

// Disposes of a widget now, or later when an event is being dispatched.
void DisposeWidget(class QWidget* widget);

// Context object for a wrapped widget's signal connections and focus events;
// deleting it disconnects everything from the control.
class CWidgetBridge : public QObject {
  public:
    explicit CWidgetBridge(class CControlUI* owner) : owner_(owner) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    CControlUI* owner_;
};

}  // namespace ui
