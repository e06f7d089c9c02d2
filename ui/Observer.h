#pragma once
// A program-wide broadcast list: receivers register with an observer and
// every broadcast calls each of them in registration order.
#include <algorithm>
#include <functional>
#include <vector>

namespace ui {

template <class Ret, class Param>
class ReceiverImpl {
  public:
    virtual ~ReceiverImpl() = default;
    virtual Ret Receive(Param param) = 0;
};

template <class Ret, class Param>
class ObserverImpl {
  public:
    void AddReceiver(ReceiverImpl<Ret, Param>* r) {
        if (r && std::find(receivers_.begin(), receivers_.end(), r) == receivers_.end())
            receivers_.push_back(r);
    }
    void RemoveReceiver(ReceiverImpl<Ret, Param>* r) {
        receivers_.erase(std::remove(receivers_.begin(), receivers_.end(), r), receivers_.end());
    }
    void Broadcast(Param param) {
        auto copy = receivers_;
        for (auto* r : copy)
            r->Receive(param);
    }

  private:
    std::vector<ReceiverImpl<Ret, Param>*> receivers_;
};

// No browser control is used; windows that expect the handler base get this.
class CWebBrowserEventHandler {
  public:
    virtual ~CWebBrowserEventHandler() = default;
};

}  // namespace ui
