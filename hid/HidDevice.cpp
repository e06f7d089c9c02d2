#include "hid/HidDevice.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>

#include "hid/Catalog.h"

namespace hid {

namespace {

constexpr ReportType kTypes[kReportTypeCount] = {ReportType::Input, ReportType::Output,
                                                 ReportType::Feature};

// The item table of one report type: one button item per button capability,
// then one value item per value usage.
std::vector<HidDataItem> BuildItems(const HidCollectionInfo& c, ReportType type) {
    std::vector<HidDataItem> items;
    for (const HidCapability& cap : c.caps) {
        if (cap.type != type || !cap.isButton) continue;
        HidDataItem item;
        item.isButtonData = true;
        item.usagePage = cap.usagePage;
        item.reportId = cap.reportId;
        item.usageMin = cap.usageMin;
        item.usageMax = cap.usageMax;
        item.maxUsageLength = MaxUsageListLength(c, type, cap.usagePage);
        item.usages.assign(item.maxUsageLength, 0);
        items.push_back(std::move(item));
    }
    for (const HidCapability& cap : c.caps) {
        if (cap.type != type || cap.isButton) continue;
        for (uint32_t i = 0; i < cap.UsageCount(); ++i) {
            HidDataItem item;
            item.usagePage = cap.usagePage;
            item.reportId = cap.reportId;
            item.usage = uint16_t(cap.usageMin + i);
            items.push_back(std::move(item));
        }
    }
    return items;
}

void DecodeButtons(const HidCollectionInfo& c, HidDataItem& item, const uint8_t* report,
                   size_t len) {
    std::vector<uint16_t> on;
    item.status = GetUsages(c, ReportType::Input, item.usagePage, report, len, on);
    item.usages.assign(item.maxUsageLength, 0);
    size_t n = 0;
    for (uint16_t u : on) {
        if (u < item.usageMin || u > item.usageMax) continue;
        if (n == item.usages.size()) break;
        item.usages[n++] = u;
    }
}

bool DecodeValue(const HidCollectionInfo& c, HidDataItem& item, const uint8_t* report, size_t len) {
    item.status =
        GetUsageValue(c, ReportType::Input, item.usagePage, item.usage, report, len, item.value);
    if (item.status != kHidStatusSuccess) return false;
    item.status = GetScaledUsageValue(c, ReportType::Input, item.usagePage, item.usage, report, len,
                                      item.scaledValue);
    return true;
}

}  // namespace

struct CHidDevice::Impl {
    std::vector<std::string> pathList;
    size_t pathCursor = 0;

    bool wantRead = false;
    bool wantWrite = false;
    bool overlapped = false;
    bool exclusiveWrite = false;
    std::string path;
    int lastOpenError = 0;

    // The open node and the transfers running on it. Close and Reopen abort
    // the node and wait for running transfers to leave before releasing
    // anything, so no transfer outlives the buffers it writes into.
    mutable std::mutex mutex;
    std::condition_variable idle;
    std::shared_ptr<IHidBus> bus;
    std::shared_ptr<IHidNode> node;
    int busy = 0;

    HidAttributes attributes;
    HidCaps caps;
    unsigned interfaceNumber = 0;
    unsigned collectionNumber = 0;
    HidCollectionInfo collection;
    std::vector<uint8_t> reports[kReportTypeCount];
    std::vector<HidDataItem> items[kReportTypeCount];

    // Caller holds the lock.
    void CloseLocked(std::unique_lock<std::mutex>& lock) {
        if (node) node->Abort();
        idle.wait(lock, [this] { return busy == 0; });
        node.reset();
        bus.reset();
        attributes = HidAttributes{};
        caps = HidCaps{};
        interfaceNumber = collectionNumber = 0;
        collection = HidCollectionInfo{};
        for (auto& r : reports)
            r.clear();
        for (auto& t : items)
            t.clear();
    }

    bool Identify();

    // Takes the node for one transfer; nullptr when closed.
    std::shared_ptr<IHidNode> BeginTransfer() {
        std::lock_guard<std::mutex> lock(mutex);
        if (!node) return nullptr;
        ++busy;
        return node;
    }
    void EndTransfer() {
        std::lock_guard<std::mutex> lock(mutex);
        --busy;
        idle.notify_all();
    }
};

bool CHidDevice::Impl::Identify() {
    const HidNodeIdentity& id = node->Identity();
    ParsedDescriptor parsed;
    if (!ParseReportDescriptor(id.reportDescriptor.data(), id.reportDescriptor.size(), parsed)) {
        return false;
    }
    const HidPathIds ids = ParseHidPathIds(path);
    const size_t index = ids.collectionNumber == 0 ? 0 : size_t(ids.collectionNumber) - 1;
    if (index >= parsed.collections.size()) return false;
    collection = std::move(parsed.collections[index]);

    attributes = HidAttributes{id.vendorId, id.productId, id.version};
    caps.usagePage = collection.usagePage;
    caps.usage = collection.usage;
    caps.inputReportByteLength = collection.ReportBytes(ReportType::Input);
    caps.outputReportByteLength = collection.ReportBytes(ReportType::Output);
    caps.featureReportByteLength = collection.ReportBytes(ReportType::Feature);
    caps.numberInputButtonCaps = uint16_t(collection.CountCaps(ReportType::Input, true));
    caps.numberInputValueCaps = uint16_t(collection.CountCaps(ReportType::Input, false));
    caps.numberOutputButtonCaps = uint16_t(collection.CountCaps(ReportType::Output, true));
    caps.numberOutputValueCaps = uint16_t(collection.CountCaps(ReportType::Output, false));
    caps.numberFeatureButtonCaps = uint16_t(collection.CountCaps(ReportType::Feature, true));
    caps.numberFeatureValueCaps = uint16_t(collection.CountCaps(ReportType::Feature, false));
    for (ReportType t : kTypes) {
        reports[size_t(t)].assign(collection.ReportBytes(t), 0);
        items[size_t(t)] = BuildItems(collection, t);
    }
    interfaceNumber = ids.interfaceNumber;
    collectionNumber = ids.collectionNumber;
    return true;
}

CHidDevice::CHidDevice() : d_(std::make_unique<Impl>()) {}

CHidDevice::~CHidDevice() {
    Close();
    FreePathList();
}

bool CHidDevice::EnumerateInterfaces() {
    std::vector<std::string> paths;
    if (!ActiveBusShared()->Enumerate(paths)) return false;
    d_->pathList = std::move(paths);
    d_->pathCursor = 0;
    return true;
}

const std::string* CHidDevice::NextPath() {
    if (d_->pathCursor >= d_->pathList.size()) return nullptr;
    return &d_->pathList[d_->pathCursor++];
}

void CHidDevice::FreePathList() {
    d_->pathList.clear();
    d_->pathList.shrink_to_fit();
    d_->pathCursor = 0;
}

size_t CHidDevice::PathCount() const {
    return d_->pathList.size();
}

bool CHidDevice::Open(const std::string& path, bool wantRead, bool wantWrite, bool overlapped,
                      bool exclusiveWrite) {
    {
        std::unique_lock<std::mutex> lock(d_->mutex);
        d_->CloseLocked(lock);
        d_->wantRead = wantRead;
        d_->wantWrite = wantWrite;
        d_->overlapped = overlapped;
        d_->exclusiveWrite = exclusiveWrite;
        d_->path = path;
    }
    return Reopen();
}

bool CHidDevice::Reopen() {
    std::unique_lock<std::mutex> lock(d_->mutex);
    d_->CloseLocked(lock);
    d_->lastOpenError = 0;
    if (d_->path.empty()) {
        d_->lastOpenError = ENOENT;
        return false;
    }
    // hidraw has no share modes and every transfer can time out, so the
    // exclusive-write and overlapped flags need nothing from the bus.
    std::shared_ptr<IHidBus> bus = ActiveBusShared();
    int err = 0;
    std::unique_ptr<IHidNode> node = bus->Open(d_->path, d_->wantRead, d_->wantWrite, &err);
    if (!node) {
        d_->lastOpenError = err != 0 ? err : ENODEV;
        return false;
    }
    d_->bus = std::move(bus);
    d_->node = std::move(node);
    if (!d_->Identify()) {
        d_->CloseLocked(lock);
        d_->lastOpenError = EPROTO;
        return false;
    }
    return true;
}

void CHidDevice::Close() {
    std::unique_lock<std::mutex> lock(d_->mutex);
    d_->CloseLocked(lock);
}

bool CHidDevice::IsOpen() const {
    std::lock_guard<std::mutex> lock(d_->mutex);
    return d_->node != nullptr;
}

int CHidDevice::LastOpenError() const {
    return d_->lastOpenError;
}

bool CHidDevice::ReadReport(uint8_t* buffer, size_t length, size_t* bytesRead, int timeoutMs) {
    if (bytesRead) *bytesRead = 0;
    if (buffer == nullptr || length == 0) return false;
    std::shared_ptr<IHidNode> node = d_->BeginTransfer();
    if (!node) return false;
    size_t got = 0;
    const IoResult r = node->Read(buffer, length, got, timeoutMs);
    d_->EndTransfer();
    if (r != IoResult::Ok) return false;
    if (bytesRead) *bytesRead = got;
    return true;
}

bool CHidDevice::WriteReport(const uint8_t* buffer, size_t length, size_t* bytesWritten,
                             int timeoutMs) {
    if (bytesWritten) *bytesWritten = 0;
    if (buffer == nullptr || length == 0) return false;
    std::shared_ptr<IHidNode> node = d_->BeginTransfer();
    if (!node) return false;
    size_t put = 0;
    const IoResult r = node->Write(buffer, length, put, timeoutMs);
    d_->EndTransfer();
    if (r != IoResult::Ok) return false;
    if (bytesWritten) *bytesWritten = put;
    return true;
}

bool CHidDevice::SetOutputReport(const uint8_t* buffer, size_t length) {
    if (buffer == nullptr || length == 0) return false;
    std::shared_ptr<IHidNode> node = d_->BeginTransfer();
    if (!node) return false;
    const bool ok = node->SetOutputReport(buffer, length);
    d_->EndTransfer();
    return ok;
}

bool CHidDevice::UnpackInputReport(const uint8_t* report, size_t reportLength) {
    std::lock_guard<std::mutex> lock(d_->mutex);
    if (!d_->node || report == nullptr || reportLength == 0) return false;
    for (HidDataItem& item : d_->items[size_t(ReportType::Input)]) {
        if (item.reportId != report[0]) continue;
        if (item.isButtonData) {
            DecodeButtons(d_->collection, item, report, reportLength);
        } else if (!DecodeValue(d_->collection, item, report, reportLength)) {
            return false;
        }
        item.isDataSet = true;
    }
    return true;
}

bool CHidDevice::IsPresent(const std::string& path) {
    return ActiveBusShared()->Present(path);
}

const std::string& CHidDevice::Path() const {
    return d_->path;
}
const HidAttributes& CHidDevice::Attributes() const {
    return d_->attributes;
}
const HidCaps& CHidDevice::Caps() const {
    return d_->caps;
}
unsigned CHidDevice::InterfaceNumber() const {
    return d_->interfaceNumber;
}
unsigned CHidDevice::CollectionNumber() const {
    return d_->collectionNumber;
}
std::vector<uint8_t>& CHidDevice::InputReport() {
    return d_->reports[size_t(ReportType::Input)];
}
const std::vector<HidDataItem>& CHidDevice::InputItems() const {
    return d_->items[size_t(ReportType::Input)];
}
const std::vector<HidDataItem>& CHidDevice::OutputItems() const {
    return d_->items[size_t(ReportType::Output)];
}
const std::vector<HidDataItem>& CHidDevice::FeatureItems() const {
    return d_->items[size_t(ReportType::Feature)];
}

}  // namespace hid
