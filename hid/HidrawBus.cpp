#include "hid/HidrawBus.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "hid/Catalog.h"
#include "hid/ReportDescriptor.h"
#include "platform/Debug.h"

namespace hid {

namespace {

// What sysfs tells about one hidraw node.
struct NodeInfo {
    std::string name;  // "hidraw3"
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;
    bool hasInterface = false;  // a USB interface is the parent
    uint16_t interfaceNumber = 0;
    std::vector<uint8_t> descriptor;
    ParsedDescriptor parsed;
};

bool IsHidrawName(const std::string& name) {
    if (name.rfind("hidraw", 0) != 0 || name.size() == 6 || name.size() > 16) return false;
    return std::all_of(name.begin() + 6, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool ReadSmallFile(const std::string& path, std::string& out, size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(limit + 1, '\0');
    in.read(out.data(), std::streamsize(out.size()));
    out.resize(size_t(in.gcount()));
    return !in.bad() && out.size() <= limit;
}

bool ReadHexFile(const std::string& path, uint16_t& value) {
    std::string text;
    if (!ReadSmallFile(path, text, 64)) return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 16);
    if (end == text.c_str() || v > 0xFFFF) return false;
    value = uint16_t(v);
    return true;
}

// HID_ID=0003:0000320F:00005084 from the HID device's uevent.
bool ReadHidId(const std::string& ueventPath, uint16_t& vendor, uint16_t& product) {
    std::string text;
    if (!ReadSmallFile(ueventPath, text, 8192)) return false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        unsigned bus = 0, v = 0, p = 0;
        if (std::sscanf(line.c_str(), "HID_ID=%x:%x:%x", &bus, &v, &p) == 3) {
            vendor = uint16_t(v);
            product = uint16_t(p);
            return true;
        }
    }
    return false;
}

std::string Parent(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::string RealPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return {};
    std::string out = resolved;
    std::free(resolved);
    return out;
}

// The hidraw node names in node-number order.
std::vector<std::string> ListNodesByWalk(const std::string& classDir) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(classDir.c_str());
    if (dir == nullptr) return names;
    while (const dirent* e = ::readdir(dir)) {
        if (IsHidrawName(e->d_name)) names.emplace_back(e->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

// On the real system udev's own list of hidraw devices.
bool ListNodesByUdev(std::vector<std::string>& names) {
    udev* u = udev_new();
    if (u == nullptr) return false;
    udev_enumerate* en = udev_enumerate_new(u);
    bool ok = en != nullptr && udev_enumerate_add_match_subsystem(en, "hidraw") >= 0 &&
              udev_enumerate_scan_devices(en) >= 0;
    if (ok) {
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en)) {
            const std::string syspath = udev_list_entry_get_name(entry);
            const std::string name = syspath.substr(syspath.find_last_of('/') + 1);
            if (IsHidrawName(name)) names.push_back(name);
        }
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        });
    }
    if (en != nullptr) udev_enumerate_unref(en);
    udev_unref(u);
    return ok;
}

// The parts of a hidraw path: "/dev/hidraw3" and the ids after "#".
struct SplitPath {
    std::string nodeName;
    HidPathIds ids;
};

std::string PathSuffix(const NodeInfo& info, uint16_t collection) {
    char ids[64];
    std::snprintf(ids, sizeof ids, "#vid_%04x&pid_%04x", info.vendorId, info.productId);
    std::string suffix = ids;
    if (info.hasInterface) {
        std::snprintf(ids, sizeof ids, "&mi_%02x", info.interfaceNumber);
        suffix += ids;
    }
    if (collection != 0) {
        std::snprintf(ids, sizeof ids, "&col%02x", collection);
        suffix += ids;
    }
    return suffix;
}

// Collection numbers of an interface as the paths write them: none for a
// single collection, 1..n otherwise.
std::vector<uint16_t> PathCollections(const NodeInfo& info) {
    const size_t n = info.parsed.collections.size();
    if (n == 1) return {0};
    std::vector<uint16_t> out;
    for (size_t i = 1; i <= n; ++i)
        out.push_back(uint16_t(i));
    return out;
}

class HidrawNode : public IHidNode {
  public:
    HidrawNode(int fd, int abortFd, HidNodeIdentity identity, HidCollectionInfo collection,
               bool usesReportIds)
        : fd_(fd),
          abortFd_(abortFd),
          identity_(std::move(identity)),
          collection_(std::move(collection)),
          usesReportIds_(usesReportIds) {}

    ~HidrawNode() override {
        if (fd_ >= 0) ::close(fd_);
        ::close(abortFd_);
    }

    const HidNodeIdentity& Identity() const override { return identity_; }

    IoResult Read(uint8_t* buf, size_t len, size_t& got, int timeoutMs) override;
    IoResult Write(const uint8_t* buf, size_t len, size_t& put, int timeoutMs) override;
    bool SetOutputReport(const uint8_t* buf, size_t len) override;

    void Abort() override {
        const uint64_t one = 1;
        ssize_t r = ::write(abortFd_, &one, sizeof one);
        (void)r;
    }
    void ClearAbort() override {
        uint64_t value = 0;
        ssize_t r = ::read(abortFd_, &value, sizeof value);  // non-blocking: drains
        (void)r;
    }

  private:
    // Waits until fd_ is ready for `events`. Ok, Timeout, Aborted or Error.
    IoResult WaitReady(short events, std::chrono::steady_clock::time_point deadline, bool limited);
    bool Aborted() const {
        pollfd p{abortFd_, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
    }

    int fd_;
    int abortFd_;
    HidNodeIdentity identity_;
    HidCollectionInfo collection_;
    bool usesReportIds_;
};

IoResult HidrawNode::WaitReady(short events, std::chrono::steady_clock::time_point deadline,
                               bool limited) {
    for (;;) {
        int waitMs = -1;
        if (limited) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            waitMs = int(std::max<int64_t>(0, left.count()));
        }
        pollfd fds[2] = {{abortFd_, POLLIN, 0}, {fd_, events, 0}};
        const int r = ::poll(fds, 2, waitMs);
        if (r < 0) {
            if (errno == EINTR) continue;
            return IoResult::Error;
        }
        if (fds[0].revents & POLLIN) return IoResult::Aborted;
        if (fds[1].revents & events) return IoResult::Ok;
        if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) return IoResult::Error;
        if (r == 0) return IoResult::Timeout;
    }
}

IoResult HidrawNode::Read(uint8_t* buf, size_t len, size_t& got, int timeoutMs) {
    got = 0;
    if (fd_ < 0 || buf == nullptr || len == 0) return IoResult::Error;
    const bool limited = timeoutMs >= 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    uint8_t report[kMaxReportBytes + 1];
    for (;;) {
        const IoResult ready = WaitReady(POLLIN, deadline, limited);
        if (ready != IoResult::Ok) return ready;
        // Without report IDs the node gives the data only; byte 0 is then 0.
        uint8_t* dst = usesReportIds_ ? report : report + 1;
        const size_t room = usesReportIds_ ? sizeof report : sizeof report - 1;
        const ssize_t n = ::read(fd_, dst, room);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return IoResult::Error;  // unplugged (or the node closed)
        size_t size = size_t(n);
        if (!usesReportIds_) {
            report[0] = 0;
            ++size;
        }
        // Other collections' reports arrive on the same node: skip them.
        if (!collection_.HasReportId(report[0])) continue;
        got = std::min(len, size);
        std::memcpy(buf, report, got);
        return IoResult::Ok;
    }
}

IoResult HidrawNode::Write(const uint8_t* buf, size_t len, size_t& put, int timeoutMs) {
    put = 0;
    if (fd_ < 0 || buf == nullptr || len == 0) return IoResult::Error;
    const bool limited = timeoutMs >= 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    for (;;) {
        const IoResult ready = WaitReady(POLLOUT, deadline, limited);
        if (ready != IoResult::Ok) return ready;
        const ssize_t n = ::write(fd_, buf, len);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n < 0) return IoResult::Error;
        put = size_t(n);
        return size_t(n) == len ? IoResult::Ok : IoResult::Error;
    }
}

bool HidrawNode::SetOutputReport(const uint8_t* buf, size_t len) {
    if (fd_ < 0 || buf == nullptr || len == 0 || len > kMaxReportBytes || Aborted()) return false;
    std::vector<uint8_t> copy(buf, buf + len);
    if (::ioctl(fd_, HIDIOCSOUTPUT(len), copy.data()) >= 0) return true;
    if (errno != ENOTTY && errno != EINVAL) return false;
    // Older kernels (and non-hidraw nodes) have no output-report request:
    // a plain write sends the same output report.
    return ::write(fd_, buf, len) == ssize_t(len);
}

}  // namespace

CHidrawBus::CHidrawBus(HidrawRoots roots) : roots_(std::move(roots)) {
    while (roots_.sysfsRoot.size() > 1 && roots_.sysfsRoot.back() == '/')
        roots_.sysfsRoot.pop_back();
    while (roots_.devRoot.size() > 1 && roots_.devRoot.back() == '/')
        roots_.devRoot.pop_back();
}

CHidrawBus::~CHidrawBus() = default;

namespace {

std::string ClassDir(const HidrawRoots& roots) {
    return roots.sysfsRoot + "/class/hidraw";
}

// Reads everything the bus needs about one node; false when the node is
// gone or its details are unreadable (it is then left out of the scan).
bool ReadNodeInfo(const HidrawRoots& roots, const std::string& name, NodeInfo& info) {
    info = NodeInfo{};
    info.name = name;
    const std::string hidDir = RealPath(ClassDir(roots) + "/" + name + "/device");
    if (hidDir.empty()) return false;
    if (!ReadHidId(hidDir + "/uevent", info.vendorId, info.productId)) return false;
    std::string bytes;
    if (!ReadSmallFile(hidDir + "/report_descriptor", bytes, kMaxDescriptorBytes)) return false;
    info.descriptor.assign(bytes.begin(), bytes.end());
    std::string why;
    if (!ParseReportDescriptor(info.descriptor.data(), info.descriptor.size(), info.parsed, &why)) {
        platform::DebugOutF("hidraw: %s: unusable report descriptor (%s)", name.c_str(),
                            why.c_str());
        return false;
    }
    // hid device -> usb_interface (bInterfaceNumber) -> usb_device (bcdDevice).
    const std::string interfaceDir = Parent(hidDir);
    if (ReadHexFile(interfaceDir + "/bInterfaceNumber", info.interfaceNumber)) {
        info.hasInterface = true;
        ReadHexFile(Parent(interfaceDir) + "/bcdDevice", info.version);
    }
    return true;
}

// Splits "/dev/hidraw3#vid_...&col04"; false when it is not a path of this bus.
bool SplitHidrawPath(const HidrawRoots& roots, const std::string& path, SplitPath& out) {
    const size_t hash = path.find('#');
    if (hash == std::string::npos) return false;
    const std::string node = path.substr(0, hash);
    const std::string prefix = roots.devRoot + "/";
    if (node.rfind(prefix, 0) != 0) return false;
    out.nodeName = node.substr(prefix.size());
    if (!IsHidrawName(out.nodeName)) return false;
    const std::string suffix = path.substr(hash);
    out.ids = ParseHidPathIds(suffix);
    return true;
}

// The collection a path names, checked against what the node is now (a node
// name is reused when another device is plugged in).
const HidCollectionInfo* CollectionOfPath(const NodeInfo& info, const SplitPath& split,
                                          const std::string& path) {
    const uint16_t col = split.ids.collectionNumber;
    const size_t n = info.parsed.collections.size();
    const size_t index = col == 0 ? 0 : size_t(col) - 1;
    if (index >= n) return nullptr;
    const std::string expected = PathSuffix(info, n == 1 ? 0 : col);
    if (path.compare(path.find('#'), std::string::npos, expected) != 0) return nullptr;
    return &info.parsed.collections[index];
}

}  // namespace

bool CHidrawBus::Enumerate(std::vector<std::string>& paths) {
    std::vector<std::string> names;
    const bool realSystem = roots_.sysfsRoot == "/sys";
    if (!realSystem || !ListNodesByUdev(names)) names = ListNodesByWalk(ClassDir(roots_));
    for (const std::string& name : names) {
        NodeInfo info;
        if (!ReadNodeInfo(roots_, name, info)) continue;  // unplugged meanwhile, or unreadable
        const std::string node = roots_.devRoot + "/" + name;
        for (uint16_t col : PathCollections(info))
            paths.push_back(node + PathSuffix(info, col));
    }
    return true;
}

std::unique_ptr<IHidNode> CHidrawBus::Open(const std::string& path, bool wantRead, bool wantWrite,
                                           int* errnoOut) {
    if (errnoOut) *errnoOut = 0;
    auto fail = [&](int err) -> std::unique_ptr<IHidNode> {
        if (errnoOut) *errnoOut = err;
        return nullptr;
    };
    SplitPath split;
    NodeInfo info;
    if (!SplitHidrawPath(roots_, path, split) || !ReadNodeInfo(roots_, split.nodeName, info)) {
        return fail(ENOENT);
    }
    const HidCollectionInfo* collection = CollectionOfPath(info, split, path);
    if (collection == nullptr) return fail(ENOENT);

    int fd = -1;
    if (wantRead || wantWrite) {
        const int access = wantRead && wantWrite ? O_RDWR : (wantRead ? O_RDONLY : O_WRONLY);
        fd = ::open((roots_.devRoot + "/" + split.nodeName).c_str(),
                    access | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) return fail(errno);
    }
    const int abortFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (abortFd < 0) {
        const int err = errno;
        if (fd >= 0) ::close(fd);
        return fail(err);
    }
    HidNodeIdentity identity;
    identity.vendorId = info.vendorId;
    identity.productId = info.productId;
    identity.version = info.version;
    identity.reportDescriptor = info.descriptor;
    return std::make_unique<HidrawNode>(fd, abortFd, std::move(identity), *collection,
                                        info.parsed.usesReportIds);
}

bool CHidrawBus::Present(const std::string& path) {
    SplitPath split;
    if (!SplitHidrawPath(roots_, path, split)) return false;
    if (!Exists(roots_.devRoot + "/" + split.nodeName)) return false;
    if (!Exists(ClassDir(roots_) + "/" + split.nodeName)) return false;
    // The node must still belong to the same product.
    uint16_t vendor = 0, product = 0;
    const std::string hidDir = RealPath(ClassDir(roots_) + "/" + split.nodeName + "/device");
    return !hidDir.empty() && ReadHidId(hidDir + "/uevent", vendor, product) &&
           vendor == split.ids.vendorId && product == split.ids.productId;
}

std::shared_ptr<IHidBus> MakeHidrawBus() {
    HidrawRoots roots;
    if (const char* sys = std::getenv("BROMMELIVANTOS_HIDRAW_SYSFS"); sys && *sys)
        roots.sysfsRoot = sys;
    if (const char* dev = std::getenv("BROMMELIVANTOS_HIDRAW_DEV"); dev && *dev)
        roots.devRoot = dev;
    return MakeHidrawBus(std::move(roots));
}

std::shared_ptr<IHidBus> MakeHidrawBus(HidrawRoots roots) {
    return std::make_shared<CHidrawBus>(std::move(roots));
}

}  // namespace hid
