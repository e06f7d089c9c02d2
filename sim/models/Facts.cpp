// Factory facts of each simulated kind: what its firmware reports about
// itself and the state it leaves the factory with.
#include <array>

#include "sim/models/FirmwareModel.h"

namespace sim::models {
namespace {

using Bytes = std::vector<uint8_t>;
struct Assignment {
    uint8_t type, first, second;
};

void PutWord(uint8_t* at, uint16_t v) {
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
}

// DeviceInfo bytes: 0-1 product id, 2-3 firmware version, 5 keys, 6 macro
// memory in units of 128 bytes, 9-15 the DPI conversion values.
struct InfoFacts {
    uint16_t productId, version;
    uint8_t keys, macroUnits;
    uint16_t dpiCode;
    uint8_t dpiStep;
    uint16_t dpiMaxSteps, dpiMin;
    uint8_t lights;
};

std::array<uint8_t, 34> MakeInfo(const InfoFacts& f) {
    std::array<uint8_t, 34> info{};
    PutWord(&info[0], f.productId);
    PutWord(&info[2], f.version);
    info[5] = f.keys;
    info[6] = f.macroUnits;
    PutWord(&info[9], f.dpiCode);
    info[11] = f.dpiStep;
    PutWord(&info[12], f.dpiMaxSteps);
    PutWord(&info[14], f.dpiMin);
    info[16] = f.lights;
    return info;
}

template <size_t N>
Bytes KeyTable(const std::array<Assignment, N>& keys) {
    Bytes t;
    for (const auto& k : keys)
        t.insert(t.end(), {k.type, k.first, k.second});
    return t;
}

// The mouse's buttons in device key order (the page orders them otherwise):
// left, right, middle, back, forward, DPI+, DPI-, DPI loop, M8, fire, GM,
// and one key the host does not know.
constexpr std::array<Assignment, 12> kMouseKeys = {{
    {0x10, 0x01, 0x00},
    {0x10, 0x02, 0x00},
    {0x10, 0x04, 0x00},
    {0x10, 0x08, 0x00},
    {0x10, 0x10, 0x00},
    {0x13, 0x01, 0x00},
    {0x13, 0x02, 0x00},
    {0x13, 0x03, 0x00},
    {0x16, 0x90, 0x01},
    {0x14, 0x78, 0x02},
    {0xA0, 0x1B, 0x00},
    {0x21, 0x05, 0x00},
}};

// Keyboard keys 0..125 carry the factory assignment of the key position
// with the same number; two spare keys follow.
constexpr std::array<Assignment, 128> kKeyboardKeys = {{
    {0x20, 0x00, 0x29}, {0x20, 0x00, 0x3A}, {0x20, 0x00, 0x3B}, {0x20, 0x00, 0x3C},
    {0x20, 0x00, 0x3D}, {0x20, 0x00, 0x3E}, {0x20, 0x00, 0x3F}, {0x20, 0x00, 0x40},
    {0x20, 0x00, 0x41}, {0x20, 0x00, 0x42}, {0x20, 0x00, 0x43}, {0x20, 0x00, 0x44},
    {0x20, 0x00, 0x45}, {0x20, 0x00, 0x46}, {0x20, 0x00, 0x47}, {0x20, 0x00, 0x48},
    {0xA0, 0x1B, 0x00}, {0xA0, 0x24, 0x00}, {0x20, 0x00, 0x00}, {0x20, 0x00, 0x00},
    {0x20, 0x00, 0x00}, {0x20, 0x00, 0x35}, {0x20, 0x00, 0x1E}, {0x20, 0x00, 0x1F},
    {0x20, 0x00, 0x20}, {0x20, 0x00, 0x21}, {0x20, 0x00, 0x22}, {0x20, 0x00, 0x23},
    {0x20, 0x00, 0x24}, {0x20, 0x00, 0x25}, {0x20, 0x00, 0x26}, {0x20, 0x00, 0x27},
    {0x20, 0x00, 0x2D}, {0x20, 0x00, 0x2E}, {0x20, 0x00, 0x2A}, {0x20, 0x00, 0x49},
    {0x20, 0x00, 0x4A}, {0x20, 0x00, 0x4B}, {0x20, 0x00, 0x53}, {0x20, 0x00, 0x54},
    {0x20, 0x00, 0x55}, {0x20, 0x00, 0x56}, {0x20, 0x00, 0x2B}, {0x20, 0x00, 0x14},
    {0x20, 0x00, 0x1A}, {0x20, 0x00, 0x08}, {0x20, 0x00, 0x15}, {0x20, 0x00, 0x17},
    {0x20, 0x00, 0x1C}, {0x20, 0x00, 0x18}, {0x20, 0x00, 0x0C}, {0x20, 0x00, 0x12},
    {0x20, 0x00, 0x13}, {0x20, 0x00, 0x2F}, {0x20, 0x00, 0x30}, {0x20, 0x00, 0x31},
    {0x20, 0x00, 0x4C}, {0x20, 0x00, 0x4D}, {0x20, 0x00, 0x4E}, {0x20, 0x00, 0x5F},
    {0x20, 0x00, 0x60}, {0x20, 0x00, 0x61}, {0x20, 0x00, 0x32}, {0x20, 0x00, 0x39},
    {0x20, 0x00, 0x04}, {0x20, 0x00, 0x16}, {0x20, 0x00, 0x07}, {0x20, 0x00, 0x09},
    {0x20, 0x00, 0x0A}, {0x20, 0x00, 0x0B}, {0x20, 0x00, 0x0D}, {0x20, 0x00, 0x0E},
    {0x20, 0x00, 0x0F}, {0x20, 0x00, 0x33}, {0x20, 0x00, 0x34}, {0x20, 0x00, 0x28},
    {0x20, 0x00, 0x5C}, {0x20, 0x00, 0x5D}, {0x20, 0x00, 0x5E}, {0x20, 0x00, 0x8A},
    {0x20, 0x00, 0x8B}, {0x20, 0x00, 0x90}, {0x20, 0x00, 0x91}, {0x20, 0x00, 0x88},
    {0x20, 0x02, 0x00}, {0x20, 0x00, 0x1D}, {0x20, 0x00, 0x1B}, {0x20, 0x00, 0x06},
    {0x20, 0x00, 0x19}, {0x20, 0x00, 0x05}, {0x20, 0x00, 0x11}, {0x20, 0x00, 0x10},
    {0x20, 0x00, 0x36}, {0x20, 0x00, 0x37}, {0x20, 0x00, 0x38}, {0x20, 0x20, 0x00},
    {0x20, 0x00, 0x52}, {0x20, 0x00, 0x59}, {0x20, 0x00, 0x5A}, {0x20, 0x00, 0x5B},
    {0x20, 0x00, 0x87}, {0x20, 0x00, 0x89}, {0x20, 0x00, 0x64}, {0x20, 0x00, 0x85},
    {0x20, 0x00, 0x00}, {0x20, 0x01, 0x00}, {0x20, 0x08, 0x00}, {0x20, 0x04, 0x00},
    {0x20, 0x00, 0x2C}, {0x20, 0x40, 0x00}, {0xA0, 0x01, 0x00}, {0x20, 0x00, 0x65},
    {0x20, 0x10, 0x00}, {0x20, 0x00, 0x50}, {0x20, 0x00, 0x51}, {0x20, 0x00, 0x4F},
    {0x20, 0x00, 0x62}, {0x20, 0x00, 0x63}, {0x20, 0x00, 0x58}, {0x20, 0x00, 0x57},
    {0xD0, 0xA2, 0x01}, {0xD0, 0xA2, 0x02}, {0xD0, 0xA2, 0x03}, {0xD0, 0xA2, 0x04},
    {0xD0, 0xA2, 0x05}, {0x20, 0x80, 0x00}, {0x20, 0x00, 0x00}, {0x20, 0x00, 0x00},
}};

// Mouse settings page (71 bytes at profile × 128). The stages are 400, 800,
// 1600, 3200 and 6400 DPI, as in the factory profile.
struct DpiStage {
    uint16_t steps;
    uint8_t r, g, b;
};
constexpr std::array<DpiStage, 5> kMouseStages = {
    {{2, 255, 0, 0}, {6, 0, 255, 0}, {14, 0, 0, 255}, {30, 255, 255, 0}, {55, 255, 0, 255}}};

void PutMousePage(Bytes& mem, size_t at, uint8_t red, uint8_t green, uint8_t blue) {
    uint8_t* p = &mem[at];
    p[1] = 2;  // breathing
    p[2] = 4;  // brightness
    p[3] = 2;  // 4 - speed
    p[4] = 1;
    p[5] = 1;
    p[6] = red;
    p[7] = green;
    p[8] = blue;
    p[11] = 3;  // polling rate index
    p[12] = 1;  // active DPI stage
    for (size_t i = 0; i < kMouseStages.size(); ++i) {
        uint8_t* s = p + 14 + 9 * i;
        s[0] = 1;
        PutWord(s + 2, kMouseStages[i].steps);
        PutWord(s + 4, kMouseStages[i].steps);
        s[6] = kMouseStages[i].r;
        s[7] = kMouseStages[i].g;
        s[8] = kMouseStages[i].b;
    }
    p[59] = 1;
    PutWord(p + 60, 1920);
    PutWord(p + 62, 1080);
}

// Keyboard settings page (34 bytes at profile × 33). The bytes the host
// writes back as read carry recognisable values.
void PutKeyboardPage(Bytes& mem, size_t at, uint8_t mode) {
    uint8_t* p = &mem[at];
    p[1] = mode;
    p[2] = 4;
    p[3] = 2;
    p[4] = 0;
    p[5] = 1;
    p[6] = 0;
    p[7] = 128;
    p[8] = 255;
    for (int i = 9; i <= 15; ++i)
        p[i] = static_cast<uint8_t>(0x10 + i);
    p[17] = 0x21;
    p[22] = 1;  // polling rate index
    p[23] = 0x33;
    p[24] = 0x34;
    for (int i = 26; i <= 32; ++i)
        p[i] = static_cast<uint8_t>(0x40 + i);
}

// Mouse pad and headset lighting page (21 bytes, profile 0 at offset 0).
void PutLightPage(Bytes& mem, uint8_t mode) {
    mem[1] = mode;
    mem[2] = 3;
    mem[3] = 2;
    mem[4] = 0x44;
    mem[5] = 1;
    mem[6] = 0;
    mem[7] = 255;
    mem[8] = 0;
    for (int i = 9; i <= 20; ++i)
        mem[i] = static_cast<uint8_t>(0x50 + i);
}

constexpr size_t kSettingsBytes = 1024;

}  // namespace

FirmwareFacts MouseFacts() {
    FirmwareFacts f;
    f.kind = ModelKind::Mouse;
    // 13093 selects the two-slope DPI rule: 100 per step up to 48 steps,
    // 200 per step above; 153 steps reach 26000 DPI.
    f.info = MakeInfo({0x50EF, 0x0105, 12, 16, 13093, 100, 153, 200, 15});
    f.keyTable = KeyTable(kMouseKeys);
    f.settings.assign(kSettingsBytes, 0);
    constexpr std::array<std::array<uint8_t, 3>, 5> kProfileColours = {
        {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {255, 128, 0}}};
    for (size_t p = 0; p < kProfileColours.size(); ++p)
        PutMousePage(f.settings, p * 128, kProfileColours[p][0], kProfileColours[p][1],
                     kProfileColours[p][2]);
    f.settings[0] = 0;
    f.status = {76, 2, 0, 0, 1, 0};  // 76 %, on battery
    f.shootBytes = 4096;  // four full guns of 180 events take 2920 bytes
    f.pageStride = 128;
    f.dpiStageByte = 12;
    return f;
}

FirmwareFacts KeyboardFacts() {
    FirmwareFacts f;
    f.kind = ModelKind::Keyboard;
    f.info = MakeInfo({0x5084, 0x0107, 128, 32, 0, 0, 0, 0, 170});
    f.keyTable = KeyTable(kKeyboardKeys);
    f.keyLightMap.resize(kKeyboardKeys.size());
    for (size_t k = 0; k < f.keyLightMap.size(); ++k)
        f.keyLightMap[k] = static_cast<uint8_t>(k);
    f.settings.assign(kSettingsBytes, 0);
    for (size_t p = 0; p < 4; ++p)
        PutKeyboardPage(f.settings, p * 33, static_cast<uint8_t>(3 + p));
    f.settings[0] = 0;
    f.status = {100, 0, 0, 0, 0, 0};
    f.colourBanks = 4;
    f.lightStream = true;
    f.pageStride = 33;
    f.dpiStageByte = 17;
    return f;
}

FirmwareFacts MousePadFacts() {
    FirmwareFacts f;
    f.kind = ModelKind::MousePad;
    f.info = MakeInfo({0x1004, 0x0101, 0, 0, 0, 0, 0, 0, 15});
    f.settings.assign(kSettingsBytes, 0);
    PutLightPage(f.settings, 1);
    f.status = {100, 0, 0, 0, 0, 2};  // powered, a phone of kind 2 charging on it
    f.pageStride = 33;
    return f;
}

FirmwareFacts HeadsetFacts() {
    FirmwareFacts f;
    f.kind = ModelKind::Headset;
    f.info = MakeInfo({0x1630, 0x0100, 0, 0, 0, 0, 0, 0, 13});
    f.settings.assign(kSettingsBytes, 0);
    PutLightPage(f.settings, 2);
    f.status = {0, 0, 0, 0, 0, 0};
    f.pageStride = 33;
    return f;
}

}  // namespace sim::models
