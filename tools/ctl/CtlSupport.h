#pragma once
// Helpers shared by the commands of brommelivantos-ctl.
#include <string>

#include "tools/ctl/CtlCommand.h"

namespace ctl {

// Selects the simulated bus when --simulate was given; prints the error and
// returns false for an unknown product name.
bool PrepareBus(CtlContext& ctx);

// One process owns a device at a time: while the program runs (its
// single-instance lock is held) commands that talk to real devices refuse,
// unless --force was given or only simulated devices are used. Prints why.
bool RequireDeviceAccess(CtlContext& ctx);

// A JSON string literal for text (quotes, backslashes and control
// characters escaped), for the --json output of the commands.
std::string JsonString(const std::string& text);

// The program's instance name: its lock, bus and data folder names.
inline constexpr const char* kInstanceName = "BROMMELIVANTOS";

}  // namespace ctl
