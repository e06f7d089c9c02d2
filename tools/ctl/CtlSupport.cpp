#include "tools/ctl/CtlSupport.h"

#include <cstdio>
#include <ostream>
#include <string>

#include "platform/InstanceLock.h"
#include "sim/SimBus.h"

namespace ctl {

bool PrepareBus(CtlContext& ctx) {
    if (ctx.simulate.empty()) return true;
    std::string error;
    if (!sim::EnableSimulation(ctx.simulate, &error)) {
        *ctx.err << "brommelivantos-ctl: " << error << "\n";
        return false;
    }
    return true;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", unsigned(c));
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

bool RequireDeviceAccess(CtlContext& ctx) {
    if (ctx.force || !ctx.simulate.empty()) return true;
    if (!platform::InstanceLock::IsHeldElsewhere(kInstanceName)) return true;
    *ctx.err << "brommelivantos-ctl: the program is running and owns the devices; close it first, "
                "or pass --force to use them anyway\n";
    return false;
}

}  // namespace ctl
