#include "hid/scan/HotplugWaker.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace hid::scan {

struct CHotplugWaker::Impl {
    int wakeFd = -1;
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    int monitorFd = -1;

    ~Impl() {
        if (monitor) udev_monitor_unref(monitor);
        if (context) udev_unref(context);
        if (wakeFd >= 0) close(wakeFd);
    }

    void DrainWake() {
        uint64_t count = 0;
        while (read(wakeFd, &count, sizeof count) > 0) {
        }
    }
    // Takes every queued udev event; true when one was a hidraw node.
    bool DrainMonitor() {
        bool any = false;
        while (udev_device* dev = udev_monitor_receive_device(monitor)) {
            any = true;
            udev_device_unref(dev);
        }
        return any;
    }
};

CHotplugWaker::CHotplugWaker() : d_(std::make_unique<Impl>()) {
    d_->wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

CHotplugWaker::~CHotplugWaker() = default;

bool CHotplugWaker::EnableUdevMonitor() {
    if (d_->monitor) return true;
    d_->context = udev_new();
    if (!d_->context) return false;
    d_->monitor = udev_monitor_new_from_netlink(d_->context, "udev");
    if (!d_->monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(d_->monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(d_->monitor) < 0) {
        if (d_->monitor) udev_monitor_unref(d_->monitor);
        udev_unref(d_->context);
        d_->monitor = nullptr;
        d_->context = nullptr;
        return false;
    }
    d_->monitorFd = udev_monitor_get_fd(d_->monitor);
    return true;
}

bool CHotplugWaker::UdevMonitorEnabled() const {
    return d_->monitor != nullptr;
}

bool CHotplugWaker::Wait(int timeoutMs) {
    pollfd fds[2] = {{d_->wakeFd, POLLIN, 0}, {d_->monitorFd, POLLIN, 0}};
    const nfds_t count = d_->monitorFd >= 0 ? 2 : 1;
    if (d_->wakeFd < 0) {
        // No eventfd: a plain sleep still keeps the scan going.
        poll(nullptr, 0, timeoutMs);
        return false;
    }
    int r;
    do {
        r = poll(fds, count, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r <= 0) return false;
    bool woken = false;
    if (fds[0].revents & POLLIN) {
        d_->DrainWake();
        woken = true;
    }
    if (count == 2 && (fds[1].revents & POLLIN)) woken = d_->DrainMonitor() || woken;
    return woken;
}

void CHotplugWaker::Wake() {
    if (d_->wakeFd < 0) return;
    const uint64_t one = 1;
    ssize_t put = write(d_->wakeFd, &one, sizeof one);
    (void)put;
}

}  // namespace hid::scan
