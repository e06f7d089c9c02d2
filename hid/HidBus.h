#pragma once
// The seam between CHidDevice and where HID interfaces come from: the Linux
// hidraw nodes or the in-process simulator. A bus lists interface paths and
// opens nodes; a node moves raw reports and knows its identity.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hid {

// What a bus knows about an interface before it is opened.
struct HidNodeIdentity {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;
    // The interface's HID report descriptor; CHidDevice parses it for the
    // collection named in the path.
    std::vector<uint8_t> reportDescriptor;
};

enum class IoResult { Ok, Timeout, Aborted, Error };

// One opened interface. Read and Write block for at most timeoutMs (negative:
// no limit) and end at once with Aborted after Abort() from another thread.
class IHidNode {
public:
    virtual ~IHidNode() = default;
    virtual const HidNodeIdentity& Identity() const = 0;
    // Reads one input report (first byte: report ID, also when the interface
    // uses no IDs, where it is 0) into buf.
    virtual IoResult Read(uint8_t* buf, size_t len, size_t& got, int timeoutMs) = 0;
    // Writes one output report (first byte: report ID).
    virtual IoResult Write(const uint8_t* buf, size_t len, size_t& put, int timeoutMs) = 0;
    // Synchronous output report outside the interrupt pipe (the headset's LEDs).
    virtual bool SetOutputReport(const uint8_t* buf, size_t len) = 0;
    // Wakes every waiting Read and Write; later calls fail with Aborted
    // until ClearAbort().
    virtual void Abort() = 0;
    virtual void ClearAbort() = 0;
};

class IHidBus {
public:
    virtual ~IHidBus() = default;
    // Paths of every present HID interface collection, in enumeration order.
    // Interfaces whose details cannot be read are skipped.
    virtual bool Enumerate(std::vector<std::string>& paths) = 0;
    // nullptr when the path cannot be opened; errnoOut receives the reason
    // (EACCES for a node the user may not open).
    virtual std::unique_ptr<IHidNode> Open(const std::string& path, bool wantRead, bool wantWrite,
                                           int* errnoOut) = 0;
    // The presence test: the interface still exists.
    virtual bool Present(const std::string& path) = 0;
};

// The bus CHidDevice uses: hidraw, plus the simulated products when
// BROMMELIVANTOS_SIMULATE (or SetSimulation) names some. Tests may replace it.
IHidBus& ActiveBus();
void SetActiveBus(std::shared_ptr<IHidBus> bus);  // nullptr restores the default
// The active bus as a shared pointer: an opened node keeps its bus alive even
// when the active bus is replaced meanwhile.
std::shared_ptr<IHidBus> ActiveBusShared();

// How the default bus is made when none was set. The hidraw bus unless the
// simulator (sim/) registers its own, which reads BROMMELIVANTOS_SIMULATE.
using DefaultBusFactory = std::shared_ptr<IHidBus> (*)();
void SetDefaultBusFactory(DefaultBusFactory factory);

}  // namespace hid
