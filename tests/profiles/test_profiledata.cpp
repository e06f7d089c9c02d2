// Profile objects: loading with the template fallback, the records and the
// rules of each section.
#include <gtest/gtest.h>
#include <unistd.h>

#include "profiles/JsonAccess.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/Ze6533Profiledata.h"
#include "tests/profiles/TempDir.h"

using namespace profiles;

namespace {

const char* kTemplate = R"({"Device": [{
    "LightInfo": {"SelectItem": 3, "Light": 4, "Speed": 2, "Fx": 1, "MultiColor": 1,
                  "Red": 10, "Green": 20, "Blue": 30, "ZZCCLedMode": 5, "CustomGroup": 6, "OldLedmode": 7},
    "KeyList": [{"Assignment": 1052672, "DefaultAssignment": 1052672},
                {"Assignment": 1049088, "DefaultAssignment": 1049088},
                {"Assignment": 1049600, "DefaultAssignment": 1049600},
                {"Assignment": 1052672, "DefaultAssignment": 1052672}]}]})";

class ProfileTest : public ::testing::Test {
  protected:
    Json::Value Read(const std::string& path) { return CJsonFile().ReadJsonFile(path); }
    Json::Value Parse(const std::string& text) { return CJsonFile::ParseJsonText(text); }
    // A profile object whose active root is the given device entry.
    template <class P>
    void Use(P& p, const std::string& entry) {
        ASSERT_TRUE(p.UseProfileTree(Parse("{\"Device\": [" + entry + "]}"))) << entry;
    }
    TempDir dir;
};

TEST_F(ProfileTest, MissingOrEntrylessFileTakesTheTemplateAndKeepsItsOtherMembers) {
    const std::string templ = dir.Write("default.Json", kTemplate);
    const Json::Value templateEntry = Read(templ)["Device"][0];
    struct Case {
        const char* name;
        const char* text;  // nullptr: no file
    } cases[] = {
        {"missing", nullptr},
        {"empty device array",
         R"({"Device": [], "profilename": "Mine", "profileUUID": "2024_01_02_03_04_05_006"})"},
        {"null entry",
         R"({"Device": [null], "profilename": "Mine", "profileUUID": "2024_01_02_03_04_05_006"})"},
        {"entry of wrong type",
         R"({"Device": [17], "profilename": "Mine", "profileUUID": "2024_01_02_03_04_05_006"})"},
        {"device not an array",
         R"({"Device": "x", "profilename": "Mine", "profileUUID": "2024_01_02_03_04_05_006"})"},
        {"unparsable", "{\"Device\": [ {"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File(std::string(c.name) + ".Json");
        if (c.text) dir.Write(std::string(c.name) + ".Json", c.text);
        CBasicProfiledata p;
        p.SetDefaultProfilePath(templ);
        p.SetDeviceIndex(0);
        p.SetProfilePath(path);
        EXPECT_EQ(p.LoadProfile(path), templateEntry) << c.name;
        const Json::Value written = Read(path);
        EXPECT_EQ(written["Device"][0], templateEntry) << c.name;
        if (c.text && std::string(c.text).find("Mine") != std::string::npos) {
            EXPECT_EQ(written["profilename"].asString(), "Mine") << c.name;
            EXPECT_EQ(written["profileUUID"].asString(), "2024_01_02_03_04_05_006") << c.name;
        }
        EXPECT_EQ(p.GetLightInfo().red, 10) << c.name;
        // Text that does not parse is kept aside rather than lost.
        const bool unparsable = std::string(c.name) == "unparsable";
        EXPECT_EQ(TempDir::Read(path + ".unreadable"), unparsable ? c.text : "") << c.name;
    }
}

TEST_F(ProfileTest, PresentEntryIsNotReplacedAndNothingIsWritten) {
    const std::string templ = dir.Write("default.Json", kTemplate);
    const std::string text = R"({"Device": [{"LightInfo": {"Red": 99}}], "profilename": "A"})";
    const std::string path = dir.Write("p.Json", text);
    CBasicProfiledata p;
    p.SetDefaultProfilePath(templ);
    p.LoadProfile(path);
    EXPECT_EQ(p.GetLightInfo().red, 99);
    EXPECT_EQ(TempDir::Read(path), text);
}

TEST_F(ProfileTest, WithoutTemplateEveryGetterGivesZerosAndSaveWritesANullEntry) {
    const std::string path = dir.File("p.Json");
    CMouseProfiledata p;
    p.SetDefaultProfilePath(dir.File("absent.Json"));
    p.SetProfilePath(path);
    EXPECT_TRUE(p.LoadProfile(path).isNull());
    EXPECT_EQ(p.GetLightInfo(), LightInfo{});
    EXPECT_TRUE(p.GetKeyList().empty());
    EXPECT_TRUE(p.GetDPIStages().empty());
    EXPECT_EQ(p.GetSystemStages(), (std::array<std::uint32_t, 3>{}));
    EXPECT_TRUE(p.Save());
    const Json::Value written = Read(path);
    ASSERT_TRUE(written["Device"].isArray());
    EXPECT_TRUE(written["Device"][0].isNull());
}

TEST_F(ProfileTest, LightInfoMissingKeysReadZeroAndWordsPackLittleEndian) {
    CKeyboardProfiledata p;
    Use(p,
        R"({"LightInfo": {"SelectItem": 3, "Light": 4, "Speed": "fast", "MultiColor": 7, "Red": 300}})");
    LightInfo info = p.GetLightInfo();
    EXPECT_EQ(info.selectItem, 3);
    EXPECT_EQ(info.light, 4);
    EXPECT_EQ(info.speed, 0) << "a string reads as missing";
    EXPECT_EQ(info.fx, 0);
    EXPECT_EQ(info.multiColor, 1) << "read as a boolean";
    EXPECT_EQ(info.red, 300 & 0xFF) << "truncated to a byte";
    Use(p, R"({"Other": 1})");
    EXPECT_EQ(p.GetLightInfo(), p.GetDefaultLightInfo());
    Use(p, R"({"LightInfo": [1, 2, 3]})");
    EXPECT_EQ(p.GetLightInfo(), LightInfo{});

    p.SetLightInfo(0x04030201u, 0x08070605u, 0x0C0B0A09u, 0x0000FF0Du);
    const Json::Value& s = p.GetActiveRoot()["LightInfo"];
    EXPECT_EQ(s["SelectItem"].asInt(), 1);
    EXPECT_EQ(s["Fx"].asInt(), 4);
    EXPECT_EQ(s["Blue"].asInt(), 8);
    EXPECT_EQ(s["ZZCCLedMode"].asInt(), 0x0C);
    EXPECT_EQ(s["CustomGroup"].asInt(), 0x0D);
    EXPECT_EQ(s["OldLedmode"].asInt(), 0xFF);
    EXPECT_EQ(s.size(), 11u) << "the unused bytes 8-10 have no keys";
    // "MultiColor" 5 reads back as 1; the unused bytes read back as 0.
    EXPECT_EQ(p.GetLightInfo().Words(),
              (std::array<std::uint32_t, 4>{0x04030201u, 0x08070601u, 0x0C000000u, 0xFF0Du}));
}

TEST_F(ProfileTest, AudioLightInfoRoundTripsThroughWords) {
    CKeyboardProfiledata p;
    Use(p, R"({})");
    EXPECT_EQ(p.GetAudioLightInfo(), AudioLightInfo{});
    AudioLightInfo a{2, 1, 2, 3, 4, 5, 6, 1, 1};
    auto w = a.Words();
    p.SetAudioLightInfo(w[0], w[1], w[2]);
    EXPECT_EQ(p.GetActiveRoot()["AudioLightInfo"]["7ColorFlags"].asInt(), 1);
    EXPECT_EQ(p.GetAudioLightInfo(), a);
}

TEST_F(ProfileTest, SetKeyListTouchesOnlyAssignment) {
    CKeyboardProfiledata p;
    Use(p, R"({"KeyList": [{"Assignment": 1, "DefaultAssignment": 11, "Extra": "x"},
                           {"Assignment": 2, "DefaultAssignment": 12},
                           {"Assignment": 3, "DefaultAssignment": 13},
                           {"Assignment": 4, "DefaultAssignment": 14}]})");
    std::vector<KeyRecord> keys = p.GetKeyList();
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[3].index, 3);
    EXPECT_EQ(keys[3].DefaultAssignment(), 14);
    keys.resize(3);
    keys[0].SetAssignment(0x700102);
    keys[1].SetAssignment(0x200004);
    keys[2].SetAssignment(0x000000);
    keys[2].SetDefaultAssignment(0x555555);  // never written
    p.SetKeyList(keys);
    const Json::Value& list = p.GetActiveRoot()["KeyList"];
    const int assignments[] = {0x700102, 0x200004, 0, 4};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list[i]["Assignment"].asInt(), assignments[i]) << i;
        EXPECT_EQ(list[i]["DefaultAssignment"].asInt(), 11 + i) << i;
    }
    EXPECT_EQ(list[0]["Extra"].asString(), "x");
}

TEST_F(ProfileTest, SecondaryRootEditsAnotherProfileFile) {
    const std::string other = dir.Write(
        "other.Json",
        R"({"Device": [{"KeyList": [{"Assignment": 7340288, "DefaultAssignment": 1052672}],
                                                          "LightInfo": {"Red": 5}}], "profilename": "B"})");
    CMouseProfiledata p;
    Use(p, R"({"KeyList": [{"Assignment": 1, "DefaultAssignment": 1}]})");
    p.LoadSecondaryProfile(other);
    std::vector<KeyRecord> keys = p.GetSecondaryKeyList();
    ASSERT_EQ(keys.size(), 1u);
    keys[0].SetAssignment(keys[0].DefaultAssignment());
    p.SetSecondaryKeyList(keys);
    ASSERT_TRUE(p.SaveSecondaryTo(other));
    const Json::Value written = Read(other);
    EXPECT_EQ(written["Device"][0]["KeyList"][0]["Assignment"].asInt(), 1052672);
    EXPECT_EQ(written["Device"][0]["LightInfo"]["Red"].asInt(), 5);
    EXPECT_EQ(written["profilename"].asString(), "B");
    EXPECT_EQ(p.GetKeyList()[0].Assignment(), 1) << "the active root is untouched";
}

TEST_F(ProfileTest, KeyboardSystemStagesAndCustomColours) {
    CKeyboardProfiledata p;
    Use(p,
        R"({"SystemStages": {"Repeat": 20, "RepeatDelay": 1, "Key6Flag": 1, "PollingRate": 3, "WFlag": 0, "WinFlag": 65537}})");
    EXPECT_EQ(p.GetSystemStages(),
              (std::array<std::uint32_t, 3>{0x00010014u, 0x00030001u, 0x00010000u}));
    p.SetSystemStages(0x00020010u, 0x00020000u, 0x00000001u);
    EXPECT_EQ(p.GetActiveRoot()["SystemStages"]["RepeatDelay"].asInt(), 2);
    EXPECT_EQ(p.GetActiveRoot()["SystemStages"]["WFlag"].asInt(), 1);

    Use(p, R"({"LightInfo": {}})");
    EXPECT_EQ(p.GetCustomLightModeGroupIndex(), 0);
    std::vector<CustomLightColor> colors = p.GetCustomLightColors(1, 104);
    EXPECT_EQ(colors, std::vector<CustomLightColor>(104));
    const Json::Value& groups = p.GetActiveRoot()["CustomLightMode"]["LightColorInfo"];
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_TRUE(groups[0].isNull());
    ASSERT_EQ(groups[1].size(), 104u);
    EXPECT_EQ(groups[1][103]["Alpha"].asInt(), 0);

    colors[5] = {1, 2, 3, 4};
    p.SetCustomLightColors(colors, 1);
    EXPECT_EQ(p.GetCustomLightColors(1, 110)[5], (CustomLightColor{1, 2, 3, 4}));
    EXPECT_EQ(p.GetActiveRoot()["CustomLightMode"]["LightColorInfo"][1].size(), 110u)
        << "missing elements created";

    // A group or count from a device or file never grows the tree past its bounds.
    EXPECT_EQ(p.GetCustomLightColors(200, 5).size(), 5u);
    EXPECT_EQ(p.GetCustomLightColors(-1, 5).size(), 5u);
    EXPECT_EQ(p.GetCustomLightColors(0, 1 << 30).size(),
              size_t(CKeyboardProfiledata::kMaxCustomColors));
    p.SetCustomLightColors(colors, 1000000);
    EXPECT_EQ(p.GetActiveRoot()["CustomLightMode"]["LightColorInfo"].size(), 2u);
    p.SetCustomLightModeGroupIndex(1);
    EXPECT_EQ(p.GetCustomLightModeGroupIndex(), 1);
}

TEST_F(ProfileTest, DpiListIsOverwrittenElementByElement) {
    auto stages = [](int n, int base) {
        std::string s = R"({"DPIStages": {"StageActive": 2, "StageDPIs": [)";
        for (int i = 0; i < n; ++i) {
            s += (i ? "," : "") + std::string(R"({"StageActive": 1, "StageDPIX": )") +
                 std::to_string(base + i) + R"(, "StageDPIY": 70000, "StageColorR": 255})";
        }
        return s + "]}}";
    };
    CMouseProfiledata p;
    Use(p, stages(7, 100));
    EXPECT_EQ(p.GetDPIStages().size(), 7u);
    Use(p, stages(5, 200));
    std::vector<DPIStage> list = p.GetDPIStages();
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[4].stageDPIX, 204);
    EXPECT_EQ(list[5].stageDPIX, 105);
    EXPECT_EQ(list[6].stageDPIX, 106);
    EXPECT_EQ(list[0].stageDPIY, 70000 & 0xFFFF);
    EXPECT_EQ(p.GetActiveStage(), 2);
    Use(p, R"({})");
    EXPECT_EQ(p.GetDPIStages().size(), 7u) << "a missing section keeps the list";

    list.resize(2);
    list[1].stageDPIX = 31;
    p.SetDPIStages(list);
    p.SetActiveStage(1);
    const Json::Value& written = p.GetActiveRoot()["DPIStages"];
    EXPECT_EQ(written["StageDPIs"].size(), 2u);
    EXPECT_EQ(written["StageDPIs"][1]["StageDPIX"].asInt(), 31);
    EXPECT_EQ(written["StageActive"].asInt(), 1);
}

TEST_F(ProfileTest, MouseSystemStagesIncludeTheReportStage) {
    struct Case {
        const char* entry;
        std::array<std::uint32_t, 3> words;
    } cases[] = {
        {R"({"SystemStages": {"DoubleClickTime": 500, "MouseSpeed": 10, "PointerPrecision": 1, "ScorllPage": 1,
             "WheelScorlllinse": 3}, "ReportStages": {"StageActive": 4}})",
         {0x000A01F4u, 0x00010001u, 0x00040003u}},
        {R"({"SystemStages": {"WheelScorlllinse": 3}})", {0, 0, 3}},
        {R"({"ReportStages": {"StageActive": 4}})", {0, 0, 0}},
        {R"({"SystemStages": 5, "ReportStages": {"StageActive": 4}})", {0, 0, 0}},
    };
    for (const Case& c : cases) {
        CMouseProfiledata p;
        Use(p, c.entry);
        EXPECT_EQ(p.GetSystemStages(), c.words) << c.entry;
    }
    CMouseProfiledata p;
    Use(p, "{}");
    p.SetSystemStages(0x000A01F4u, 0x00010001u, 0x00040003u);
    EXPECT_EQ(p.GetActiveRoot()["ReportStages"]["StageActive"].asInt(), 4);
    EXPECT_EQ(p.GetActiveRoot()["SystemStages"]["ScorllPage"].asInt(), 1);
    EXPECT_EQ(p.GetSystemStages(),
              (std::array<std::uint32_t, 3>{0x000A01F4u, 0x00010001u, 0x00040003u}));
}

TEST_F(ProfileTest, CorrectPresetsAndLightList) {
    CMouseProfiledata p;
    Use(p,
        R"({"CorrectInfo": [{"CorrectPixThresh": 4, "CorrectMinSq": 9, "CorrectSelect": 1, "CorrectName": "Mid"}, 3],
               "LightList": [null, {"LEDREGMode": 2, "LEDDirection": 5, "red": 9}, "x"]})");
    std::vector<CorrectPreset> presets = p.GetCorrectInfo();
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(presets[0].minSq, 9);
    EXPECT_EQ(presets[0].name, "Mid");
    EXPECT_EQ(presets[1].name, "");
    std::vector<LightListEntry> lights = p.GetLightList();
    ASSERT_EQ(lights.size(), 3u);
    EXPECT_EQ(lights[0].present, 0);
    EXPECT_EQ(lights[1].present, 1);
    EXPECT_EQ(lights[1].ledDirection, 1) << "read as a boolean";
    EXPECT_EQ(lights[1].red, 9);
    EXPECT_EQ(lights[2].present, 1);
}

TEST_F(ProfileTest, EqualiserPresetNumbersAreNormalisedAndMissingBandsCreated) {
    CZe6533Profiledata p;
    Use(p,
        R"({"EQHzValueInfo": [null, [{"value": 7}, {"value": 11}, {"value": 2}, {"value": -3}, {"value": -1},
                                        {"value": 4}, {"value": 9}, {"value": 12}, {"value": 9}, {"value": 5}]]})");
    const std::vector<int> preset1 = {7, 11, 2, -3, -1, 4, 9, 12, 9, 5};
    EXPECT_EQ(p.GetEQValues(0), preset1);
    EXPECT_EQ(p.GetEQValues(20), preset1);
    EXPECT_EQ(p.GetEQValues(-4), preset1);
    EXPECT_TRUE(p.GetEQValues(13).empty());

    Use(p, R"({"SystemSetStages": {"EqType": 3}})");
    EXPECT_EQ(p.GetEQValues(2), std::vector<int>(10, 0));
    const Json::Value& eq = p.GetActiveRoot()["EQHzValueInfo"];
    ASSERT_EQ(eq.size(), 3u);
    EXPECT_TRUE(eq[0].isNull());
    EXPECT_TRUE(eq[1].isNull());
    ASSERT_EQ(eq[2].size(), 10u);
    EXPECT_EQ(eq[2][9].size(), 1u);
    EXPECT_EQ(eq[2][9]["value"].asInt(), 0);

    p.SetEQValues(13, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(p.GetActiveRoot()["EQHzValueInfo"].size(), 3u)
        << "the custom preset is not stored here";
    p.SetEQValues(4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(p.GetEQValues(4)[9], 10);

    EXPECT_EQ(p.GetSystemSetStages()[2], 3);
    p.SetSystemSetStages({1, 2, 13, 4, 1, 80, 0, 50});
    EXPECT_EQ(p.GetActiveRoot()["SystemSetStages"]["CustomEqSeletIndex"].asInt(), 4);
    EXPECT_EQ(p.GetActiveRoot()["SystemSetStages"]["MicMoniterValue"].asInt(), 50);
}

TEST_F(ProfileTest, CustomEqualisersAreBoundedByTheirMaximum) {
    CZe6533Profiledata p;
    Use(p, R"({"CustomEQNameInfo": [{"Name": "Bass"}, {"Name": 5}]})");
    EXPECT_EQ(p.GetCustomEQNames(), (std::vector<std::string>{"Bass", ""}));
    EXPECT_EQ(p.GetCustomEQValues(1), std::vector<int>(10, 0));
    EXPECT_EQ(p.GetActiveRoot()["CustomEQHzValueInfo"].size(), 2u);
    // An index taken from "CustomEqSeletIndex" never grows the list past 20.
    EXPECT_EQ(p.GetCustomEQValues(2000000000), std::vector<int>(10, 0));
    p.SetCustomEQValues(25, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(p.GetActiveRoot()["CustomEQHzValueInfo"].size(), 2u);
    p.SetCustomEQValues(0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(p.GetCustomEQValues(0)[4], 5);
    p.SetCustomEQNames(std::vector<std::string>(30, "n"));
    EXPECT_EQ(p.GetCustomEQNames().size(), 20u);
    p.SetCustomEQNames({"Only"});
    EXPECT_EQ(p.GetCustomEQNames(), (std::vector<std::string>{"Only"}));
}

TEST_F(ProfileTest, CustomEffectNameResolvesAgainstTheDeviceFolder) {
    dir.Write("fx1.light",
              R"({"LEDEffectList": [{"LEDREGMode": 3, "red": 255, "Time": 1500, "Cyle": 2},
                                                  {"LEDREGMode": 2, "LEDDirection": 1, "Time": 3000}]})");
    dir.Write(".light", R"({"LEDEffectList": [{"LEDREGMode": 9}]})");
    const std::string absolute = dir.Write("abs.light", R"({"LEDEffectList": [{}, {}, {}]})");
    const std::string config =
        dir.Write("korva_light.config",
                  R"({"LightInfo": [[{"LightName": "A", "Guid": "fx1"}, {"LightName": "B"},
                           {"LightName": "C", "Guid": ")" +
                      absolute.substr(0, absolute.size() - 6) + R"("},
                           {"LightName": "D", "Guid": "none"}]]})");
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir("/"), 0);  // started from some other folder
    struct Case {
        int selectItem;
        size_t steps;
    } cases[] = {{0, 2}, {1, 1}, {2, 3}, {3, 0}, {9, 1}};
    for (const Case& c : cases) {
        CBasicProfiledata p;
        Use(p, R"({"LightInfo": {"SelectItem": )" + std::to_string(c.selectItem) + "}}");
        p.SetLightConfigPath(config);
        p.GetLightInfo();
        p.LoadLightConfig(config);
        EXPECT_EQ(p.GetCustomEffectList().size(), c.steps) << c.selectItem;
        if (c.selectItem == 0) {
            const LightEffectStep s = p.CustomEffectSteps()[0];
            EXPECT_EQ(s.ledRegMode, 3);
            EXPECT_EQ(s.red, 255);
            EXPECT_EQ(s.time, 1500);
            EXPECT_EQ(s.cyle, 2);
            EXPECT_EQ(p.CustomEffectSteps()[1].ledDirection, 1);
        }
    }
    ASSERT_EQ(::chdir(cwd), 0);
    CBasicProfiledata none;
    EXPECT_TRUE(none.GetCustomEffectList().empty()) << "no light configuration loaded";
}

TEST_F(ProfileTest, SaveKeepsOtherMembersAndRoundTrips) {
    const std::string path =
        dir.Write("p.Json", R"({"Device": [{"LightInfo": {"Red": 1}}, {"Second": true}],
                                                    "profilename": "Name", "profileUUID": "id"})");
    CKeyboardProfiledata p;
    p.SetProfilePath(path);
    p.LoadProfile(path);
    LightInfo info = p.GetLightInfo();
    info.green = 77;
    p.SetLightInfo(info);
    ASSERT_TRUE(p.Save());
    const Json::Value written = Read(path);
    EXPECT_EQ(written["profilename"].asString(), "Name");
    EXPECT_TRUE(written["Device"][1]["Second"].asBool());
    CKeyboardProfiledata q;
    q.LoadProfile(path);
    EXPECT_EQ(q.GetLightInfo(), info);
    EXPECT_EQ(q.GetActiveRoot(), p.GetActiveRoot());
    ASSERT_TRUE(p.WriteWholeFile(Json::Value("whole"), path));
    EXPECT_EQ(Read(path).asString(), "whole");
}

TEST_F(ProfileTest, HandEditedFilesOfAnyShapeNeverThrow) {
    const char* entries[] = {
        R"({"LightInfo": 5, "KeyList": {"a": 1}, "DPIStages": [1], "SystemStages": "x", "ReportStages": [],
            "CorrectInfo": {"x": 1}, "CustomLightMode": [], "SystemSetStages": [], "EQHzValueInfo": {"a": 1},
            "CustomEQNameInfo": "x", "CustomEQHzValueInfo": 3, "AudioLightInfo": null, "LightList": 7})",
        R"({"DPIStages": {"StageDPIs": [null, 1, "x", {"StageDPIX": {}}]}, "KeyList": [null, 1, [], {"Assignment": "x"}],
            "CustomLightMode": {"LightColorInfo": [5, [1, null, {"Red": []}]], "CustomLightModeGroupIndex": {}},
            "EQHzValueInfo": [1, [1, {"value": "x"}, {"value": 1e300}]], "CustomEQHzValueInfo": [[{"value": []}]]})",
    };
    for (const char* entry : entries) {
        CMouseProfiledata m;
        CKeyboardProfiledata k;
        CZe6533Profiledata h;
        Use(m, entry);
        Use(k, entry);
        Use(h, entry);
        EXPECT_NO_THROW({
            m.GetLightInfo();
            m.GetAudioLightInfo();
            m.GetLightList();
            m.GetKeyList();
            m.GetDPIStages();
            m.GetActiveStage();
            m.GetSystemStages();
            m.GetCorrectInfo();
            k.GetSystemStages();
            k.GetCustomLightColors(1, 3);
            k.GetCustomLightColors(0, 3);
            k.GetCustomLightModeGroupIndex();
            h.GetSystemSetStages();
            h.GetEQValues(1);
            h.GetEQValues(2);
            h.GetCustomEQNames();
            h.GetCustomEQValues(0);
            k.SetKeyList(k.GetKeyList());
            m.SetDPIStages(m.GetDPIStages());
        }) << entry;
        EXPECT_EQ(h.GetEQValues(1).size(), 10u);
    }
}

}  // namespace
