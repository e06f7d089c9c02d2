#include "devices/events/DeviceRegistry.h"

namespace devices::events {

namespace {

std::vector<CDeviceCore*>* ListOf(DeviceLists& lists, hid::DeviceKind kind) {
    switch (kind) {
        case hid::kKindMouse:
            return &lists.mice;
        case hid::kKindKeyboard:
            return &lists.keyboards;
        case hid::kKindMousePad:
            return &lists.mousePads;
        case hid::kKindHeadset:
            return &lists.headsets;
        default:
            return nullptr;
    }
}

}  // namespace

const std::vector<CDeviceCore*>& DeviceLists::Of(hid::DeviceKind kind) const {
    static const std::vector<CDeviceCore*> none;
    switch (kind) {
        case hid::kKindMouse:
            return mice;
        case hid::kKindKeyboard:
            return keyboards;
        case hid::kKindMousePad:
            return mousePads;
        case hid::kKindHeadset:
            return headsets;
        default:
            return none;
    }
}

bool CDeviceRegistry::Add(CDeviceCore* device) {
    if (!device) return false;
    std::lock_guard lock(mutex_);
    auto* list = ListOf(lists_, device->Kind());
    if (!list) return false;
    list->push_back(device);
    return true;
}

DeviceLists CDeviceRegistry::Snapshot() const {
    std::lock_guard lock(mutex_);
    return lists_;
}

CDeviceCore* CDeviceRegistry::FindByRow(const hid::HidInterfaceEntry& row) const {
    const DeviceLists lists = Snapshot();
    for (const auto* list : {&lists.mousePads, &lists.mice, &lists.keyboards, &lists.headsets}) {
        for (CDeviceCore* d : *list) {
            if (hid::SameInterface(d->InterfaceRow(), row)) return d;
        }
    }
    return nullptr;
}

size_t CDeviceRegistry::Count() const {
    std::lock_guard lock(mutex_);
    return lists_.mice.size() + lists_.keyboards.size() + lists_.mousePads.size() +
           lists_.headsets.size();
}

void CDeviceRegistry::Clear() {
    std::lock_guard lock(mutex_);
    lists_ = DeviceLists{};
}

}  // namespace devices::events
