// Folders, the name lists of a device page and the shipped default data.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "profiles/AppFolders.h"
#include "profiles/ConfigLists.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/Ze6533Profiledata.h"
#include "tests/profiles/TempDir.h"

using namespace profiles;

namespace {

// Sets an environment variable for one scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        const char* old = ::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { had_ ? ::setenv(name_, old_.c_str(), 1) : ::unsetenv(name_); }

  private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

std::string SourceDefaultData() {
    const char* root = ::getenv("BROMMELIVANTOS_SOURCE_DIR");
    return std::string(root ? root : ".") + "/DefaultData/";
}

TEST(AppFolders, FoldersAreBuiltOnTheUsersDataAndCreated) {
    TempDir dir;
    ScopedEnv data("XDG_DATA_HOME", dir.File("data"));
    ScopedEnv cache("XDG_CACHE_HOME", dir.File("cache"));
    ScopedEnv program("BROMMELIVANTOS_PROGRAM_DIR", dir.File("prog"));
    EXPECT_EQ(GetAppDataRoot(), dir.File("data/BROMMELIVANTOS/"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("data/BROMMELIVANTOS")));
    EXPECT_EQ(GetDeviceFolder("keyboard"), dir.File("data/BROMMELIVANTOS/keyboard/"));
    EXPECT_EQ(GetDeviceFolder("mouse"), dir.File("data/BROMMELIVANTOS/mouse/"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("data/BROMMELIVANTOS/mouse")));
    EXPECT_EQ(GetDefaultDataFolder(), dir.File("prog/DefaultData/"));
    EXPECT_EQ(GetDefaultProfilePath("HD"), dir.File("prog/DefaultData/HD.Json"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("prog")))
        << "the default data folder is never created";
    EXPECT_EQ(GetUpdateFolder(), dir.File("cache/BROMMELIVANTOS/UpdateData/"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("cache/BROMMELIVANTOS/UpdateData")));
}

TEST(ConfigLists, ListsAreReplacedOnlyWhenTheirElementIsPresent) {
    TempDir dir;
    ConfigListFiles files{
        dir.Write(
            "macro.config",
            R"({"MacroInfo": [{"MacroName": "Reload", "Guid": "g1"}, {"MacroName": "Jump"}]})"),
        dir.Write("default_light.json",
                  R"({"DefaultLightName": [[{"LightName": "Wave", "visible": true, "value": 0}],
                                            [{"LightName": "Static", "visible": false, "value": 3},
                                             {"LightName": "Off", "visible": 1, "value": 10}]],
                      "AreaLightName": [[{"LightName": "Keys"}], "not a table"]})"),
        dir.Write("korva_light.config",
                  R"({"LightInfo": [[], [{"LightName": "Mine", "Guid": "x"}]]})"),
        1};
    ConfigLists lists;
    lists.zoneNames = {"previous zone"};
    LoadConfigLists(lists, files);
    EXPECT_EQ(lists.macroNames, (std::vector<std::string>{"Reload", "Jump"}));
    ASSERT_EQ(lists.modes.size(), 2u);
    EXPECT_EQ(lists.modes[0].name, "Static");
    EXPECT_FALSE(lists.modes[0].visible);
    EXPECT_TRUE(lists.modes[1].visible);
    EXPECT_EQ(lists.ModeCode(1), 10);
    EXPECT_EQ(lists.ModeCode(2), -1);
    EXPECT_EQ(lists.ModeIndexOf(3), 0);
    EXPECT_EQ(lists.ModeIndexOf(0xFE), -1);
    EXPECT_EQ(lists.zoneNames, (std::vector<std::string>{"previous zone"}))
        << "element of the wrong type";
    EXPECT_EQ(lists.customEffectNames, (std::vector<std::string>{"Mine"}));

    // Table 3 is missing everywhere: only the macro names are emptied.
    files.lightTable = 3;
    files.macroList = dir.File("absent.config");
    LoadConfigLists(lists, files);
    EXPECT_TRUE(lists.macroNames.empty());
    EXPECT_EQ(lists.modes.size(), 2u);
    EXPECT_EQ(lists.customEffectNames, (std::vector<std::string>{"Mine"}));
    // A present but empty element empties its list.
    files.lightTable = 0;
    LoadConfigLists(lists, files);
    EXPECT_TRUE(lists.customEffectNames.empty());
    EXPECT_EQ(lists.zoneNames, (std::vector<std::string>{"Keys"}));
}

// The shipped data: every file parses, and the tables hold what the devices
// rely on.
TEST(DefaultData, EveryFileParsesAndGunsHoldThirtyBullets) {
    CJsonFile file;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SourceDefaultData())) {
        if (!entry.is_regular_file()) continue;
        ++files;
        const Json::Value v = file.ReadJsonFile(entry.path().string());
        EXPECT_TRUE(v.isObject()) << entry.path();
    }
    EXPECT_GE(files, 13);
    for (int g = 0; g < 4; ++g) {
        const Json::Value gun =
            file.ReadJsonFile(SourceDefaultData() + "ShootData_" + std::to_string(g) + ".Shoot");
        EXPECT_EQ(gun["Events"].size(), 180u) << g;
    }
}

TEST(DefaultData, LightingNamesCoverEveryDevicesModes) {
    const std::string folder = SourceDefaultData();
    const size_t modeCounts[4] = {30, 12, 9, 9};  // keyboard, mouse, pad, headset
    for (int table = 0; table < 4; ++table) {
        ConfigLists lists;
        LoadConfigLists(lists,
                        {"", folder + "default_light.json", folder + "korva_light.config", table});
        ASSERT_EQ(lists.modes.size(), modeCounts[table]) << table;
        for (size_t i = 0; i < lists.modes.size(); ++i) {
            EXPECT_FALSE(lists.modes[i].name.empty()) << table << " " << i;
            EXPECT_EQ(lists.ModeIndexOf(lists.modes[i].code), int(i)) << "codes are distinct";
        }
        EXPECT_FALSE(lists.zoneNames.empty()) << table;
        EXPECT_FALSE(lists.customEffectNames.empty()) << table;
    }
    ConfigLists keyboard;
    LoadConfigLists(keyboard, {"", folder + "default_light.json", "", 0});
    EXPECT_EQ(keyboard.ModeCode(28), 0x1C);
    EXPECT_EQ(keyboard.ModeCode(29), 0x1D);
}

TEST(DefaultData, FactoryProfilesHoldTheDefaultsOfEachKind) {
    const std::string folder = SourceDefaultData();
    CJsonFile file;

    CMouseProfiledata mouse;
    ASSERT_TRUE(mouse.UseProfileTree(file.ReadJsonFile(folder + "mouse.Json")));
    const std::vector<KeyRecord> mouseKeys = mouse.GetKeyList();
    ASSERT_EQ(mouseKeys.size(), 11u);
    EXPECT_EQ(mouseKeys[0].DefaultAssignment(), 0x100100);
    EXPECT_EQ(mouseKeys[9].DefaultAssignment(), 0x169001);
    EXPECT_EQ(mouseKeys[10].DefaultAssignment(), 0x147802);
    for (const KeyRecord& k : mouseKeys)
        EXPECT_TRUE(k.IsDefault());
    const std::vector<DPIStage> stages = mouse.GetDPIStages();
    ASSERT_EQ(stages.size(), 5u);
    for (size_t i = 0; i < stages.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            EXPECT_FALSE(stages[i].red == stages[j].red && stages[i].green == stages[j].green &&
                         stages[i].blue == stages[j].blue)
                << "stage colours are distinct";
        }
    }
    EXPECT_FALSE(mouse.GetCorrectInfo().empty());

    CKeyboardProfiledata keyboard;
    ASSERT_TRUE(keyboard.UseProfileTree(file.ReadJsonFile(folder + "keyboard.Json")));
    const std::vector<KeyRecord> keys = keyboard.GetKeyList();
    ASSERT_EQ(keys.size(), 126u);
    EXPECT_EQ(keys[0].DefaultAssignment(), 0x200029);
    EXPECT_EQ(keys[16].DefaultAssignment(), 0xA01B00);
    EXPECT_EQ(keys[84].DefaultAssignment(), 0x200200);
    EXPECT_EQ(keys[124].DefaultAssignment(), 0xD0A205);
    EXPECT_EQ(keys[125].DefaultAssignment(), 0x208000);
    EXPECT_TRUE(keyboard.GetActiveRoot().isMember("AudioLightInfo"));
    EXPECT_TRUE(keyboard.GetActiveRoot().isMember("CustomLightMode"));

    CZe6533Profiledata headset;
    ASSERT_TRUE(headset.UseProfileTree(file.ReadJsonFile(folder + "HD.Json")));
    const Json::Value before = headset.GetActiveRoot();
    const std::vector<std::vector<int>> presets = {
        {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},   {7, 11, 6, -3, -11, -1, 6, 13, 6, 13},
        {10, 4, 0, -3, -4, -3, -2, -1, 0, 0}, {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},       {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
        {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},  {2, 1, -2, -3, -5, -1, 7, 11, 15, 13},
        {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},  {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},
        {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},  {2, 1, -2, -4, -8, 4, 12, 16, 18, 15}};
    for (int t = 1; t <= 12; ++t)
        EXPECT_EQ(headset.GetEQValues(t), presets[size_t(t - 1)]) << t;
    EXPECT_EQ(headset.GetActiveRoot(), before) << "a complete template needs no created elements";
    EXPECT_TRUE(headset.GetCustomEQNames().empty());
    EXPECT_EQ(headset.GetSystemSetStages()[2], 5);

    CBasicProfiledata pad;
    EXPECT_TRUE(pad.UseProfileTree(file.ReadJsonFile(folder + "MousePad.Json")));
    EXPECT_EQ(pad.GetLightInfo().light, 4);

    // The example custom effect is found from the light configuration.
    TempDir device;
    std::filesystem::copy_file(folder + "korva_light.config", device.File("korva_light.config"));
    std::filesystem::copy_file(folder + "example_effect.light",
                               device.File("example_effect.light"));
    pad.LoadLightConfig(device.File("korva_light.config"));
    LightInfo first;
    pad.SetLightInfo(first);
    EXPECT_EQ(pad.GetCustomEffectList().size(), 4u);
}

}  // namespace
