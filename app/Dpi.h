#pragma once
// DPI values the windows accept.
#include <string_view>

namespace app {

// dpi when it is one of 48, 72, 96, 120, 144, 168, 192; otherwise 96 and
// the trace line.
int ValidDpiOr96(int dpi, std::string_view traceLine);

}  // namespace app
