#pragma once
// The program's trace lines. They are dropped unless BROMMELIVANTOS_DEBUG=1,
// then written to stderr. Tests may install a sink to capture them.
#include <functional>
#include <string>
#include <string_view>

namespace platform {

void DebugOut(std::string_view line);
// printf-style convenience for the fixed trace lines.
void DebugOutF(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
bool DebugEnabled();

using DebugSink = std::function<void(std::string_view)>;
// Replaces the output (nullptr restores stderr). While a sink is installed
// every line reaches it, whatever the environment says.
void SetDebugSink(DebugSink sink);

}  // namespace platform
