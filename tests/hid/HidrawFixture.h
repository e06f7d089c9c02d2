#pragma once
// A fake hidraw world in a temporary folder: a sysfs tree laid out like the
// kernel's (class/hidraw/<node> -> devices/.../<hid device>/hidraw/<node>,
// the hid device under its usb_interface under its usb_device) and a /dev
// folder whose nodes are pseudo-terminals in raw mode. The test holds the
// terminal's master side and plays the device: what it writes the host
// reads, what the host writes it reads.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "hid/HidrawBus.h"

namespace testfixture {

class HidrawFixture {
  public:
    struct Node {
        int master = -1;
        int slave = -1;  // kept open so the raw mode stays set
        std::string hidDir;
    };

    HidrawFixture() {
        char tmpl[] = "/tmp/hidraw-fixture-XXXXXX";
        root_ = ::mkdtemp(tmpl);
        std::filesystem::create_directories(root_ + "/sys/class/hidraw");
        std::filesystem::create_directories(root_ + "/dev");
    }
    ~HidrawFixture() {
        for (auto& [name, n] : nodes_)
            CloseNode(n);
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    hid::HidrawRoots Roots() const { return {root_ + "/sys", root_ + "/dev"}; }
    std::string DevPath(const std::string& name) const { return root_ + "/dev/" + name; }

    // Adds a node; interfaceNumber < 0 leaves out the USB interface (a
    // Bluetooth-style parent). An empty uevent id models unreadable details.
    Node& AddNode(const std::string& name, uint16_t vendor, uint16_t product, int interfaceNumber,
                  uint16_t version, const std::vector<uint8_t>& descriptor,
                  bool writeUevent = true) {
        char hidName[64];
        std::snprintf(hidName, sizeof hidName, "0003:%04X:%04X.%04zX", vendor, product, ++plugged_);
        const std::string usbDev = root_ + "/sys/devices/pci0/usb1/1-" + name;
        std::string parent = usbDev;
        if (interfaceNumber >= 0) {
            parent = usbDev + "/1-" + name + ":1." + std::to_string(interfaceNumber);
            WriteText(parent + "/bInterfaceNumber", Hex2(unsigned(interfaceNumber)) + "\n");
        }
        char bcd[16];
        std::snprintf(bcd, sizeof bcd, "%04x\n", version);
        WriteText(usbDev + "/bcdDevice", bcd);
        const std::string hidDir = parent + "/" + hidName;
        std::filesystem::create_directories(hidDir + "/hidraw/" + name);
        if (writeUevent) {
            char uevent[128];
            std::snprintf(uevent, sizeof uevent,
                          "DRIVER=hid-generic\nHID_ID=0003:%08X:%08X\nHID_NAME=fixture\n", vendor,
                          product);
            WriteText(hidDir + "/uevent", uevent);
        }
        WriteText(hidDir + "/report_descriptor", std::string(descriptor.begin(), descriptor.end()));
        std::filesystem::create_directory_symlink("../..", hidDir + "/hidraw/" + name + "/device");
        std::filesystem::create_directory_symlink(hidDir + "/hidraw/" + name,
                                                  root_ + "/sys/class/hidraw/" + name);
        Node n;
        n.hidDir = hidDir;
        OpenPty(n);
        std::filesystem::create_symlink(::ptsname(n.master), DevPath(name));
        return nodes_[name] = n;
    }

    // The device goes away: sysfs entry and node vanish, the line drops.
    void Unplug(const std::string& name) {
        auto it = nodes_.find(name);
        if (it == nodes_.end()) return;
        std::error_code ec;
        std::filesystem::remove(root_ + "/sys/class/hidraw/" + name, ec);
        std::filesystem::remove(DevPath(name), ec);
        CloseNode(it->second);
        nodes_.erase(it);
    }

    // Device side: send one input report (as the node delivers it).
    bool Send(const std::string& name, const std::vector<uint8_t>& report) {
        const int fd = nodes_.at(name).master;
        return ::write(fd, report.data(), report.size()) == ssize_t(report.size());
    }
    // Device side: what the host wrote, waiting up to timeoutMs.
    std::vector<uint8_t> Receive(const std::string& name, size_t want, int timeoutMs = 1000) {
        const int fd = nodes_.at(name).master;
        std::vector<uint8_t> out;
        while (out.size() < want) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0) break;
            uint8_t buf[512];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0) break;
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }

    const std::string& Root() const { return root_; }

  private:
    static std::string Hex2(unsigned v) {
        char t[8];
        std::snprintf(t, sizeof t, "%02x", v);
        return t;
    }
    static void WriteText(const std::string& path, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    static void OpenPty(Node& n) {
        n.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ::grantpt(n.master);
        ::unlockpt(n.master);
        n.slave = ::open(::ptsname(n.master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t;
        ::tcgetattr(n.slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(n.slave, TCSANOW, &t);
    }
    static void CloseNode(Node& n) {
        if (n.slave >= 0) ::close(n.slave);
        if (n.master >= 0) ::close(n.master);
        n.slave = n.master = -1;
    }

    std::string root_;
    std::map<std::string, Node> nodes_;
    size_t plugged_ = 0;  // every plug gets its own hid device folder
};

}  // namespace testfixture
