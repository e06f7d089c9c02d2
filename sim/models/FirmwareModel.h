#pragma once
// Firmware models of the simulated products. One class answers the command
// protocol for every kind; a kind differs only by its firmware facts
// (FirmwareFacts: DeviceInfo, factory key table, memories, status block).
// The models are written from the protocol description, independently of the
// host code, and keep their state where tests can look at it.
//
// Frame of a command and of its answer (64 bytes, report ID 4):
//   1-2 checksum (sum of bytes 3..63, low byte first)   3 command code
//   4 data length   5-6 offset   7 status (answer: 0 ok, 0xFF / 0xFE refused)
//   8..63 data
#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "sim/SimDevice.h"

namespace sim::models {

enum class ModelKind { Mouse, Keyboard, MousePad, Headset };

// What a firmware of one kind knows about itself.
struct FirmwareFacts {
    ModelKind kind = ModelKind::Mouse;
    std::array<uint8_t, 34> info{};
    std::vector<uint8_t> keyTable;     // factory assignments, 3 bytes per device key
    std::vector<uint8_t> keyLightMap;  // LED index per device key
    std::vector<uint8_t> settings;     // factory settings memory, byte 0 = current profile
    std::array<uint8_t, 6> status{};
    size_t colourBanks = 0;  // key colour banks of 512 bytes (keyboard)
    size_t shootBytes = 0;   // fire-key memory (mouse)
    bool lightStream = false;
    uint16_t pageStride = 0;  // settings page of profile p at p × stride
    int dpiStageByte = -1;    // page byte that a DPI switch sets, -1: none
};

// The factory facts of each kind.
FirmwareFacts MouseFacts();
FirmwareFacts KeyboardFacts();
FirmwareFacts MousePadFacts();
FirmwareFacts HeadsetFacts();

enum class FaultKind {
    None,
    NoAnswer,   // the command is swallowed: the host times out
    WrongCode,  // answers carry a wrong echoed code (twice by default)
    Status,     // the command is refused with `status` (0xFF or 0xFE)
};

struct Fault {
    FaultKind kind = FaultKind::None;
    int commands = 1;       // commands affected; negative: until cleared
    uint8_t onlyCode = 0;   // 0: every command, else only this code
    uint8_t status = 0xFF;  // for Status
    int answers = 2;        // for WrongCode: answers per command
    int skip = 0;           // matching commands that pass before the fault starts
};

class FirmwareModel : public SimDevice {
  public:
    FirmwareModel(std::string name, uint16_t vendorId, uint16_t productId, uint16_t version,
                  FirmwareFacts facts, bool receiver);

    std::vector<SimCollection> Collections() const override;
    std::vector<uint8_t> ReportDescriptor(uint16_t interfaceNumber) const override;
    void OnHostWrite(const SimCollection& to, const uint8_t* data, size_t len) override;

    ModelKind Kind() const { return facts_.kind; }
    bool IsReceiver() const { return receiver_; }
    uint16_t CommandCollectionNumber() const;
    uint16_t EventCollectionNumber() const;

    // --- control ---------------------------------------------------------
    // Receiver products: whether the receiver reaches the device (switched
    // on and in range). Down: every command is answered with code 0xAA.
    void SetLinkUp(bool up);
    bool LinkUp() const;
    void SetFault(const Fault& fault);
    void ClearFault() { SetFault(Fault{}); }
    void SetStatusBlock(const std::array<uint8_t, 6>& status);

    // --- key events on the consumer collection ------------------------------
    void RaiseEvent(uint16_t value);
    // The device switched profiles itself (value 0x1000 | profile).
    void RaiseProfileSwitch(uint8_t profile);
    // DPI switch (value 0x1100 | stage << 4 | profile).
    void RaiseDpiSwitch(uint8_t profile, uint8_t stage);
    void RaiseKeyPress(uint8_t deviceKey) { RaiseEvent(uint16_t(0x500 + deviceKey)); }
    void RaiseKeyRelease(uint8_t deviceKey) { RaiseEvent(uint16_t(0x600 + deviceKey)); }

    // --- state, for tests and tools ------------------------------------------
    std::array<uint8_t, 34> Info() const;
    std::vector<uint8_t> Settings() const;
    void SetSettingsByte(size_t offset, uint8_t value);
    std::vector<uint8_t> KeyTable() const;
    std::vector<uint8_t> KeyLightMap() const;
    std::vector<uint8_t> MacroMemory() const;
    size_t MacroCapacity() const;
    std::vector<uint8_t> ShootMemory() const;
    std::vector<uint8_t> ColourBank(size_t bank) const;
    std::vector<uint8_t> LastLightFrame() const;
    uint64_t LightFrameCount() const;
    bool HostLightControlOn() const;
    bool InWriteGroup() const;  // between BeginWrite and EndWrite
    uint64_t CompletedWriteGroups() const;
    // Every report the host wrote on the command collection, in order.
    std::vector<std::vector<uint8_t>> HostReports() const;
    size_t HostReportCount() const;
    void ClearHostReports();

  protected:
    // Answers the host's report; called with the state lock held.
    void HandleCommand(const uint8_t* report);
    mutable std::mutex mutex_;

  private:
    enum class Region {
        None,
        Info,
        Settings,
        KeyTable,
        KeyLightMap,
        Colours,
        Macros,
        Shoot,
        Status,
        LightFrame
    };
    struct DataCommand;
    static const DataCommand* FindDataCommand(uint8_t code);
    std::vector<uint8_t>* RegionBytes(Region region);
    bool ApplyFault(uint8_t code, const uint8_t* report);
    uint8_t HandleData(const DataCommand& cmd, const uint8_t* report, std::vector<uint8_t>& data);
    uint8_t HandleControl(uint8_t code, std::vector<uint8_t>& data);
    void Answer(uint8_t code, const uint8_t* report, uint8_t status,
                const std::vector<uint8_t>& data);

    FirmwareFacts facts_;
    bool receiver_;
    bool linkUp_ = true;
    Fault fault_;
    std::vector<uint8_t> info_;
    std::vector<uint8_t> settings_;
    std::vector<uint8_t> keyTable_;
    std::vector<uint8_t> keyLightMap_;
    std::vector<uint8_t> colours_;
    std::vector<uint8_t> macros_;
    std::vector<uint8_t> shoot_;
    std::vector<uint8_t> status_;
    std::vector<uint8_t> lightFrame_;
    uint64_t lightFrames_ = 0;
    bool hostLight_ = false;
    bool inWriteGroup_ = false;
    uint64_t writeGroups_ = 0;
    std::vector<std::vector<uint8_t>> hostReports_;
};

// The headset adds its LED registers, written with 17-byte output reports:
// 0xFF, target 0x22 or 0x44, register 0xAA..0xAF, 0, then the components.
class HeadsetModel : public FirmwareModel {
  public:
    HeadsetModel(std::string name, uint16_t vendorId, uint16_t productId, uint16_t version);
    bool OnSetOutputReport(const SimCollection& to, const uint8_t* data, size_t len) override;
    // The seven component bytes last written to a register of a target
    // (zeros when never written).
    std::array<uint8_t, 7> LedRegister(uint8_t target, uint8_t reg) const;
    size_t LedReportCount() const;

  private:
    std::map<std::pair<uint8_t, uint8_t>, std::array<uint8_t, 7>> leds_;
    size_t ledReports_ = 0;
};

// Checksum of a 64-byte report as the firmware computes it.
uint16_t FirmwareChecksum(const uint8_t* report);

}  // namespace sim::models
