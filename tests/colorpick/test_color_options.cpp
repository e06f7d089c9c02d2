// The colour picker's file: colour text, repair from the default copy,
// decoding of hand-edited or damaged files, and saves that keep what they do
// not own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "profiles/ColorOptions.h"
#include "profiles/JsonFile.h"
#include "tests/profiles/TempDir.h"

namespace {

using profiles::CColorOptionFile;
using profiles::ColorOptions;
using profiles::ColorSlot;
using profiles::kColorSlotCount;

std::string DefaultCopy() {
    const char* src = std::getenv("BROMMELIVANTOS_SOURCE_DIR");
    return std::string(src ? src : ".") + "/DefaultData/color_option_info.config";
}

Json::Value Parse(const std::string& text) {
    return profiles::CJsonFile::ParseJsonText(text);
}

TEST(ColorText, WritesEightUpperCaseDigitsAndParsesLeniently) {
    EXPECT_EQ(profiles::ColorText(0xFFFF0000u), "FFFF0000");
    EXPECT_EQ(profiles::ColorText(0x0000000Au), "0000000A");
    struct Case {
        const char* text;
        uint32_t value;
    };
    const Case cases[] = {
        {"FFFF0000", 0xFFFF0000u},
        {"ffff0000", 0xFFFF0000u},
        {"0xFF00FF00", 0xFF00FF00u},
        {"  12", 0x12u},
        {"12G4", 0x12u},
        {"zz", 0u},
        {"", 0u},
        {"-5", 0u},
        {"0x", 0u},
        {"FFFFFFFFF", 0xFFFFFFFFu},
        {"123456789ABCDEF0123", 0xFFFFFFFFu},
    };
    for (const Case& c : cases)
        EXPECT_EQ(profiles::ParseColorText(c.text), c.value) << c.text;
}

TEST(ColorOptionFile, DefaultCopyHoldsTwentyPresetsAndEmptySlots) {
    const ColorOptions options =
        CColorOptionFile::Decode(profiles::CJsonFile().ReadJsonFile(DefaultCopy()));
    ASSERT_TRUE(options.presetIndex.has_value());
    EXPECT_EQ(*options.presetIndex, 4);
    EXPECT_TRUE(options.hasCollectionIndex);
    for (int i = 0; i < kColorSlotCount; ++i) {
        EXPECT_TRUE(options.presets[i].has_value()) << i;
        ASSERT_TRUE(options.collection[i].has_value()) << i;
        EXPECT_FALSE(options.collection[i]->Filled()) << i;
        EXPECT_EQ(options.collection[i]->color, 0xFFFFFFFFu);
    }
    EXPECT_EQ(*options.presets[0], 0xFFFF0000u);
}

// A user file that is missing or holds no object is replaced by the default copy.
TEST(ColorOptionFile, RepairsUserFileFromDefault) {
    struct Case {
        const char* name;
        const char* text;  // nullptr: no user file
    };
    const Case cases[] = {
        {"missing", nullptr},    {"empty", ""},        {"malformed", "{\"coloroptioninfo\": [1,"},
        {"array root", "[1,2]"}, {"number root", "7"}, {"binary", "\x01\x02\xff"}};
    for (const Case& c : cases) {
        TempDir dir;
        const std::string user = dir.File("color_option_info.config");
        if (c.text) dir.Write("color_option_info.config", c.text);
        const Json::Value value = CColorOptionFile(user, DefaultCopy()).EnsureUserFile();
        EXPECT_TRUE(value.isObject()) << c.name;
        const ColorOptions options = CColorOptionFile(user, DefaultCopy()).Load();
        EXPECT_EQ(options.presetIndex.value_or(-1), 4) << c.name;
        EXPECT_TRUE(options.collection[19].has_value()) << c.name;
    }
}

TEST(ColorOptionFile, KeepsValidUserFileAndWritesNullWithoutDefault) {
    TempDir dir;
    const std::string user =
        dir.Write("user.config",
                  R"({"coloroptioninfo": {"palletDialogcoloroption_selectitem": 9}, "extra": 1})");
    CColorOptionFile(user, DefaultCopy()).EnsureUserFile();
    EXPECT_EQ(CColorOptionFile(user, DefaultCopy()).Load().presetIndex.value_or(-1), 9);
    EXPECT_EQ(profiles::CJsonFile().ReadJsonFile(user)["extra"].asInt(), 1);

    const std::string broken = dir.Write("broken.config", "{");
    const CColorOptionFile none(broken, dir.File("no-default.config"));
    EXPECT_TRUE(none.EnsureUserFile().isNull());
    EXPECT_EQ(TempDir::Read(broken).substr(0, 4), "null");
    const ColorOptions options = none.Load();
    EXPECT_FALSE(options.presetIndex.has_value());
    EXPECT_FALSE(options.hasCollectionIndex);
    for (const auto& slot : options.collection)
        EXPECT_FALSE(slot.has_value());
}

// Members of the wrong type or out of range read as missing.
TEST(ColorOptionFile, DecodesDamagedMembersAsMissing) {
    struct Case {
        const char* name;
        const char* info;  // the "coloroptioninfo" member
        int presetIndex;   // -1: none
        int filledSlots;
        int storedSlots;
    };
    const Case cases[] = {
        {"index as text", R"({"palletDialogcoloroption_selectitem": "4"})", -1, 0, 0},
        {"index too big", R"({"palletDialogcoloroption_selectitem": 20})", -1, 0, 0},
        {"index negative", R"({"palletDialogcoloroption_selectitem": -1})", -1, 0, 0},
        {"index whole double", R"({"palletDialogcoloroption_selectitem": 7.0})", 7, 0, 0},
        {"index huge", R"({"palletDialogcoloroption_selectitem": 1e300})", -1, 0, 0},
        {"info not object", R"([1, 2, 3])", -1, 0, 0},
        {"collection not array", R"({"palletDialogcollectcoloroption": {"color": "FF000000"}})", -1,
         0, 0},
        {"elements of every kind",
         R"({"palletDialogcollectcoloroption": [null, 5, {"color": 12}, {"UserData": "1"},
             {"color": "ff112233", "UserData": "1"}, {"color": "FF445566", "UserData": 1},
             {"color": "FF778899"}]})",
         -1, 1, 3},
    };
    for (const Case& c : cases) {
        const ColorOptions options =
            CColorOptionFile::Decode(Parse(std::string(R"({"coloroptioninfo": )") + c.info + "}"));
        EXPECT_EQ(options.presetIndex.value_or(-1), c.presetIndex) << c.name;
        int filled = 0, stored = 0;
        for (const auto& slot : options.collection) {
            stored += slot.has_value();
            filled += slot.has_value() && slot->Filled();
        }
        EXPECT_EQ(filled, c.filledSlots) << c.name;
        EXPECT_EQ(stored, c.storedSlots) << c.name;
    }
    const ColorOptions mixed = CColorOptionFile::Decode(Parse(
        R"({"coloroptioninfo": {"palletDialogcollectcoloroption": [null, 5, {"color": 12}, {},
            {"color": "ff112233", "UserData": "1"}, {"color": "FF445566", "UserData": 1}]}})"));
    ASSERT_TRUE(mixed.collection[4].has_value());
    EXPECT_EQ(mixed.collection[4]->color, 0xFF112233u);
    ASSERT_TRUE(mixed.collection[5].has_value());
    EXPECT_EQ(mixed.collection[5]->userData, "");
}

TEST(ColorOptionFile, ReadsAtMostTwentyElements) {
    std::string many = R"({"coloroptioninfo": {"palletDialogcollectcoloroption": [)";
    for (int i = 0; i < 30; ++i)
        many += std::string(i ? "," : "") + R"({"color": "FF000001", "UserData": "1"})";
    many += "]}}";
    int stored = 0;
    for (const auto& slot : CColorOptionFile::Decode(Parse(many)).collection)
        stored += slot.has_value();
    EXPECT_EQ(stored, kColorSlotCount);
}

// Saves change only their own members, over files of any shape.
TEST(ColorOptionFile, SavesKeepForeignMembersAndRepairShapes) {
    const char* starts[] = {
        R"({"other": {"keep": true}, "coloroptioninfo": {"mine": 3, "palletDialogcollectcoloroption": [{"color": "FF010203", "UserData": "1"}]}})",
        R"({"other": {"keep": true}, "coloroptioninfo": "text"})",
        R"({"other": {"keep": true}, "coloroptioninfo": {"palletDialogcollectcoloroption": 5, "palletDialogcoloroption": "x"}})",
        R"({"other": {"keep": true}, "coloroptioninfo": {"palletDialogcollectcoloroption": [7, "s", null]}})",
    };
    for (const char* start : starts) {
        TempDir dir;
        const std::string user = dir.Write("c.config", start);
        const CColorOptionFile file(user, DefaultCopy());
        std::array<std::optional<ColorSlot>, kColorSlotCount> slotColors;
        slotColors[2] = ColorSlot{0xFFABCDEFu, "1"};
        slotColors[5] = ColorSlot{0xFFFFFFFFu, "0"};
        ASSERT_TRUE(file.SaveCollection(slotColors, 2)) << start;
        std::array<std::optional<uint32_t>, kColorSlotCount> presets;
        presets[1] = 0xFF00FF00u;
        ASSERT_TRUE(file.SavePresets(presets, 1)) << start;

        const Json::Value root = profiles::CJsonFile().ReadJsonFile(user);
        EXPECT_TRUE(root["other"]["keep"].asBool()) << start;
        const Json::Value& info = root["coloroptioninfo"];
        EXPECT_EQ(info["palletDialogcollectcoloroption"][2]["color"].asString(), "FFABCDEF")
            << start;
        EXPECT_EQ(info["palletDialogcollectcoloroption"][2]["UserData"].asString(), "1") << start;
        EXPECT_EQ(info["palletDialogcollectcoloroption"].size(), 6u) << start;
        EXPECT_EQ(info["palletDialogcoloroption"][1]["color"].asString(), "FF00FF00") << start;
        EXPECT_TRUE(info["palletDialogcoloroption"][0].isNull()) << start;
        EXPECT_EQ(info["palletDialogcoloroption_selectitem"].asInt(), 1) << start;
        EXPECT_EQ(info["palletDialogcollectcoloroption_selectitem"].asInt(), 2) << start;

        const ColorOptions back = file.Load();
        ASSERT_TRUE(back.collection[2].has_value());
        EXPECT_TRUE(back.collection[2]->Filled());
        EXPECT_EQ(back.collection[2]->color, 0xFFABCDEFu);
        EXPECT_EQ(back.presetIndex.value_or(-1), 1);
    }
    TempDir dir;
    const std::string user = dir.Write("c.config", R"({"coloroptioninfo": {"mine": 3}})");
    CColorOptionFile(user, DefaultCopy()).SavePresets({}, 0);
    EXPECT_EQ(profiles::CJsonFile().ReadJsonFile(user)["coloroptioninfo"]["mine"].asInt(), 3);
}

}  // namespace
