#pragma once
// The simulated HID bus: an in-process IHidBus over SimDevice products.
//
// Products are plugged and unplugged at run time. Each collection of a
// plugged product shows up as one path
//     sim/<name>/<id>#vid_320f&pid_50ef&mi_01&col04
// ("&col" left out for a collection numbered 0), so the catalogue parses it
// exactly like a hidraw path. <id> is the number Add() returned.
//
// A node opened on such a path writes into SimDevice::OnHostWrite and reads
// from SimDevice::TakeInput of its collection. When the product is removed,
// every node opened on it fails at once (Error), also a read that waits with
// no time-out, like an unplugged device.
//
// Bus-level behaviour that a firmware model cannot express itself: a latency
// per report, and "unplug after N more reports" to cut a chunked transfer in
// the middle.
//
// Typical use in a test:
//     auto bus = std::make_shared<sim::SimBus>();
//     int id = bus->Add(sim::MakeProduct("mouse"));
//     hid::SetActiveBus(bus);
//     ... bus->Replace(id, sim::MakeProduct("mouse-receiver")) ...
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "hid/HidBus.h"
#include "sim/SimDevice.h"

namespace sim {

class SimBus : public hid::IHidBus {
  public:
    SimBus();
    ~SimBus() override;

    // Plugs a product in; returns its id (> 0, never reused on this bus).
    int Add(std::shared_ptr<SimDevice> device);
    // Unplugs a product; its open nodes fail from now on. False for an unknown id.
    bool Remove(int id);
    // Unplugs one product and plugs another in its place in the enumeration
    // order (cable <-> receiver). Returns the new id, or 0 for an unknown id.
    int Replace(int id, std::shared_ptr<SimDevice> device);
    // Unplugs every product.
    void RemoveAll();

    // The product behind an id, or nullptr when it is not plugged.
    std::shared_ptr<SimDevice> Device(int id) const;
    // Ids of the plugged products in plug order.
    std::vector<int> Ids() const;
    // Id of the first plugged product with this name, or 0.
    int FindByName(const std::string& name) const;

    // Delay of every report written or read, in milliseconds (0: none).
    void SetLatencyMs(int ms);
    int LatencyMs() const;
    // The product is unplugged right after `reports` more reports (written or
    // read, on any of its collections) went through. Negative: never.
    bool UnplugAfterReports(int id, int reports);

    // IHidBus
    bool Enumerate(std::vector<std::string>& paths) override;
    std::unique_ptr<hid::IHidNode> Open(const std::string& path, bool wantRead, bool wantWrite,
                                        int* errnoOut) override;
    bool Present(const std::string& path) override;

    // True when the path names the simulated bus ("sim/" prefix).
    static bool IsSimPath(const std::string& path);

    struct Entry;  // one plugged product (shared with its open nodes)

  private:
    std::shared_ptr<Entry> FindEntry(const std::string& path) const;
    void Unplug(Entry& entry);

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Entry>> entries_;
    int nextId_ = 1;
    std::shared_ptr<std::atomic<int>> latency_;  // shared with open nodes
};

// The process-wide simulated bus that EnableSimulation and
// BROMMELIVANTOS_SIMULATE fill; the program and tests plug and unplug on it.
SimBus& GlobalSimBus();
std::shared_ptr<SimBus> GlobalSimBusShared();

// Product names accepted in a simulation list, in the order "all" adds them.
const std::vector<std::string>& ProductNames();
// A new product model by name, or nullptr for an unknown name.
std::shared_ptr<SimDevice> MakeProduct(const std::string& name);

// Splits "mouse,keyboard-receiver" (or "all") into product names; false with
// a message for an unknown name.
bool ParseSimulationList(const std::string& list, std::vector<std::string>& names,
                         std::string* error);

// Plugs the listed products into GlobalSimBus() and makes the active bus a
// combination of hidraw (real devices) and the simulated bus. Every call
// adds the listed products. BROMMELIVANTOS_SIM_LATENCY_MS sets the latency.
bool EnableSimulation(const std::string& list, std::string* error);

// A bus that lists the interfaces of several buses and routes each path to
// the bus that listed it (sim paths to the simulated bus, others to hidraw).
class CombinedBus : public hid::IHidBus {
  public:
    CombinedBus(std::shared_ptr<hid::IHidBus> real, std::shared_ptr<SimBus> simulated);
    bool Enumerate(std::vector<std::string>& paths) override;
    std::unique_ptr<hid::IHidNode> Open(const std::string& path, bool wantRead, bool wantWrite,
                                        int* errnoOut) override;
    bool Present(const std::string& path) override;

  private:
    hid::IHidBus& Route(const std::string& path);
    std::shared_ptr<hid::IHidBus> real_;
    std::shared_ptr<SimBus> simulated_;
};

}  // namespace sim
