#include "hid/HidBus.h"

#include <atomic>
#include <mutex>

#include "hid/HidrawBus.h"

namespace hid {

namespace {

std::atomic<DefaultBusFactory> g_defaultFactory{nullptr};

struct BusState {
    std::mutex mutex;
    std::shared_ptr<IHidBus> active;
    // Buses replaced while running stay alive: ActiveBus() hands out plain
    // references, and a caller may still hold one.
    std::vector<std::shared_ptr<IHidBus>> retired;
};

BusState& State() {
    static BusState state;
    return state;
}

}  // namespace

void SetDefaultBusFactory(DefaultBusFactory factory) {
    g_defaultFactory.store(factory);
}

std::shared_ptr<IHidBus> ActiveBusShared() {
    BusState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.active) {
        DefaultBusFactory factory = g_defaultFactory.load();
        s.active = factory ? factory() : nullptr;
        if (!s.active) s.active = MakeHidrawBus();
    }
    return s.active;
}

IHidBus& ActiveBus() {
    return *ActiveBusShared();
}

void SetActiveBus(std::shared_ptr<IHidBus> bus) {
    BusState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.active) s.retired.push_back(std::move(s.active));
    s.active = std::move(bus);  // nullptr: made again on next use
}

}  // namespace hid
