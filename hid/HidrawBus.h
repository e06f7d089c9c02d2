#pragma once
// The Linux hidraw backend: one path per top-level collection of every hidraw
// node, for example "/dev/hidraw3#vid_320f&pid_5084&mi_01&col04" (no "&col"
// part when the interface has a single collection).
//
// Enumeration walks <sysfsRoot>/class/hidraw/ and reads each node's uevent
// (HID_ID), the report_descriptor and the parent USB interface's
// bInterfaceNumber. That is the same tree udev reads, and it lets tests point
// the bus at a fixture folder with a socket pair or pseudo-terminal as the node.
#include <memory>
#include <string>

#include "hid/HidBus.h"

namespace hid {

struct HidrawRoots {
    std::string sysfsRoot = "/sys";  // holds class/hidraw/<node>/
    std::string devRoot = "/dev";    // holds the <node> device files
};

class CHidrawBus : public IHidBus {
  public:
    explicit CHidrawBus(HidrawRoots roots = {});
    ~CHidrawBus() override;

    bool Enumerate(std::vector<std::string>& paths) override;
    std::unique_ptr<IHidNode> Open(const std::string& path, bool wantRead, bool wantWrite,
                                   int* errnoOut) override;
    bool Present(const std::string& path) override;

    const HidrawRoots& Roots() const { return roots_; }

  private:
    HidrawRoots roots_;
};

// The system's hidraw bus. BROMMELIVANTOS_HIDRAW_SYSFS and
// BROMMELIVANTOS_HIDRAW_DEV replace the two roots (tests of whole programs
// point them at a fixture tree).
std::shared_ptr<IHidBus> MakeHidrawBus();
std::shared_ptr<IHidBus> MakeHidrawBus(HidrawRoots roots);

}  // namespace hid
