#include "sim/SimBus.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>

#include "hid/Catalog.h"
#include "hid/HidrawBus.h"

namespace sim {

struct SimBus::Entry {
    int id = 0;
    std::shared_ptr<SimDevice> device;
    std::atomic<bool> removed{false};
    std::atomic<int> reportsLeft{-1};  // unplug fault: reports until unplug
    std::shared_ptr<std::atomic<int>> latencyMs;

    void MarkRemoved() {
        removed.store(true);
        device->WakeReaders();
    }
    // Counts one report for the unplug fault.
    void CountReport() {
        int left = reportsLeft.load();
        while (left > 0 && !reportsLeft.compare_exchange_weak(left, left - 1)) {
        }
        if (left == 1) MarkRemoved();
    }
};

namespace {

constexpr const char* kPrefix = "sim/";

std::string CollectionPath(const SimBus::Entry& e, const SimCollection& c) {
    char ids[64];
    std::snprintf(ids, sizeof ids, "#vid_%04x&pid_%04x&mi_%02x", e.device->VendorId(),
                  e.device->ProductId(), c.interfaceNumber);
    std::string path = kPrefix + e.device->Name() + "/" + std::to_string(e.id) + ids;
    if (c.collectionNumber != 0) {
        std::snprintf(ids, sizeof ids, "&col%02x", c.collectionNumber);
        path += ids;
    }
    return path;
}

// The id between "sim/<name>/" and "#"; 0 when the path has none.
int IdOfPath(const std::string& path) {
    if (!SimBus::IsSimPath(path)) return 0;
    const size_t hash = path.find('#');
    if (hash == std::string::npos) return 0;
    const size_t slash = path.rfind('/', hash);
    if (slash == std::string::npos || slash + 1 >= hash) return 0;
    int id = 0;
    for (size_t i = slash + 1; i < hash; ++i) {
        if (path[i] < '0' || path[i] > '9' || id > 1000000) return 0;
        id = id * 10 + (path[i] - '0');
    }
    return id;
}

bool FindCollection(const SimDevice& device, const hid::HidPathIds& ids, SimCollection& out) {
    for (const SimCollection& c : device.Collections()) {
        if (c.interfaceNumber == ids.interfaceNumber &&
            c.collectionNumber == ids.collectionNumber) {
            out = c;
            return true;
        }
    }
    return false;
}

void Delay(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class SimNode : public hid::IHidNode {
  public:
    SimNode(std::shared_ptr<SimBus::Entry> entry, SimCollection collection, bool wantRead,
            bool wantWrite)
        : entry_(std::move(entry)),
          collection_(collection),
          wantRead_(wantRead),
          wantWrite_(wantWrite) {
        const SimDevice& d = *entry_->device;
        identity_.vendorId = d.VendorId();
        identity_.productId = d.ProductId();
        identity_.version = d.Version();
        identity_.reportDescriptor = d.ReportDescriptor(collection_.interfaceNumber);
    }

    const hid::HidNodeIdentity& Identity() const override { return identity_; }

    hid::IoResult Read(uint8_t* buf, size_t len, size_t& got, int timeoutMs) override {
        got = 0;
        if (!wantRead_ || buf == nullptr || len == 0) return hid::IoResult::Error;
        if (const auto gone = Gone()) return *gone;
        std::vector<uint8_t> report;
        const bool taken = entry_->device->TakeInput(collection_.collectionNumber, report,
                                                     timeoutMs, [this] { return Stopped(); });
        if (!taken) {
            if (const auto gone = Gone()) return *gone;
            return hid::IoResult::Timeout;
        }
        Delay(entry_->latencyMs->load());
        got = std::min(len, report.size());
        std::memcpy(buf, report.data(), got);
        entry_->CountReport();
        return hid::IoResult::Ok;
    }

    hid::IoResult Write(const uint8_t* buf, size_t len, size_t& put, int) override {
        put = 0;
        if (!wantWrite_ || buf == nullptr || len == 0) return hid::IoResult::Error;
        if (const auto gone = Gone()) return *gone;
        Delay(entry_->latencyMs->load());
        if (const auto gone = Gone()) return *gone;
        entry_->device->OnHostWrite(collection_, buf, len);
        put = len;
        entry_->CountReport();
        return hid::IoResult::Ok;
    }

    bool SetOutputReport(const uint8_t* buf, size_t len) override {
        if (!wantWrite_ || buf == nullptr || len == 0 || Gone()) return false;
        if (!entry_->device->OnSetOutputReport(collection_, buf, len)) return false;
        entry_->CountReport();
        return true;
    }

    void Abort() override {
        aborted_.store(true);
        entry_->device->WakeReaders();
    }
    void ClearAbort() override { aborted_.store(false); }

  private:
    bool Stopped() const { return aborted_.load() || entry_->removed.load(); }
    // Error once unplugged, Aborted after Abort(), nothing while usable.
    std::optional<hid::IoResult> Gone() const {
        if (entry_->removed.load()) return hid::IoResult::Error;
        if (aborted_.load()) return hid::IoResult::Aborted;
        return std::nullopt;
    }

    std::shared_ptr<SimBus::Entry> entry_;
    SimCollection collection_;
    bool wantRead_, wantWrite_;
    std::atomic<bool> aborted_{false};
    hid::HidNodeIdentity identity_;
};

}  // namespace

SimBus::SimBus() : latency_(std::make_shared<std::atomic<int>>(0)) {}

SimBus::~SimBus() {
    RemoveAll();
}

bool SimBus::IsSimPath(const std::string& path) {
    return path.rfind(kPrefix, 0) == 0;
}

int SimBus::Add(std::shared_ptr<SimDevice> device) {
    if (!device) return 0;
    auto entry = std::make_shared<Entry>();
    entry->device = std::move(device);
    entry->latencyMs = latency_;
    std::lock_guard<std::mutex> lock(mutex_);
    entry->id = nextId_++;
    entries_.push_back(entry);
    return entry->id;
}

bool SimBus::Remove(int id) {
    std::shared_ptr<Entry> gone;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if ((*it)->id == id) {
                gone = *it;
                entries_.erase(it);
                break;
            }
        }
    }
    if (!gone) return false;
    gone->MarkRemoved();
    return true;
}

int SimBus::Replace(int id, std::shared_ptr<SimDevice> device) {
    if (!device) return 0;
    auto fresh = std::make_shared<Entry>();
    fresh->device = std::move(device);
    fresh->latencyMs = latency_;
    std::shared_ptr<Entry> gone;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& slot : entries_) {
            if (slot->id == id) {
                gone = slot;
                fresh->id = nextId_++;
                slot = fresh;
                break;
            }
        }
    }
    if (!gone) return 0;
    gone->MarkRemoved();
    return fresh->id;
}

void SimBus::RemoveAll() {
    std::vector<std::shared_ptr<Entry>> gone;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        gone.swap(entries_);
    }
    for (auto& e : gone)
        e->MarkRemoved();
}

std::shared_ptr<SimDevice> SimBus::Device(int id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& e : entries_) {
        if (e->id == id && !e->removed.load()) return e->device;
    }
    return nullptr;
}

std::vector<int> SimBus::Ids() const {
    std::vector<int> ids;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& e : entries_) {
        if (!e->removed.load()) ids.push_back(e->id);
    }
    return ids;
}

int SimBus::FindByName(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& e : entries_) {
        if (!e->removed.load() && e->device->Name() == name) return e->id;
    }
    return 0;
}

void SimBus::SetLatencyMs(int ms) {
    latency_->store(ms < 0 ? 0 : ms);
}

int SimBus::LatencyMs() const {
    return latency_->load();
}

bool SimBus::UnplugAfterReports(int id, int reports) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& e : entries_) {
        if (e->id != id || e->removed.load()) continue;
        if (reports == 0) {
            e->MarkRemoved();
        } else {
            e->reportsLeft.store(reports < 0 ? -1 : reports);
        }
        return true;
    }
    return false;
}

std::shared_ptr<SimBus::Entry> SimBus::FindEntry(const std::string& path) const {
    const int id = IdOfPath(path);
    if (id == 0) return nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& e : entries_) {
        if (e->id == id && !e->removed.load()) return e;
    }
    return nullptr;
}

bool SimBus::Enumerate(std::vector<std::string>& paths) {
    std::vector<std::shared_ptr<Entry>> entries;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries = entries_;
    }
    for (const auto& e : entries) {
        if (e->removed.load()) continue;
        for (const SimCollection& c : e->device->Collections()) {
            paths.push_back(CollectionPath(*e, c));
        }
    }
    return true;
}

std::unique_ptr<hid::IHidNode> SimBus::Open(const std::string& path, bool wantRead, bool wantWrite,
                                            int* errnoOut) {
    if (errnoOut) *errnoOut = 0;
    auto entry = FindEntry(path);
    SimCollection collection;
    if (!entry || !FindCollection(*entry->device, hid::ParseHidPathIds(path), collection) ||
        CollectionPath(*entry, collection) != path) {
        if (errnoOut) *errnoOut = ENOENT;
        return nullptr;
    }
    return std::make_unique<SimNode>(std::move(entry), collection, wantRead, wantWrite);
}

bool SimBus::Present(const std::string& path) {
    auto entry = FindEntry(path);
    SimCollection collection;
    return entry && FindCollection(*entry->device, hid::ParseHidPathIds(path), collection);
}

// ---- the process-wide bus and simulation lists ----

std::shared_ptr<SimBus> GlobalSimBusShared() {
    static std::shared_ptr<SimBus> bus = std::make_shared<SimBus>();
    return bus;
}

SimBus& GlobalSimBus() {
    return *GlobalSimBusShared();
}

bool ParseSimulationList(const std::string& list, std::vector<std::string>& names,
                         std::string* error) {
    names.clear();
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        const std::string word = list.substr(start, end - start);
        start = end + 1;
        if (word.empty()) continue;
        if (word == "all") {
            names.insert(names.end(), ProductNames().begin(), ProductNames().end());
            continue;
        }
        if (std::find(ProductNames().begin(), ProductNames().end(), word) == ProductNames().end()) {
            if (error) {
                *error = "unknown simulated product '" + word + "' (known: ";
                for (const auto& n : ProductNames())
                    *error += n + ", ";
                *error += "all)";
            }
            names.clear();
            return false;
        }
        names.push_back(word);
    }
    if (names.empty()) {
        if (error) *error = "the simulation list names no product";
        return false;
    }
    return true;
}

namespace {

int LatencyFromEnvironment() {
    const char* text = std::getenv("BROMMELIVANTOS_SIM_LATENCY_MS");
    if (text == nullptr || *text == '\0') return 0;
    char* end = nullptr;
    const long ms = std::strtol(text, &end, 10);
    if (*end != '\0' || ms < 0 || ms > 10000) return 0;
    return static_cast<int>(ms);
}

bool PlugProducts(const std::string& list, std::string* error) {
    std::vector<std::string> names;
    if (!ParseSimulationList(list, names, error)) return false;
    SimBus& bus = GlobalSimBus();
    bus.SetLatencyMs(LatencyFromEnvironment());
    for (const auto& n : names)
        bus.Add(MakeProduct(n));
    return true;
}

// The default bus when BROMMELIVANTOS_SIMULATE names products: real devices
// and the simulated ones side by side. An unknown name is reported and
// ignored (real devices only).
std::shared_ptr<hid::IHidBus> DefaultBusFromEnvironment() {
    const char* list = std::getenv("BROMMELIVANTOS_SIMULATE");
    if (list == nullptr || *list == '\0') return hid::MakeHidrawBus();
    std::string error;
    if (!PlugProducts(list, &error)) {
        std::fprintf(stderr, "BROMMELIVANTOS_SIMULATE: %s\n", error.c_str());
        return hid::MakeHidrawBus();
    }
    return std::make_shared<CombinedBus>(hid::MakeHidrawBus(), GlobalSimBusShared());
}

const bool g_registered = (hid::SetDefaultBusFactory(&DefaultBusFromEnvironment), true);

}  // namespace

// Linking brom_sim names this symbol as undefined (see sim/CMakeLists.txt),
// so this file and its registration above are part of every program that
// links the simulator, even one that never calls into it directly.
extern "C" const bool brom_sim_default_bus_hook = g_registered;

bool EnableSimulation(const std::string& list, std::string* error) {
    (void)g_registered;
    if (!PlugProducts(list, error)) return false;
    hid::SetActiveBus(std::make_shared<CombinedBus>(hid::MakeHidrawBus(), GlobalSimBusShared()));
    return true;
}

// ---- combined bus ----

CombinedBus::CombinedBus(std::shared_ptr<hid::IHidBus> real, std::shared_ptr<SimBus> simulated)
    : real_(std::move(real)), simulated_(std::move(simulated)) {}

hid::IHidBus& CombinedBus::Route(const std::string& path) {
    if (SimBus::IsSimPath(path) || !real_) return *simulated_;
    return *real_;
}

bool CombinedBus::Enumerate(std::vector<std::string>& paths) {
    // Real devices first; a failing real bus (no sysfs) hides only itself.
    if (real_) {
        std::vector<std::string> realPaths;
        if (real_->Enumerate(realPaths))
            paths.insert(paths.end(), realPaths.begin(), realPaths.end());
    }
    return simulated_->Enumerate(paths);
}

std::unique_ptr<hid::IHidNode> CombinedBus::Open(const std::string& path, bool wantRead,
                                                 bool wantWrite, int* errnoOut) {
    return Route(path).Open(path, wantRead, wantWrite, errnoOut);
}

bool CombinedBus::Present(const std::string& path) {
    return Route(path).Present(path);
}

}  // namespace sim
