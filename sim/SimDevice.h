#pragma once
// A simulated USB product: the HID collections it exposes and the firmware
// that answers the reports the host writes. The simulated bus (SimBus) hosts
// SimDevice objects and gives the host CHidDevice-compatible nodes for them.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <condition_variable>
#include <string>
#include <vector>

namespace sim {

// One top-level collection of the product as the host sees it.
struct SimCollection {
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;  // 0: the path has no "&col" part
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

class SimDevice {
public:
    SimDevice(std::string name, uint16_t vendorId, uint16_t productId, uint16_t version);
    virtual ~SimDevice();
    SimDevice(const SimDevice&) = delete;
    SimDevice& operator=(const SimDevice&) = delete;

    const std::string& Name() const { return name_; }
    uint16_t VendorId() const { return vendorId_; }
    uint16_t ProductId() const { return productId_; }
    uint16_t Version() const { return version_; }

    virtual std::vector<SimCollection> Collections() const = 0;
    // The report descriptor of one USB interface (all its collections).
    virtual std::vector<uint8_t> ReportDescriptor(uint16_t interfaceNumber) const = 0;

    // The host wrote an output report on a collection (byte 0: report ID).
    // Firmware answers by Emit(); writing nothing models a device that does
    // not answer. Called on the host's thread.
    virtual void OnHostWrite(const SimCollection& to, const uint8_t* data, size_t len) = 0;
    // Synchronous output report (HidD_SetOutputReport style); false = refused.
    virtual bool OnSetOutputReport(const SimCollection& to, const uint8_t* data, size_t len);

    // Queues an input report for the host on one collection.
    void Emit(uint16_t collectionNumber, std::vector<uint8_t> report);

    // Bus side: takes the next queued report of a collection, waiting up to
    // timeoutMs (negative: no limit) or until `aborted` returns true.
    // Returns false on time-out or abort.
    bool TakeInput(uint16_t collectionNumber, std::vector<uint8_t>& out, int timeoutMs,
                   const std::function<bool()>& aborted);
    // Wakes every waiter of TakeInput so that it re-checks its abort test.
    void WakeReaders();
    void ClearInput();

private:
    struct Pending {
        uint16_t collection;
        std::vector<uint8_t> report;
    };
    std::string name_;
    uint16_t vendorId_, productId_, version_;
    std::mutex inputMutex_;
    std::condition_variable inputCv_;
    std::deque<Pending> input_;
};

}  // namespace sim
