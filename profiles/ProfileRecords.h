#pragma once
// The small fixed records that the device code sends to the hardware, as the
// profile objects hand them out.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace profiles {

// Four 32-bit words carry a byte record, little-endian: bytes 0-3 in word 0,
// 4-7 in word 1 and so on.
template <std::size_t N>
std::array<std::uint8_t, N> BytesFromWords(const std::uint32_t* words) {
    std::array<std::uint8_t, N> bytes{};
    for (std::size_t i = 0; i < N; ++i)
        bytes[i] = static_cast<std::uint8_t>(words[i / 4] >> (8 * (i % 4)));
    return bytes;
}
template <std::size_t N>
std::array<std::uint32_t, (N + 3) / 4> WordsFromBytes(const std::array<std::uint8_t, N>& bytes) {
    std::array<std::uint32_t, (N + 3) / 4> words{};
    for (std::size_t i = 0; i < N; ++i)
        words[i / 4] |= std::uint32_t{bytes[i]} << (8 * (i % 4));
    return words;
}

// "LightInfo": 14 bytes in this order; bytes 8-10 are unused and stay 0.
struct LightInfo {
    std::uint8_t selectItem = 0;  // mode position in the device's mode list
    std::uint8_t light = 0;       // brightness level
    std::uint8_t speed = 0;
    std::uint8_t fx = 0;          // direction: 1 left option, 0 right
    std::uint8_t multiColor = 0;  // 0 or 1
    std::uint8_t red = 0, green = 0, blue = 0;
    std::uint8_t unused[3] = {0, 0, 0};
    std::uint8_t zzccLedMode = 0;  // keyboard secondary mode item
    std::uint8_t customGroup = 0;  // keyboard custom lighting group
    std::uint8_t oldLedmode = 0;   // kept and written back unchanged

    static constexpr std::size_t kSize = 14;
    std::array<std::uint8_t, kSize> Bytes() const;
    static LightInfo FromBytes(const std::array<std::uint8_t, kSize>& b);
    std::array<std::uint32_t, 4> Words() const { return WordsFromBytes(Bytes()); }
    static LightInfo FromWords(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2,
                               std::uint32_t w3);
    bool operator==(const LightInfo& o) const { return Bytes() == o.Bytes(); }
};

// "AudioLightInfo" (keyboard): nine bytes.
struct AudioLightInfo {
    std::uint8_t audioMode = 0;
    std::uint8_t bkRed = 0, bkGreen = 0, bkBlue = 0;
    std::uint8_t fgRed = 0, fgGreen = 0, fgBlue = 0;
    std::uint8_t sevenColorFlags = 0;  // background cycles the seven colours
    std::uint8_t colorTypeFlags = 0;   // 1: the foreground colour is edited

    static constexpr std::size_t kSize = 9;
    std::array<std::uint8_t, kSize> Bytes() const;
    static AudioLightInfo FromBytes(const std::array<std::uint8_t, kSize>& b);
    std::array<std::uint32_t, 3> Words() const { return WordsFromBytes(Bytes()); }
    static AudioLightInfo FromWords(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2);
    bool operator==(const AudioLightInfo& o) const { return Bytes() == o.Bytes(); }
};

// One element of "LightList" (template data).
struct LightListEntry {
    std::uint8_t ledRegMode = 0, ledBrightness = 0, ledSpeed = 0;
    std::uint8_t ledDirection = 0, ledMultiColor = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
    std::uint8_t present = 0;  // 0 for a null element
};

// One key of "KeyList": the current and the factory assignment, each packed in
// the file as (type << 16) | (data1 << 8) | data2.
struct KeyRecord {
    std::uint16_t index = 0;
    std::uint8_t type = 0, data1 = 0, data2 = 0;
    std::uint16_t defaultIndex = 0;
    std::uint8_t defaultType = 0, defaultData1 = 0, defaultData2 = 0;

    std::int32_t Assignment() const { return (type << 16) | (data1 << 8) | data2; }
    std::int32_t DefaultAssignment() const {
        return (defaultType << 16) | (defaultData1 << 8) | defaultData2;
    }
    void SetAssignment(std::int64_t packed);
    void SetDefaultAssignment(std::int64_t packed);
    bool IsDefault() const { return Assignment() == DefaultAssignment(); }
};

// One colour of a keyboard custom lighting group.
struct CustomLightColor {
    std::uint8_t red = 0, green = 0, blue = 0, alpha = 0;
    bool operator==(const CustomLightColor&) const = default;
};

// One mouse DPI stage, in the device's own units.
struct DPIStage {
    std::uint8_t stageActive = 0;  // the stage is enabled
    std::uint8_t stageXY = 0;      // separate X and Y resolution
    std::uint16_t stageDPIX = 0;
    std::uint16_t stageDPIY = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const DPIStage&) const = default;
};

// One motion-correction preset of "CorrectInfo" (template data).
struct CorrectPreset {
    std::uint8_t pixThresh = 0;
    std::uint8_t minSq = 0;
    std::uint8_t select = 0;
    std::string name;
};

// One step of a custom lighting effect file.
struct LightEffectStep {
    std::uint8_t ledRegMode = 0, ledBrightness = 0, ledSpeed = 0;
    std::uint8_t ledDirection = 0, ledMultiColor = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
    std::int32_t time = 0;
    std::int32_t cyle = 0;  // "Cyle": the step's repeat count
};

}  // namespace profiles
