#include "devices/DeviceChannel.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/Debug.h"

namespace devices {

// Counts running exchanges; released on every exit path.
struct DeviceChannel::BusyGuard {
    explicit BusyGuard(std::atomic<int>& count) : count_(count) { count_.fetch_add(1); }
    ~BusyGuard() { count_.fetch_sub(1); }
    std::atomic<int>& count_;
};

namespace {

constexpr uint32_t kOffsetLimit = 0x10000;  // offsets travel in 16 bits

void TraceHex(const char* title, std::span<const uint8_t> report) {
    if (!platform::DebugEnabled()) return;
    std::string a, b;
    FormatTraceLines(report, a, b);
    platform::DebugOut(title);
    platform::DebugOut(a);
    platform::DebugOut(b);
}

int JudgeAnswer(int exchangeResult, uint8_t code, const CommandReport& answer) {
    if (exchangeResult != kResultOk) return exchangeResult;
    // An answer to some other command (a late answer of an earlier one) is
    // not this command's answer: its data must not be taken.
    if (answer.Code() != code) return kResultNoAnswer;
    if (answer.Status() == kStatusRejectedFF) return kResultRejectedFF;
    if (answer.Status() == kStatusRejectedFE) return kResultRejectedFE;
    return kResultOk;
}

}  // namespace

void FormatTraceLines(std::span<const uint8_t> report, std::string& line1, std::string& line2) {
    auto line = [&](size_t from) {
        std::string s;
        for (size_t i = from; i < from + 32; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02x", i < report.size() ? report[i] : 0);
            s += hex;
            if (i + 1 < from + 32) s += (i % 4 == 3) ? "  " : " ";
        }
        return s;
    };
    line1 = line(0);
    line2 = line(32);
}

DeviceChannel::DeviceChannel() = default;

DeviceChannel::~DeviceChannel() {
    cable_.Close();
    receiver_.Close();
}

void DeviceChannel::SetReportTrace(ReportTraceHook hook) {
    std::lock_guard lock(traceMutex_);
    traceHook_ = std::move(hook);
}

void DeviceChannel::Trace(bool written, std::span<const uint8_t> report) {
    std::lock_guard lock(traceMutex_);
    if (traceHook_) traceHook_(written, report);
}

int DeviceChannel::Exchange(std::span<const uint8_t> command, std::span<uint8_t> answer,
                            size_t* bytesRead) {
    return DoExchange(command, answer, bytesRead, Mode::Traced);
}

int DeviceChannel::ExchangeQuiet(std::span<const uint8_t> command, std::span<uint8_t> answer,
                                 size_t* bytesRead) {
    return DoExchange(command, answer, bytesRead, Mode::Quiet);
}

int DeviceChannel::DoExchange(std::span<const uint8_t> command, std::span<uint8_t> answer,
                              size_t* bytesRead, Mode mode) {
    BusyGuard busy(busy_);
    if (bytesRead) *bytesRead = 0;
    if (!IsOpen()) return kResultNoAnswer;

    std::array<uint8_t, kReportSize> out{};
    std::copy_n(command.begin(), std::min(command.size(), kReportSize), out.begin());
    const uint8_t code = out[3];
    if (mode == Mode::Traced) TraceHex("命令", out);

    std::array<uint8_t, kReportSize> in{};
    int result = kResultNoAnswer;
    size_t got = 0;
    {
        // One lock from the write through the reads: no other exchange can
        // take this command's answer.
        std::lock_guard io(ioLock_);
        const bool rx = OnReceiver();
        hid::CHidDevice& device = rx ? receiver_ : cable_;
        const int writeTimeout = rx ? kReceiverTimeoutMs : kCableTimeoutMs;
        const int readTimeout =
            rx ? (mode == Mode::Quiet ? kReceiverQuietTimeoutMs : kReceiverTimeoutMs)
               : kCableTimeoutMs;

        size_t put = 0;
        if (!device.WriteReport(out.data(), out.size(), &put, writeTimeout) || put == 0)
            return kResultWriteFailed;
        Trace(true, out);

        for (int attempt = 0; attempt < 2; ++attempt) {
            in.fill(0);
            got = 0;
            const bool ok = device.ReadReport(in.data(), in.size(), &got, readTimeout) && got > 0;
            result = ok ? kResultOk : kResultNoAnswer;
            if (!ok) {
                got = 0;
                continue;
            }
            Trace(false, in);
            if (in[3] == code) break;
            if (rx && in[3] == kNotReachableCode) {
                result = kResultNotReachable;
                break;
            }
        }
    }
    std::copy_n(in.begin(), std::min(answer.size(), in.size()), answer.begin());
    if (bytesRead) *bytesRead = std::min(got, answer.size());
    if (mode == Mode::Traced) TraceHex("返回", in);
    return result;
}

void DeviceChannel::SetLinkType(int type) {
    const bool rx = type == static_cast<int>(LinkType::Receiver);
    onReceiver_.store(rx);
    chunkSize_.store(rx ? kReceiverChunk : kCableChunk);
}

int DeviceChannel::SetConfigLength(uint16_t length) {
    if (length > kMaxConfigLength) return kResultNoAnswer;
    configLength_.store(length);
    return kResultOk;
}

bool DeviceChannel::IsLinkUp() {
    if (!OnReceiver()) return true;
    return LinkCheck() == kResultOk;
}

int DeviceChannel::Command(CommandReport& report, CommandReport* answerOut, Mode mode) {
    CommandReport answer;
    size_t got = 0;
    const int r = DoExchange(report.bytes, answer.bytes, &got, mode);
    if (answerOut) *answerOut = answer;
    return JudgeAnswer(r, report.Code(), answer);
}

int DeviceChannel::Transfer(uint8_t code, Direction dir, uint32_t baseOffset,
                            std::span<uint8_t> readInto, std::span<const uint8_t> writeFrom,
                            size_t chunk, Mode mode) {
    const size_t total = dir == Direction::Read ? readInto.size() : writeFrom.size();
    if (chunk == 0 || chunk > kMaxDataBytes) return kResultNoAnswer;
    if (baseOffset + total > kOffsetLimit) return kResultNoAnswer;  // offsets would wrap
    for (size_t pos = 0; pos < total; pos += chunk) {
        const size_t len = std::min(chunk, total - pos);
        const auto offset = static_cast<uint16_t>(baseOffset + pos);
        CommandReport report = CommandReport::Make(
            code, static_cast<uint8_t>(len), offset,
            dir == Direction::Write ? writeFrom.subspan(pos, len) : std::span<const uint8_t>{});
        CommandReport answer;
        const int r = Command(report, &answer, mode);
        if (r != kResultOk) return r;
        if (dir == Direction::Read)
            std::copy_n(answer.bytes.begin() + kDataOffset, len, readInto.begin() + pos);
    }
    return kResultOk;
}

int DeviceChannel::BeginWrite() {
    std::lock_guard lock(commandLock_);
    CommandReport r = CommandReport::Make(kCmdBeginWrite);
    return Command(r, nullptr);
}

int DeviceChannel::EndWrite() {
    std::this_thread::sleep_for(std::chrono::milliseconds(kEndWritePauseMs));
    std::lock_guard lock(commandLock_);
    CommandReport r = CommandReport::Make(kCmdEndWrite);
    return Command(r, nullptr);
}

int DeviceChannel::ReadInfo(DeviceInfo& info) {
    std::lock_guard lock(commandLock_);
    return Transfer(kCmdReadInfo, Direction::Read, 0, info.bytes, {}, ChunkSize());
}

int DeviceChannel::ReadMemory(uint16_t offset, std::span<uint8_t> destination) {
    std::lock_guard lock(commandLock_);
    return Transfer(kCmdReadMemory, Direction::Read, offset, destination, {}, ChunkSize());
}

int DeviceChannel::WriteMemory(uint16_t offset, std::span<const uint8_t> data) {
    std::lock_guard lock(commandLock_);
    return Transfer(kCmdWriteMemory, Direction::Write, offset, {}, data, ChunkSize());
}

int DeviceChannel::ReadKeyTable(std::span<uint8_t> destination) {
    const size_t n = std::min<size_t>(ConfigLength(), destination.size());
    std::lock_guard lock(commandLock_);
    return Transfer(kCmdReadKeyTable, Direction::Read, 0, destination.first(n), {}, ChunkSize());
}

int DeviceChannel::WriteKeyTable(std::span<const uint8_t> table, int bank) {
    if (bank != 0) return kResultBadBank;
    const size_t n = std::min<size_t>(ConfigLength(), table.size());
    std::lock_guard lock(commandLock_);
    return Transfer(kCmdWriteKeyTable, Direction::Write, 0, {}, table.first(n), ChunkSize());
}

int DeviceChannel::ReadKeyColours(int bank, std::span<uint8_t> destination, unsigned bankStride) {
    if (bank < 0) return kResultNoAnswer;
    const size_t n = std::min(destination.size(), kMaxConfigLength);
    std::lock_guard lock(commandLock_);
    return Transfer(kCmdReadKeyColours, Direction::Read, uint32_t(bank) * bankStride,
                    destination.first(n), {}, ChunkSize());
}

int DeviceChannel::WriteKeyColours(std::span<const uint8_t> colours, int bank,
                                   unsigned bankStride) {
    if (bank < 0) return kResultNoAnswer;
    const size_t n = std::min(colours.size(), kMaxConfigLength);
    std::lock_guard lock(lightLock_);
    return Transfer(kCmdWriteKeyColours, Direction::Write, uint32_t(bank) * bankStride, {},
                    colours.first(n), ChunkSize());
}

int DeviceChannel::StreamLight(std::span<const uint8_t> frame) {
    std::lock_guard lock(lightLock_);
    const size_t total = std::min(frame.size(), kMaxConfigLength);
    const size_t chunk = ChunkSize();
    for (size_t pos = 0; pos < total; pos += chunk) {
        const size_t len = std::min(chunk, total - pos);
        if (IsBusy()) {
            // A configuration command is on the wire: this chunk is dropped.
            platform::DebugOut("放弃灯光数据");
            droppedLight_.fetch_add(1);
            continue;
        }
        CommandReport report =
            CommandReport::Make(kCmdStreamLight, static_cast<uint8_t>(len),
                                static_cast<uint16_t>(pos), frame.subspan(pos, len));
        const int r = Command(report, nullptr, Mode::Quiet);
        if (r != kResultOk) return r;
    }
    return kResultOk;
}

int DeviceChannel::WriteMacros(std::span<const uint8_t> image) {
    std::lock_guard lock(commandLock_);
    return Transfer(kCmdWriteMacros, Direction::Write, 0, {}, image, ChunkSize());
}

int DeviceChannel::WriteShootData(std::span<const uint8_t> image) {
    return Transfer(kCmdWriteShootData, Direction::Write, 0, {}, image, kCableChunk);
}

int DeviceChannel::ReadStatus(uint16_t offset, std::span<uint8_t> destination) {
    const size_t n = std::min(destination.size(), kMaxDataBytes);
    std::lock_guard lock(commandLock_);
    CommandReport report = CommandReport::Make(kCmdReadStatus, static_cast<uint8_t>(n), offset);
    CommandReport answer;
    const int r = Command(report, &answer);
    if (r == kResultOk) std::copy_n(answer.bytes.begin() + kDataOffset, n, destination.begin());
    return r;
}

int DeviceChannel::ReadStatus(StatusBlock& status) {
    const int r = ReadStatus(0, status.bytes);
    if (r == kResultOk) status.SetLink(OnReceiver());
    return r;
}

int DeviceChannel::ReadKeyLightMap(std::span<uint8_t> destination) {
    const size_t n = std::min<size_t>(ConfigLength() / 3, destination.size());
    std::lock_guard lock(commandLock_);
    return Transfer(kCmdReadKeyLightMap, Direction::Read, 0, destination.first(n), {}, ChunkSize());
}

int DeviceChannel::HostLightControl() {
    std::lock_guard lock(commandLock_);
    CommandReport r = CommandReport::Make(kCmdHostLightControl);
    return Command(r, nullptr);
}

int DeviceChannel::LinkCheck() {
    std::lock_guard lock(commandLock_);
    CommandReport report = CommandReport::Make(kCmdLinkCheck);
    CommandReport answer;
    const int r = Command(report, &answer);
    if (r != kResultOk) return r;
    return answer.bytes[kDataOffset] == 0xFF ? kResultOk : kResultNoAnswer;
}

}  // namespace devices
