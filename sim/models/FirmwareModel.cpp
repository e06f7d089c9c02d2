#include "sim/models/FirmwareModel.h"

#include <algorithm>

#include "sim/models/Descriptors.h"

namespace sim::models {
namespace {

constexpr size_t kFrame = kCommandReportBytes;
constexpr size_t kData = 8;
constexpr size_t kMaxData = kFrame - kData;
constexpr uint8_t kStatusOk = 0x00;
constexpr uint8_t kStatusBad = 0xFF;          // malformed or out of range
constexpr uint8_t kStatusUnsupported = 0xFE;  // not a command of this product
constexpr uint8_t kUnreachable = 0xAA;
constexpr size_t kColourBankBytes = 512;
constexpr size_t kLightFrameBytes = 512;

uint16_t Offset(const uint8_t* r) {
    return static_cast<uint16_t>(r[5] | (r[6] << 8));
}

}  // namespace

uint16_t FirmwareChecksum(const uint8_t* report) {
    uint32_t sum = 0;
    for (size_t i = 3; i < kFrame; ++i)
        sum += report[i];
    return static_cast<uint16_t>(sum);
}

// A command that reads or writes one memory region at the report's offset.
struct FirmwareModel::DataCommand {
    uint8_t code;
    Region region;
    bool write;
};

const FirmwareModel::DataCommand* FirmwareModel::FindDataCommand(uint8_t code) {
    static constexpr DataCommand kCommands[] = {
        {0x03, Region::Info, false},    {0x05, Region::Settings, false},
        {0x06, Region::Settings, true}, {0x07, Region::KeyTable, false},
        {0x09, Region::KeyTable, true}, {0x0A, Region::Colours, false},
        {0x0B, Region::Colours, true},  {0x12, Region::LightFrame, true},
        {0x15, Region::Macros, true},   {0x17, Region::Shoot, true},
        {0x1A, Region::Status, false},  {0x1B, Region::KeyLightMap, false},
    };
    for (const auto& c : kCommands)
        if (c.code == code) return &c;
    return nullptr;
}

FirmwareModel::FirmwareModel(std::string name, uint16_t vendorId, uint16_t productId,
                             uint16_t version, FirmwareFacts facts, bool receiver)
    : SimDevice(std::move(name), vendorId, productId, version),
      facts_(std::move(facts)),
      receiver_(receiver),
      info_(facts_.info.begin(), facts_.info.end()),
      settings_(facts_.settings),
      keyTable_(512, 0),
      keyLightMap_(170, 0),
      colours_(facts_.colourBanks * kColourBankBytes, 0),
      macros_(size_t{facts_.info[6]} * 128, 0),
      shoot_(facts_.shootBytes, 0),
      status_(facts_.status.begin(), facts_.status.end()),
      lightFrame_(facts_.lightStream ? kLightFrameBytes : 0, 0) {
    std::copy_n(facts_.keyTable.begin(), std::min(facts_.keyTable.size(), keyTable_.size()),
                keyTable_.begin());
    std::copy_n(facts_.keyLightMap.begin(),
                std::min(facts_.keyLightMap.size(), keyLightMap_.size()), keyLightMap_.begin());
}

std::vector<SimCollection> FirmwareModel::Collections() const {
    switch (facts_.kind) {
        case ModelKind::Headset:
            return {{3, 0, 0x000C, 0x0001}};
        case ModelKind::MousePad:
            return {{1, 1, 0x0001, 0x0006},
                    {1, 2, 0x0001, 0x0080},
                    {1, kEventCollection, 0x000C, 0x0001},
                    {1, kCommandCollection, 0xFF1C, 0x0092}};
        case ModelKind::Mouse:
        case ModelKind::Keyboard:
            break;
    }
    // Mouse and keyboard also have their boot interface 0.
    const uint16_t bootUsage = facts_.kind == ModelKind::Mouse ? 0x0002 : 0x0006;
    return {{0, 0, 0x0001, bootUsage},
            {1, 1, 0x0001, 0x0006},
            {1, 2, 0x0001, 0x0080},
            {1, kEventCollection, 0x000C, 0x0001},
            {1, kCommandCollection, 0xFF1C, 0x0092}};
}

std::vector<uint8_t> FirmwareModel::ReportDescriptor(uint16_t interfaceNumber) const {
    if (facts_.kind == ModelKind::Headset)
        return interfaceNumber == 3 ? HeadsetCommandDescriptor() : std::vector<uint8_t>{};
    if (interfaceNumber == 1) return sim::CommandInterfaceDescriptor();
    if (interfaceNumber == 0 && facts_.kind == ModelKind::Mouse) return sim::BootMouseDescriptor();
    if (interfaceNumber == 0 && facts_.kind == ModelKind::Keyboard)
        return sim::BootKeyboardDescriptor();
    return {};
}

uint16_t FirmwareModel::CommandCollectionNumber() const {
    return facts_.kind == ModelKind::Headset ? 0 : kCommandCollection;
}

uint16_t FirmwareModel::EventCollectionNumber() const {
    return facts_.kind == ModelKind::Headset ? 0 : kEventCollection;
}

void FirmwareModel::OnHostWrite(const SimCollection& to, const uint8_t* data, size_t len) {
    if (to.collectionNumber != CommandCollectionNumber()) return;
    if (len < kFrame || data[0] != kCommandReportId) return;  // not a command report
    std::lock_guard lock(mutex_);
    HandleCommand(data);
}

void FirmwareModel::HandleCommand(const uint8_t* report) {
    hostReports_.emplace_back(report, report + kFrame);
    const uint8_t code = report[3];
    const uint16_t sum = FirmwareChecksum(report);
    if (report[1] != (sum & 0xFF) || report[2] != (sum >> 8)) {
        Answer(code, report, kStatusBad, {});
        return;
    }
    if (receiver_ && !linkUp_) {
        Answer(kUnreachable, report, kStatusOk, {});
        return;
    }
    if (ApplyFault(code, report)) return;

    std::vector<uint8_t> data;
    uint8_t status = kStatusUnsupported;
    if (const DataCommand* cmd = FindDataCommand(code))
        status = HandleData(*cmd, report, data);
    else
        status = HandleControl(code, data);
    Answer(code, report, status, data);
}

bool FirmwareModel::ApplyFault(uint8_t code, const uint8_t*) {
    Fault& f = fault_;
    if (f.kind == FaultKind::None || f.commands == 0) return false;
    if (f.onlyCode != 0 && f.onlyCode != code) return false;
    if (f.skip > 0) {
        --f.skip;
        return false;
    }
    const Fault now = f;
    if (f.commands > 0 && --f.commands == 0) f.kind = FaultKind::None;
    switch (now.kind) {
        case FaultKind::NoAnswer:
            return true;
        case FaultKind::WrongCode: {
            uint8_t wrong[kFrame] = {kCommandReportId};
            wrong[3] = static_cast<uint8_t>(code ^ 0x80);
            for (int i = 0; i < now.answers; ++i)
                Answer(wrong[3], wrong, kStatusOk, {});
            return true;
        }
        case FaultKind::Status: {
            uint8_t copy[kFrame] = {kCommandReportId};
            copy[3] = code;
            Answer(code, copy, now.status, {});
            return true;
        }
        case FaultKind::None:
            break;
    }
    return false;
}

std::vector<uint8_t>* FirmwareModel::RegionBytes(Region region) {
    switch (region) {
        case Region::Info:
            return &info_;
        case Region::Settings:
            return &settings_;
        case Region::KeyTable:
            return facts_.keyTable.empty() ? nullptr : &keyTable_;
        case Region::KeyLightMap:
            return facts_.keyLightMap.empty() ? nullptr : &keyLightMap_;
        case Region::Colours:
            return &colours_;
        case Region::Macros:
            return &macros_;
        case Region::Shoot:
            return &shoot_;
        case Region::Status:
            return &status_;
        case Region::LightFrame:
            return &lightFrame_;
        case Region::None:
            break;
    }
    return nullptr;
}

uint8_t FirmwareModel::HandleData(const DataCommand& cmd, const uint8_t* report,
                                  std::vector<uint8_t>& data) {
    std::vector<uint8_t>* mem = RegionBytes(cmd.region);
    if (!mem || mem->empty()) return kStatusUnsupported;
    const size_t len = report[4];
    const size_t offset = Offset(report);
    if (len > kMaxData || offset + len > mem->size()) return kStatusBad;
    if (!cmd.write) {
        data.assign(mem->begin() + offset, mem->begin() + offset + len);
        return kStatusOk;
    }
    // The macro image header says how large the image is: refused whole
    // when it exceeds the memory.
    if (cmd.region == Region::Macros && offset == 0 && len >= 4) {
        const size_t total = report[kData + 2] | (report[kData + 3] << 8);
        if (total > mem->size()) return kStatusBad;
    }
    std::copy_n(report + kData, len, mem->begin() + offset);
    if (cmd.region == Region::LightFrame && offset == 0) ++lightFrames_;
    return kStatusOk;
}

uint8_t FirmwareModel::HandleControl(uint8_t code, std::vector<uint8_t>& data) {
    switch (code) {
        case 0x01:
            inWriteGroup_ = true;
            return kStatusOk;
        case 0x02:
            if (inWriteGroup_) ++writeGroups_;
            inWriteGroup_ = false;
            return kStatusOk;
        case 0x1C:
            if (facts_.kind != ModelKind::Keyboard) return kStatusUnsupported;
            hostLight_ = true;
            return kStatusOk;
        case kUnreachable:  // link check: byte 8 = 0xFF while the device is reached
            data = {0xFF};
            return kStatusOk;
        default:
            return kStatusUnsupported;
    }
}

void FirmwareModel::Answer(uint8_t code, const uint8_t* report, uint8_t status,
                           const std::vector<uint8_t>& data) {
    std::vector<uint8_t> a(kFrame, 0);
    a[0] = kCommandReportId;
    a[3] = code;
    a[4] = report[4];
    a[5] = report[5];
    a[6] = report[6];
    a[7] = status;
    std::copy_n(data.begin(), std::min(data.size(), kMaxData), a.begin() + kData);
    const uint16_t sum = FirmwareChecksum(a.data());
    a[1] = static_cast<uint8_t>(sum);
    a[2] = static_cast<uint8_t>(sum >> 8);
    Emit(CommandCollectionNumber(), std::move(a));
}

void FirmwareModel::SetLinkUp(bool up) {
    std::lock_guard lock(mutex_);
    linkUp_ = up;
}

bool FirmwareModel::LinkUp() const {
    std::lock_guard lock(mutex_);
    return linkUp_;
}

void FirmwareModel::SetFault(const Fault& fault) {
    std::lock_guard lock(mutex_);
    fault_ = fault;
}

void FirmwareModel::SetStatusBlock(const std::array<uint8_t, 6>& status) {
    std::lock_guard lock(mutex_);
    status_.assign(status.begin(), status.end());
}

void FirmwareModel::RaiseEvent(uint16_t value) {
    Emit(EventCollectionNumber(),
         {kEventReportId, static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)});
}

void FirmwareModel::RaiseProfileSwitch(uint8_t profile) {
    {
        std::lock_guard lock(mutex_);
        if (!settings_.empty()) settings_[0] = profile & 0x0F;
    }
    RaiseEvent(static_cast<uint16_t>(0x1000 | (profile & 0x0F)));
}

void FirmwareModel::RaiseDpiSwitch(uint8_t profile, uint8_t stage) {
    {
        std::lock_guard lock(mutex_);
        if (!settings_.empty()) settings_[0] = profile & 0x0F;
        const size_t at =
            size_t{facts_.pageStride} * (profile & 0x0F) + size_t(facts_.dpiStageByte);
        if (facts_.dpiStageByte >= 0 && at < settings_.size()) settings_[at] = stage & 0x0F;
    }
    RaiseEvent(static_cast<uint16_t>(0x1100 | ((stage & 0x0F) << 4) | (profile & 0x0F)));
}

std::array<uint8_t, 34> FirmwareModel::Info() const {
    std::lock_guard lock(mutex_);
    std::array<uint8_t, 34> out{};
    std::copy_n(info_.begin(), out.size(), out.begin());
    return out;
}

std::vector<uint8_t> FirmwareModel::Settings() const {
    std::lock_guard lock(mutex_);
    return settings_;
}

void FirmwareModel::SetSettingsByte(size_t offset, uint8_t value) {
    std::lock_guard lock(mutex_);
    if (offset < settings_.size()) settings_[offset] = value;
}

std::vector<uint8_t> FirmwareModel::KeyTable() const {
    std::lock_guard lock(mutex_);
    return std::vector<uint8_t>(
        keyTable_.begin(), keyTable_.begin() + std::min(keyTable_.size(), 3u * size_t{info_[5]}));
}

std::vector<uint8_t> FirmwareModel::KeyLightMap() const {
    std::lock_guard lock(mutex_);
    return std::vector<uint8_t>(
        keyLightMap_.begin(),
        keyLightMap_.begin() + std::min(keyLightMap_.size(), size_t{info_[5]}));
}

std::vector<uint8_t> FirmwareModel::MacroMemory() const {
    std::lock_guard lock(mutex_);
    return macros_;
}

size_t FirmwareModel::MacroCapacity() const {
    std::lock_guard lock(mutex_);
    return macros_.size();
}

std::vector<uint8_t> FirmwareModel::ShootMemory() const {
    std::lock_guard lock(mutex_);
    return shoot_;
}

std::vector<uint8_t> FirmwareModel::ColourBank(size_t bank) const {
    std::lock_guard lock(mutex_);
    if ((bank + 1) * kColourBankBytes > colours_.size()) return {};
    return std::vector<uint8_t>(colours_.begin() + bank * kColourBankBytes,
                                colours_.begin() + (bank + 1) * kColourBankBytes);
}

std::vector<uint8_t> FirmwareModel::LastLightFrame() const {
    std::lock_guard lock(mutex_);
    return lightFrame_;
}

uint64_t FirmwareModel::LightFrameCount() const {
    std::lock_guard lock(mutex_);
    return lightFrames_;
}

bool FirmwareModel::HostLightControlOn() const {
    std::lock_guard lock(mutex_);
    return hostLight_;
}

bool FirmwareModel::InWriteGroup() const {
    std::lock_guard lock(mutex_);
    return inWriteGroup_;
}

uint64_t FirmwareModel::CompletedWriteGroups() const {
    std::lock_guard lock(mutex_);
    return writeGroups_;
}

std::vector<std::vector<uint8_t>> FirmwareModel::HostReports() const {
    std::lock_guard lock(mutex_);
    return hostReports_;
}

size_t FirmwareModel::HostReportCount() const {
    std::lock_guard lock(mutex_);
    return hostReports_.size();
}

void FirmwareModel::ClearHostReports() {
    std::lock_guard lock(mutex_);
    hostReports_.clear();
}

// --- headset -------------------------------------------------------------

HeadsetModel::HeadsetModel(std::string name, uint16_t vendorId, uint16_t productId,
                           uint16_t version)
    : FirmwareModel(std::move(name), vendorId, productId, version, HeadsetFacts(), false) {}

bool HeadsetModel::OnSetOutputReport(const SimCollection&, const uint8_t* data, size_t len) {
    if (len != kLedReportBytes || data[0] != kLedReportId) return false;
    const uint8_t target = data[1], reg = data[2];
    if ((target != 0x22 && target != 0x44) || reg < 0xAA || reg > 0xAF) return false;
    // Registers 0xAA..0xAC hold LEDs 0..6, 0xAD..0xAF LEDs 7..12.
    const size_t leds = reg <= 0xAC ? 7 : 6;
    std::array<uint8_t, 7> values{};
    std::copy_n(data + 4, leds, values.begin());
    std::lock_guard lock(mutex_);
    leds_[{target, reg}] = values;
    ++ledReports_;
    return true;
}

std::array<uint8_t, 7> HeadsetModel::LedRegister(uint8_t target, uint8_t reg) const {
    std::lock_guard lock(mutex_);
    auto it = leds_.find({target, reg});
    return it == leds_.end() ? std::array<uint8_t, 7>{} : it->second;
}

size_t HeadsetModel::LedReportCount() const {
    std::lock_guard lock(mutex_);
    return ledReports_;
}

}  // namespace sim::models
