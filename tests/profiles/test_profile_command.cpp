// brommelivantos-ctl profile show, run as the built program.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <filesystem>

#include "tests/profiles/TempDir.h"

namespace {

struct CtlRun {
    int status = -1;
    std::string out;
};

// Runs the tool with the given arguments and environment prefix; stderr is
// folded into the output.
CtlRun Ctl(const std::string& env, const std::string& args) {
    const std::string command = env + " '" BROM_CTL_PATH "' " + args + " 2>&1";
    CtlRun r;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        r.out.append(buffer, n);
    int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string ProgramEnv(const TempDir& dir) {
    const char* src = ::getenv("BROMMELIVANTOS_SOURCE_DIR");
    return "XDG_DATA_HOME='" + dir.File("data") + "' BROMMELIVANTOS_PROGRAM_DIR='" +
           std::string(src ? src : ".") + "'";
}

TEST(ProfileCommand, ShowsKeysInHexWithTheirDefaults) {
    TempDir dir;
    const std::string path = dir.Write(
        "p.Json",
        R"({"Device": [{"KeyList": [{"Assignment": 7340290, "DefaultAssignment": 1048832}],
                                   "DPIStages": {"StageActive": 1, "StageDPIs": [{"StageActive": 1, "StageDPIX": 31,
                                   "StageDPIY": 31, "StageColorR": 255}]},
                                   "LightInfo": {"SelectItem": 2, "Red": 255}}], "profilename": "Mine"})");
    const CtlRun r = Ctl(ProgramEnv(dir), "profile show mouse '" + path + "'");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("name: Mine"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0: 70 01 02  default 10 01 00  (changed)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("mode 2 "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("x 31  y 31  colour ff 00 00"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("unreadable"), std::string::npos) << r.out;
}

TEST(ProfileCommand, UnreadableFileShowsTheFactoryDefaultsAndSucceeds) {
    TempDir dir;
    const std::string path = dir.Write("broken.Json", "{ not json");
    const CtlRun r = Ctl(ProgramEnv(dir), "profile show keyboard '" + path + "'");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("unreadable"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("factory defaults"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("125: 20 80 00  default 20 80 00"), std::string::npos) << r.out;
    EXPECT_EQ(TempDir::Read(path), "{ not json") << "the viewer never writes";
}

TEST(ProfileCommand, WithoutFileShowsTheSelectedProfileOfTheDeviceFolder) {
    TempDir dir;
    std::filesystem::create_directories(dir.File("data/BROMMELIVANTOS/HD"));
    dir.Write(
        "data/BROMMELIVANTOS/HD/ProfileList.ini",
        R"({"profilelist": [{"profilename": "A", "profileUUID": "a"}, {"profilename": "B", "profileUUID": "b"}],
                  "profileselect": 1})");
    dir.Write("data/BROMMELIVANTOS/HD/b.Json",
              R"({"Device": [{"SystemSetStages": {"EqType": 13, "CustomEqSeletIndex": 0},
                              "CustomEQNameInfo": [{"Name": "Bass"}],
                              "CustomEQHzValueInfo": [[{"value": 5}, {"value": 4}]]}], "profilename": "B"})");
    const CtlRun r = Ctl(ProgramEnv(dir), "profile show headset");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("b.Json"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("equaliser (custom 0): 5 4 0 0 0 0 0 0 0 0"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("custom equaliser \"Bass\""), std::string::npos) << r.out;
}

TEST(ProfileCommand, BadUsageAndMissingListFail) {
    TempDir dir;
    const struct {
        const char* args;
        int status;
    } cases[] = {{"profile", 2},
                 {"profile show", 2},
                 {"profile show toaster", 2},
                 {"profile list mouse", 2},
                 {"profile show mousepad", 1}};
    for (const auto& c : cases) {
        const CtlRun r = Ctl(ProgramEnv(dir), c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.out;
        EXPECT_FALSE(r.out.empty()) << c.args;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("data"))) << "the viewer creates no folders";
}

}  // namespace
