#pragma once
// The main window's device lists, one per kind, in creation order. The UI
// thread appends; worker threads (the light synchronisation) take a
// snapshot under the list lock and walk the copy, so an append never
// invalidates what they walk. Devices are never removed while the program
// runs; the registry does not own them.
#include <array>
#include <mutex>
#include <vector>

#include "devices/events/DeviceCore.h"
#include "hid/Catalog.h"

namespace devices::events {

struct DeviceLists {
    std::vector<CDeviceCore*> mice, keyboards, mousePads, headsets;
    const std::vector<CDeviceCore*>& Of(hid::DeviceKind kind) const;
};

class CDeviceRegistry {
  public:
    // Appends a device to its kind's list; false for an unknown kind or null.
    bool Add(CDeviceCore* device);
    DeviceLists Snapshot() const;
    // The first device of any list whose stored row is the same interface
    // as `row`; nullptr when none.
    CDeviceCore* FindByRow(const hid::HidInterfaceEntry& row) const;
    size_t Count() const;
    void Clear();

  private:
    mutable std::mutex mutex_;
    DeviceLists lists_;
};

}  // namespace devices::events
