// brommelivantos-ctl: the command-line interface to the devices and profiles.
#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "tools/ctl/CtlCommand.h"
#include "tools/ctl/CtlSupport.h"

namespace ctl {

std::vector<CtlCommandInfo>& Registry() {
    static std::vector<CtlCommandInfo> commands;
    return commands;
}

void RegisterCommand(const CtlCommandInfo& info) { Registry().push_back(info); }

const std::vector<CtlCommandInfo>& Commands() { return Registry(); }

}  // namespace ctl

namespace {

void PrintHelp(std::ostream& out) {
    out << "Usage: brommelivantos-ctl [OPTIONS] COMMAND [ARGS...]\n\n"
           "Talks to the supported mice, keyboards, mouse pads and headsets, and reads profiles.\n\n"
           "Options:\n"
           "  --simulate=LIST  use demo devices instead of real ones; LIST is a comma-separated\n"
           "                   list of: mouse, mouse-receiver, keyboard, keyboard-receiver,\n"
           "                   mousepad, headset, or all (every one of them)\n"
           "  --trace          print every report written (\"> \") and read (\"< \") as hex\n"
           "  --json           machine-readable output where a command supports it\n"
           "  --force          touch real devices even while the program is running\n"
           "  --help           show this help\n\n"
           "Commands:\n";
    auto commands = ctl::Commands();
    std::sort(commands.begin(), commands.end(),
              [](const auto& a, const auto& b) { return std::strcmp(a.usage, b.usage) < 0; });
    for (const auto& c : commands) {
        out << "  " << c.usage << "\n";
        std::string help = c.help;
        size_t start = 0;
        while (start < help.size()) {
            size_t end = help.find('\n', start);
            if (end == std::string::npos) end = help.size();
            out << "      " << help.substr(start, end - start) << "\n";
            start = end + 1;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    ctl::CtlContext ctx;
    ctx.out = &std::cout;
    ctx.err = &std::cerr;
    std::string command;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (!command.empty()) {
            ctx.args.push_back(a);
        } else if (a == "--help" || a == "-h") {
            PrintHelp(std::cout);
            return 0;
        } else if (a.rfind("--simulate=", 0) == 0) {
            ctx.simulate = a.substr(11);
        } else if (a == "--simulate") {
            ctx.simulate = "all";
        } else if (a == "--trace") {
            ctx.trace = true;
        } else if (a == "--json") {
            ctx.json = true;
        } else if (a == "--force") {
            ctx.force = true;
        } else if (a.rfind("--", 0) == 0) {
            std::cerr << "brommelivantos-ctl: unknown option " << a << " (see --help)\n";
            return 2;
        } else {
            command = a;
        }
    }
    if (command.empty()) {
        PrintHelp(std::cerr);
        return 2;
    }
    if (command == "help") {
        PrintHelp(std::cout);
        return 0;
    }
    for (const auto& c : ctl::Commands()) {
        if (command == c.name) {
            if (!ctl::PrepareBus(ctx)) return 2;
            return c.handler(ctx);
        }
    }
    std::cerr << "brommelivantos-ctl: unknown command '" << command << "' (see --help)\n";
    return 2;
}
