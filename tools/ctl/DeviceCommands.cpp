// Device commands of brommelivantos-ctl: info, status, read-memory, link.
// Each finds the device of a kind on whichever path is present (cable first,
// else the receiver), opens its command collection and runs one exchange
// sequence on a DeviceChannel.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "devices/DeviceChannel.h"
#include "hid/Catalog.h"
#include "hid/HidDevice.h"
#include "tools/ctl/CtlCommand.h"
#include "tools/ctl/CtlSupport.h"

namespace {

struct KindName {
    const char* word;
    hid::DeviceKind kind;
};
constexpr KindName kKinds[] = {{"mouse", hid::kKindMouse},
                               {"keyboard", hid::kKindKeyboard},
                               {"mousepad", hid::kKindMousePad},
                               {"headset", hid::kKindHeadset}};

std::optional<hid::DeviceKind> ParseKind(const std::string& word) {
    for (const auto& k : kKinds)
        if (word == k.word) return k.kind;
    return std::nullopt;
}

bool IsReceiverType(uint16_t type) {
    return type == hid::kTypeMouseReceiver || type == hid::kTypeKeyboardReceiver;
}

std::string Hex(std::span<const uint8_t> bytes) {
    std::string s;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char h[4];
        std::snprintf(h, sizeof h, "%02x", bytes[i]);
        if (i) s += ' ';
        s += h;
    }
    return s;
}

// The command path of a kind: the cable's when present, else the receiver's.
struct Found {
    std::string path;
    bool receiver = false;
};

std::optional<Found> FindCommandPath(hid::DeviceKind kind) {
    hid::CHidDevice lister;
    if (!lister.EnumerateInterfaces()) return std::nullopt;
    std::optional<Found> receiver;
    while (const std::string* path = lister.NextPath()) {
        const auto row = hid::FindInterfaceByPath(hid::ParseHidPathIds(*path));
        if (!row) continue;
        const auto& entry = hid::InterfaceTable()[*row];
        if (entry.channel != hid::kChannelCommand || hid::KindOfRow(*row) != kind) continue;
        if (!IsReceiverType(entry.typeCode)) return Found{*path, false};
        if (!receiver) receiver = Found{*path, true};
    }
    return receiver;
}

// One output field: printed as "name: value" lines, or as one JSON object
// with --json (numbers stay numbers, text is quoted).
struct Field {
    std::string name;
    std::string value;
    bool text = false;
};

Field Num(const char* name, unsigned long v) {
    return {name, std::to_string(v), false};
}
Field Text(const char* name, std::string v) {
    return {name, std::move(v), true};
}

void PrintFields(ctl::CtlContext& ctx, const std::vector<Field>& fields) {
    std::ostream& out = *ctx.out;
    if (!ctx.json) {
        for (const auto& f : fields)
            out << f.name << ": " << f.value << "\n";
        return;
    }
    out << "{";
    for (size_t i = 0; i < fields.size(); ++i) {
        const auto& f = fields[i];
        out << (i ? ", " : "") << '"' << f.name << "\": ";
        if (f.text)
            out << '"' << f.value << '"';  // values are hex, words and digits only
        else
            out << f.value;
    }
    out << "}\n";
}

int Fail(ctl::CtlContext& ctx, const std::string& what, int result) {
    *ctx.err << "brommelivantos-ctl: " << what << ": result " << result << ": "
             << devices::ResultMeaning(result) << "\n";
    return 1;
}

// An opened command channel of one device.
class Session {
  public:
    // Prints the reason and returns false when the device cannot be used.
    bool Open(ctl::CtlContext& ctx, const std::string& kindWord) {
        if (!ctl::RequireDeviceAccess(ctx)) return false;
        const auto kind = ParseKind(kindWord);
        if (!kind) {
            *ctx.err << "brommelivantos-ctl: unknown device kind '" << kindWord
                     << "' (mouse, keyboard, mousepad or headset)\n";
            return false;
        }
        const auto found = FindCommandPath(*kind);
        if (!found) {
            *ctx.err << "brommelivantos-ctl: no " << kindWord << " is connected\n";
            return false;
        }
        hid::CHidDevice& device =
            found->receiver ? channel_.ReceiverInterface() : channel_.CableInterface();
        if (!device.Open(found->path, true, true, true, false)) {
            const int e = device.LastOpenError();
            *ctx.err << "brommelivantos-ctl: cannot open " << found->path << ": "
                     << (e ? std::strerror(e) : "not a usable HID interface") << "\n";
            return false;
        }
        channel_.SetLinkType(found->receiver ? 2 : 1);
        channel_.SetOpen(true);
        if (ctx.trace) {
            std::ostream* out = ctx.out;
            channel_.SetReportTrace([out](bool written, std::span<const uint8_t> report) {
                *out << (written ? "> " : "< ") << Hex(report) << "\n";
            });
        }
        return true;
    }
    devices::DeviceChannel& Channel() { return channel_; }

  private:
    devices::DeviceChannel channel_;
};

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& out) {
    if (text.empty() || text[0] == '-') return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtoul(text.c_str(), &end, 0);
    return errno == 0 && end && *end == '\0' && out <= max;
}

bool NeedArgs(ctl::CtlContext& ctx, size_t n, const char* usage) {
    if (ctx.args.size() == n) return true;
    *ctx.err << "usage: brommelivantos-ctl " << usage << "\n";
    return false;
}

int InfoCommand(ctl::CtlContext& ctx) {
    if (!NeedArgs(ctx, 1, "info KIND")) return 2;
    Session s;
    if (!s.Open(ctx, ctx.args[0])) return 1;
    devices::DeviceInfo info;
    const int r = s.Channel().ReadInfo(info);
    if (r != devices::kResultOk) return Fail(ctx, "info", r);
    PrintFields(ctx,
                {Num("keys", info.KeyCount()), Num("macro_memory_bytes", info.MacroMemoryBytes()),
                 Num("dpi_code", info.DpiCode()), Num("dpi_step", info.DpiStep()),
                 Num("dpi_max_steps", info.DpiMaxSteps()), Num("dpi_min", info.DpiMin()),
                 Text("raw", Hex(info.bytes))});
    return 0;
}

int StatusCommand(ctl::CtlContext& ctx) {
    if (!NeedArgs(ctx, 1, "status KIND")) return 2;
    Session s;
    if (!s.Open(ctx, ctx.args[0])) return 1;
    devices::StatusBlock status;
    const int r = s.Channel().ReadStatus(status);
    if (r != devices::kResultOk) return Fail(ctx, "status", r);
    const unsigned phone = status.PhoneKind();
    PrintFields(ctx, {Num("battery", status.Battery()),
                      Text("charge_state", devices::PowerStateName(status.PowerStateByte())),
                      Text("wireless", status.OnReceiver() ? "yes" : "no"),
                      phone ? Num("phone", phone) : Text("phone", "none")});
    return 0;
}

int ReadMemoryCommand(ctl::CtlContext& ctx) {
    if (!NeedArgs(ctx, 3, "read-memory KIND OFFSET LENGTH")) return 2;
    unsigned long offset = 0, length = 0;
    if (!ParseNumber(ctx.args[1], 0xFFFF, offset) || !ParseNumber(ctx.args[2], 0x10000, length) ||
        offset + length > 0x10000) {
        *ctx.err << "brommelivantos-ctl: OFFSET and LENGTH must be numbers with OFFSET + LENGTH "
                    "at most 65536\n";
        return 2;
    }
    Session s;
    if (!s.Open(ctx, ctx.args[0])) return 1;
    std::vector<uint8_t> bytes(length);
    const int r = s.Channel().ReadMemory(static_cast<uint16_t>(offset), bytes);
    if (r != devices::kResultOk) return Fail(ctx, "read-memory", r);
    if (ctx.json) {
        PrintFields(ctx, {Num("offset", offset), Num("length", length), Text("bytes", Hex(bytes))});
        return 0;
    }
    for (size_t at = 0; at < bytes.size(); at += 16) {
        const size_t n = std::min<size_t>(16, bytes.size() - at);
        *ctx.out << Hex(std::span<const uint8_t>(bytes).subspan(at, n)) << "\n";
    }
    return 0;
}

int LinkCommand(ctl::CtlContext& ctx) {
    if (!NeedArgs(ctx, 1, "link KIND")) return 2;
    Session s;
    if (!s.Open(ctx, ctx.args[0])) return 1;
    const char* state = s.Channel().IsLinkUp() ? "up" : "down";
    if (ctx.json)
        PrintFields(ctx, {Text("link", state)});
    else
        *ctx.out << state << "\n";
    return 0;
}

}  // namespace

BROM_CTL_COMMAND("info", "info KIND",
                 "Reads the device's information block and prints keys, macro_memory_bytes,\n"
                 "dpi_code, dpi_step, dpi_max_steps, dpi_min and the 34 raw bytes in hex.\n"
                 "KIND is mouse, keyboard, mousepad or headset; the cable is used when\n"
                 "present, else the receiver. With --json: one JSON object.",
                 &InfoCommand);
BROM_CTL_COMMAND("status", "status KIND",
                 "Reads the power status: battery (percent), charge_state (powered, charging,\n"
                 "battery), wireless (yes on the receiver) and phone (the kind of phone on a\n"
                 "charging pad, or none).",
                 &StatusCommand);
BROM_CTL_COMMAND("read-memory", "read-memory KIND OFFSET LENGTH",
                 "Reads LENGTH bytes of the device's settings memory at OFFSET (decimal or\n"
                 "0x hex) and prints them in hex, 16 bytes a line.",
                 &ReadMemoryCommand);
BROM_CTL_COMMAND("link", "link KIND",
                 "Prints up or down: whether the device answers. On the cable it is always up\n"
                 "(nothing is sent); through the receiver a link check is sent.",
                 &LinkCommand);
