#pragma once
// The mouse's settings page: 71 bytes, page p at offset p × 128 of the
// settings memory; byte 0 of the memory (byte 0 of page 0) is the mouse's
// current profile number.
//
//   0      profile (always written as 0)     1  lighting mode code
//   2      brightness                        3  4 − speed
//   4      direction                         5  multi-colour flag
//   6-8    red, green, blue                  9-10  0
//   11     polling-rate index 0..4           12 active DPI stage 0..4
//   13     0
//   14 + 9i  DPI stage i (i = 0..4): enabled, separate X/Y, X steps (16 bit),
//            Y steps (16 bit), red, green, blue
//   59     1                                 60-61 screen width, 62-63 height
//   64     "CorrectMinSq" and 65 "CorrectPixThresh" of the selected
//          motion-correction preset          66-70 0
// 16-bit values are little-endian.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "profiles/ConfigLists.h"
#include "profiles/ProfileRecords.h"

namespace devices::mouse {

struct MouseSettingsPage {
    static constexpr size_t kSize = 71;
    static constexpr size_t kStride = 128;
    static constexpr size_t kStageCount = 5;
    static constexpr size_t kStageBase = 14;
    static constexpr size_t kStageSize = 9;

    std::array<uint8_t, kSize> bytes{};

    uint8_t Profile() const { return bytes[0]; }
    uint8_t ModeCode() const { return bytes[1]; }
    uint8_t Brightness() const { return bytes[2]; }
    // Byte 3 holds 4 − speed.
    int Speed() const { return 4 - int{bytes[3]}; }
    uint8_t Direction() const { return bytes[4]; }
    uint8_t MultiColor() const { return bytes[5]; }
    uint8_t Red() const { return bytes[6]; }
    uint8_t Green() const { return bytes[7]; }
    uint8_t Blue() const { return bytes[8]; }
    uint8_t PollingIndex() const { return bytes[11]; }
    uint8_t ActiveStage() const { return bytes[12]; }
    uint8_t Byte59() const { return bytes[59]; }
    uint16_t ScreenWidth() const { return Word(60); }
    uint16_t ScreenHeight() const { return Word(62); }
    uint8_t CorrectMinSq() const { return bytes[64]; }
    uint8_t CorrectPixThresh() const { return bytes[65]; }

    // Stage i (0..4); a zero stage for any other i.
    profiles::DPIStage Stage(size_t i) const;
    void SetStage(size_t i, const profiles::DPIStage& stage);

  private:
    uint16_t Word(size_t at) const {
        return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
    }
};

// Everything a page is built from.
struct MouseSettingsSource {
    profiles::LightInfo light;               // mode index, brightness, speed, direction, colour
    uint8_t pollingIndex = 0;                // "ReportStages" "StageActive"
    uint8_t activeStage = 0;                 // "DPIStages" "StageActive"
    std::vector<profiles::DPIStage> stages;  // at most five are used
    std::vector<profiles::CorrectPreset> corrections;
    uint8_t byte0 = 0;
    uint8_t byte59 = 1;
    uint16_t screenWidth = 0;
    uint16_t screenHeight = 0;
};

// Built-in mouse modes; an index of this or more (custom effects) is sent as
// the first mode's code.
inline constexpr int kBuiltInModeCount = 12;

// The code sent for a mode index: the mode list's code at the index (index 0
// for 12 or more); when the list has no such mode the index itself.
int ModeCodeForIndex(const profiles::ConfigLists& lists, int modeIndex);
// The mode index of a code read from the mouse; a code the list does not
// have stays as the index.
int ModeIndexForCode(const profiles::ConfigLists& lists, int code);

MouseSettingsPage BuildSettingsPage(const MouseSettingsSource& source,
                                    const profiles::ConfigLists& lists);

}  // namespace devices::mouse
