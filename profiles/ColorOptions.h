#pragma once
// The colour picker's file "color_option_info.config": the selected preset
// and the user's collection of colour slots.
//
//   { "coloroptioninfo": {
//       "palletDialogcoloroption": [ {"color": "FFFF0000"}, ... ],        up to 20
//       "palletDialogcoloroption_selectitem": 4,
//       "palletDialogcollectcoloroption": [ {"color": "FFFFFFFF", "UserData": "0"}, ... ],
//       "palletDialogcollectcoloroption_selectitem": 0 } }
//
// Colours are 32-bit ARGB written as eight upper-case hex digits. Every save
// reads the file first and changes only its own members, so other members
// survive. Anything of the wrong type reads as missing.
#include <json/value.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace profiles {

inline constexpr const char* kColorOptionFileName = "color_option_info.config";
inline constexpr int kColorSlotCount = 20;

// "FFFF0000" for opaque red.
std::string ColorText(std::uint32_t argb);
// Hex digits after optional blanks and "0x"; lower case accepted. Text that
// does not start with a hex digit gives 0; more than 32 bits saturate.
std::uint32_t ParseColorText(std::string_view text);

// The user's copy (application data root) and the default copy.
std::string ColorOptionsUserPath();
std::string ColorOptionsDefaultPath();

struct ColorSlot {
    std::uint32_t color = 0;
    std::string userData;  // "1" = the slot is filled
    bool Filled() const;
};

struct ColorOptions {
    // The preset index, when stored as an integer 0..19.
    std::optional<int> presetIndex;
    // Stored preset colours (the window keeps the layout's colours instead).
    std::array<std::optional<std::uint32_t>, kColorSlotCount> presets;
    // Collection slots that have a "color".
    std::array<std::optional<ColorSlot>, kColorSlotCount> collection;
    // Whether a collection index was stored (its value is not used on load).
    bool hasCollectionIndex = false;
};

class CColorOptionFile {
  public:
    CColorOptionFile(std::string userPath, std::string defaultPath);

    // The user file's value; when it is null or not a valid colour file the
    // default copy replaces it (a missing default writes null).
    Json::Value EnsureUserFile() const;
    // What the user file holds now (nothing when it is null or invalid).
    ColorOptions Load() const;
    // Writes the colours of the presets that exist and the preset index.
    bool SavePresets(const std::array<std::optional<std::uint32_t>, kColorSlotCount>& colors,
                     int presetIndex) const;
    // Writes the slots that exist and the collection index.
    bool SaveCollection(const std::array<std::optional<ColorSlot>, kColorSlotCount>& slots,
                        int collectionIndex) const;

    const std::string& UserPath() const { return userPath_; }

    // Decoding of a file value (for tests and tools).
    static bool IsColorFileValue(const Json::Value& root);
    static ColorOptions Decode(const Json::Value& root);

  private:
    Json::Value ReadForUpdate() const;
    std::string userPath_;
    std::string defaultPath_;
};

}  // namespace profiles
