#pragma once
// The commands of brommelivantos-ctl. Each command lives in its own source
// file in this folder and registers itself with BROM_CTL_COMMAND.
#include <iosfwd>
#include <string>
#include <vector>

namespace ctl {

struct CtlContext {
    std::string simulate;  // the --simulate list, empty for real devices
    bool trace = false;    // --trace: print every report written and read
    bool force = false;    // --force: touch real devices while the program runs
    bool json = false;     // --json: machine-readable output
    std::vector<std::string> args;  // the words after the command name
    std::ostream* out = nullptr;
    std::ostream* err = nullptr;
};

using CtlHandler = int (*)(CtlContext& ctx);

struct CtlCommandInfo {
    const char* name;   // first word, e.g. "list" or "profile"
    const char* usage;  // e.g. "profile show KIND [FILE]"
    const char* help;   // one or more lines of explanation
    CtlHandler handler;
};

void RegisterCommand(const CtlCommandInfo& info);
const std::vector<CtlCommandInfo>& Commands();

struct CtlRegistrar {
    explicit CtlRegistrar(const CtlCommandInfo& info) { RegisterCommand(info); }
};

}  // namespace ctl

#define BROM_CTL_CONCAT2(a, b) a##b
#define BROM_CTL_CONCAT(a, b) BROM_CTL_CONCAT2(a, b)
#define BROM_CTL_COMMAND(...) \
    static const ::ctl::CtlRegistrar BROM_CTL_CONCAT(brom_ctl_reg_, __LINE__)(::ctl::CtlCommandInfo{__VA_ARGS__})
