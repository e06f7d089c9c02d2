#include "tools/ctl/CtlSupport.h"

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

bool RequireDeviceAccess(CtlContext& ctx) {
    if (ctx.force || !ctx.simulate.empty()) return true;
    if (!platform::InstanceLock::IsHeldElsewhere(kInstanceName)) return true;
    *ctx.err << "brommelivantos-ctl: the program is running and owns the devices; close it first, "
                "or pass --force to use them anyway\n";
    return false;
}

}  // namespace ctl
