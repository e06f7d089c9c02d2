#pragma once
// The command channel of one device: the send-and-answer exchange over the
// cable or the receiver interface, its locks, and the command set that every
// device kind shares. All operations return a DeviceResult code.
//
// Locks: ioLock is held from the write of one exchange through its reads, so
// answers of concurrent exchanges cannot be mixed up; commandLock serialises
// whole configuration commands; lightLock serialises the light stream and the
// key colour writes. A light chunk that finds an exchange running is dropped.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>

#include "devices/CommandReport.h"
#include "devices/DeviceInfo.h"
#include "hid/HidDevice.h"

namespace devices {

enum class LinkType { Cable = 1, Receiver = 2 };

// Observes every report the channel writes (written = true) or reads.
using ReportTraceHook = std::function<void(bool written, std::span<const uint8_t> report)>;

class DeviceChannel {
  public:
    static constexpr int kCableTimeoutMs = 1000;
    static constexpr int kReceiverTimeoutMs = 5000;
    static constexpr int kReceiverQuietTimeoutMs = 500;
    static constexpr uint8_t kCableChunk = 56;
    static constexpr uint8_t kReceiverChunk = 24;
    static constexpr int kEndWritePauseMs = 10;

    DeviceChannel();
    ~DeviceChannel();
    DeviceChannel(const DeviceChannel&) = delete;
    DeviceChannel& operator=(const DeviceChannel&) = delete;

    // --- the exchange ---------------------------------------------------
    // Sends a command (zero-filled to 64 bytes, cut beyond) and reads its
    // answer: at most two reads, stopping at the echoed code or, on the
    // receiver, at 0xAA. Writes "命令"/"返回" hex traces.
    int Exchange(std::span<const uint8_t> command, std::span<uint8_t> answer, size_t* bytesRead);
    // The same without traces and with a 500 ms receiver time-out.
    int ExchangeQuiet(std::span<const uint8_t> command, std::span<uint8_t> answer,
                      size_t* bytesRead);

    // 2: receiver (chunks of 24); anything else: cable (chunks of 56).
    void SetLinkType(int type);
    // Refuses (0) lengths above 512 and keeps the old one; else 1.
    int SetConfigLength(uint16_t length);
    uint16_t ConfigLength() const { return configLength_.load(); }
    // True on the cable without I/O; on the receiver the result of LinkCheck.
    bool IsLinkUp();

    bool IsOpen() const { return open_.load(); }
    void SetOpen(bool open) { open_.store(open); }
    bool IsPaused() const { return paused_.load(); }
    void SetPaused(bool paused) { paused_.store(paused); }
    // True while any exchange runs.
    bool IsBusy() const { return busy_.load() > 0; }
    bool OnReceiver() const { return onReceiver_.load(); }
    uint8_t ChunkSize() const { return chunkSize_.load(); }

    hid::CHidDevice& CableInterface() { return cable_; }
    hid::CHidDevice& ReceiverInterface() { return receiver_; }
    // The interface of the current link.
    hid::CHidDevice& ActiveInterface() { return OnReceiver() ? receiver_ : cable_; }

    std::recursive_mutex& IoLock() { return ioLock_; }
    std::recursive_mutex& ReceiverLock() { return receiverLock_; }
    std::recursive_mutex& CommandLock() { return commandLock_; }
    std::recursive_mutex& LightLock() { return lightLock_; }

    void SetReportTrace(ReportTraceHook hook);

    // --- the command set -------------------------------------------------
    int BeginWrite();
    int EndWrite();  // pauses 10 ms first
    int ReadInfo(DeviceInfo& info);
    int ReadMemory(uint16_t offset, std::span<uint8_t> destination);
    int WriteMemory(uint16_t offset, std::span<const uint8_t> data);
    // Reads min(configLength, destination size) bytes of the key table.
    int ReadKeyTable(std::span<uint8_t> destination);
    // Writes min(configLength, table size) bytes; bank must be 0.
    int WriteKeyTable(std::span<const uint8_t> table, int bank);
    int ReadKeyColours(int bank, std::span<uint8_t> destination, unsigned bankStride = 512);
    int WriteKeyColours(std::span<const uint8_t> colours, int bank, unsigned bankStride = 512);
    int StreamLight(std::span<const uint8_t> frame);
    int WriteMacros(std::span<const uint8_t> image);
    // Fixed chunks of 56 bytes on either link; takes no command lock.
    int WriteShootData(std::span<const uint8_t> image);
    // count bytes at offset in one report (count at most 56).
    int ReadStatus(uint16_t offset, std::span<uint8_t> destination);
    int ReadStatus(StatusBlock& status);
    // Reads configLength / 3 bytes (one per device key), capped at the destination.
    int ReadKeyLightMap(std::span<uint8_t> destination);
    int HostLightControl();
    int LinkCheck();

    // Number of light chunks dropped because the channel was busy.
    uint64_t DroppedLightChunks() const { return droppedLight_.load(); }

  private:
    struct BusyGuard;
    enum class Mode { Traced, Quiet };
    int DoExchange(std::span<const uint8_t> command, std::span<uint8_t> answer, size_t* bytesRead,
                   Mode mode);
    // One command report and its judged answer.
    int Command(CommandReport& report, CommandReport* answer, Mode mode = Mode::Traced);
    enum class Direction { Read, Write };
    // Chunked transfer of an object starting at baseOffset. No lock is taken here.
    int Transfer(uint8_t code, Direction dir, uint32_t baseOffset, std::span<uint8_t> readInto,
                 std::span<const uint8_t> writeFrom, size_t chunk, Mode mode = Mode::Traced);
    void Trace(bool written, std::span<const uint8_t> report);

    std::atomic<uint16_t> configLength_{512};
    uint16_t reservedLength_ = 512;
    std::atomic<int> busy_{0};
    std::atomic<bool> open_{false};
    std::atomic<bool> paused_{false};
    hid::CHidDevice cable_;
    hid::CHidDevice receiver_;
    std::recursive_mutex ioLock_;
    std::recursive_mutex receiverLock_;
    std::recursive_mutex commandLock_;
    std::recursive_mutex lightLock_;
    std::atomic<bool> onReceiver_{false};
    std::atomic<uint8_t> chunkSize_{kReceiverChunk};

    std::mutex traceMutex_;
    ReportTraceHook traceHook_;
    std::atomic<uint64_t> droppedLight_{0};
};

// Formats 64 bytes as the two trace lines of 32 hex bytes, groups of four.
void FormatTraceLines(std::span<const uint8_t> report, std::string& line1, std::string& line2);

}  // namespace devices
