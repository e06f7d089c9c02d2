#include "profiles/ProfileRecords.h"

namespace profiles {

std::array<std::uint8_t, LightInfo::kSize> LightInfo::Bytes() const {
    return {selectItem, light,     speed,     fx,        multiColor,  red,         green,
            blue,       unused[0], unused[1], unused[2], zzccLedMode, customGroup, oldLedmode};
}

LightInfo LightInfo::FromBytes(const std::array<std::uint8_t, kSize>& b) {
    LightInfo info;
    info.selectItem = b[0];
    info.light = b[1];
    info.speed = b[2];
    info.fx = b[3];
    info.multiColor = b[4];
    info.red = b[5];
    info.green = b[6];
    info.blue = b[7];
    // Bytes 8-10 are unused and always 0.
    info.zzccLedMode = b[11];
    info.customGroup = b[12];
    info.oldLedmode = b[13];
    return info;
}

LightInfo LightInfo::FromWords(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2,
                               std::uint32_t w3) {
    const std::uint32_t words[4] = {w0, w1, w2, w3};
    return FromBytes(BytesFromWords<kSize>(words));
}

std::array<std::uint8_t, AudioLightInfo::kSize> AudioLightInfo::Bytes() const {
    return {audioMode, bkRed,  bkGreen,         bkBlue,        fgRed,
            fgGreen,   fgBlue, sevenColorFlags, colorTypeFlags};
}

AudioLightInfo AudioLightInfo::FromBytes(const std::array<std::uint8_t, kSize>& b) {
    AudioLightInfo info;
    info.audioMode = b[0];
    info.bkRed = b[1];
    info.bkGreen = b[2];
    info.bkBlue = b[3];
    info.fgRed = b[4];
    info.fgGreen = b[5];
    info.fgBlue = b[6];
    info.sevenColorFlags = b[7];
    info.colorTypeFlags = b[8];
    return info;
}

AudioLightInfo AudioLightInfo::FromWords(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2) {
    const std::uint32_t words[3] = {w0, w1, w2};
    return FromBytes(BytesFromWords<kSize>(words));
}

void KeyRecord::SetAssignment(std::int64_t packed) {
    type = static_cast<std::uint8_t>(packed >> 16);
    data1 = static_cast<std::uint8_t>(packed >> 8);
    data2 = static_cast<std::uint8_t>(packed);
}

void KeyRecord::SetDefaultAssignment(std::int64_t packed) {
    defaultType = static_cast<std::uint8_t>(packed >> 16);
    defaultData1 = static_cast<std::uint8_t>(packed >> 8);
    defaultData2 = static_cast<std::uint8_t>(packed);
}

}  // namespace profiles
