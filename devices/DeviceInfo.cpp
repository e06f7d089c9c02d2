#include "devices/DeviceInfo.h"

namespace devices {

const char* PowerStateName(uint8_t powerState) {
    switch (powerState) {
        case 0:
            return "powered";
        case 1:
            return "charging";
        case 2:
            return "battery";
        default:
            return "unknown";
    }
}

}  // namespace devices
