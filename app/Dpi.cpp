#include "app/Dpi.h"

#include "platform/Debug.h"
#include "ui/PaintManager.h"

namespace app {

int ValidDpiOr96(int dpi, std::string_view traceLine) {
    if (ui::IsValidDpi(dpi)) return dpi;
    platform::DebugOut(traceLine);
    return 96;
}

}  // namespace app
