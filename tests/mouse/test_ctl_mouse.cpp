// The mouse commands of brommelivantos-ctl, run as a program against the
// simulated mouse on the cable and through the receiver.
#include <gtest/gtest.h>
#include <json/value.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "profiles/JsonFile.h"

namespace {

struct CtlRun {
    int exitCode = -1;
    std::string out;
};

class CtlMouse : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/brom-ctl-mouse-XXXXXX";
        home_ = mkdtemp(tmpl);
        folder_ = home_ + "/BROMMELIVANTOS/mouse/";
        std::filesystem::create_directories(folder_);
        const char* src = std::getenv("BROMMELIVANTOS_SOURCE_DIR");
        factory_ = std::string(src ? src : ".") + "/DefaultData/mouse.Json";
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(home_, ec);
    }
    // Runs the tool on the simulated product of the test with a private data
    // folder; stderr joins stdout.
    CtlRun Ctl(const std::string& args) const {
        const char* tool = std::getenv("BROM_CTL");
        CtlRun r;
        if (!tool) return r;
        const std::string cmd = "XDG_DATA_HOME='" + home_ + "' '" + tool +
                                "' --simulate=" + GetParam() + " " + args + " 2>&1";
        FILE* p = popen(cmd.c_str(), "r");
        if (!p) return r;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            r.out.append(buf, n);
        const int status = pclose(p);
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return r;
    }
    std::string home_, folder_, factory_;
    profiles::CJsonFile json_;
};

// The settings memory written in a trace: the data of every WriteMemory
// report ("> " lines, code 0x06) placed at its offset.
std::vector<uint8_t> WrittenMemory(const std::string& trace) {
    std::vector<uint8_t> mem;
    std::istringstream in(trace);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("> ", 0) != 0) continue;
        std::vector<uint8_t> b;
        std::istringstream hex(line.substr(2));
        std::string byte;
        while (hex >> byte)
            b.push_back(static_cast<uint8_t>(std::stoul(byte, nullptr, 16)));
        if (b.size() != 64 || b[3] != 0x06) continue;
        const size_t len = b[4], at = b[5] | b[6] << 8;
        if (mem.size() < at + len) mem.resize(at + len);
        std::copy(b.begin() + 8, b.begin() + 8 + len, mem.begin() + at);
    }
    return mem;
}

TEST_P(CtlMouse, SettingsShowsTheDecodedPage) {
    const CtlRun text = Ctl("settings mouse");
    ASSERT_EQ(text.exitCode, 0) << text.out;
    // The simulated mouse's factory page: breathing, speed 2, profile 0 red.
    for (const char* line :
         {"current_profile: 0\n", "light_mode_code: 2\n", "brightness: 4\n", "speed: 2\n",
          "colour: ff0000\n", "polling_index: 3\n", "active_stage: 1\n",
          "stage 0: enabled 1  xy 0  x 2 (400 dpi)  y 2 (400 dpi)  colour ff0000\n",
          "stage 4: enabled 1  xy 0  x 55 (6400 dpi)  y 55 (6400 dpi)  colour ff00ff\n",
          "screen: 1920x1080\n", "correct_min_sq: 0\n"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "in\n" << text.out;

    const CtlRun js = Ctl("--json settings mouse");
    ASSERT_EQ(js.exitCode, 0) << js.out;
    const Json::Value v = profiles::CJsonFile::ParseJsonText(js.out);
    ASSERT_TRUE(v.isObject()) << js.out;
    EXPECT_EQ(v["active_stage"].asInt(), 1);
    ASSERT_EQ(v["stages"].size(), 5u);
    EXPECT_EQ(v["stages"][3]["x_dpi"].asInt(), 3200);
    EXPECT_EQ(v["screen_width"].asInt(), 1920);
}

TEST_P(CtlMouse, SetDpiConvertsAndClamps) {
    struct Case {
        const char* args;
        const char* said;
    };
    for (const Case c : {Case{"2 5200", "stage 2: 5200 DPI (49 steps)"},
                         Case{"1 150", "stage 1: 200 DPI (0 steps)"},
                         Case{"0 99999", "stage 0: 26000 DPI (153 steps)"}}) {
        const CtlRun r = Ctl(std::string("set-dpi mouse ") + c.args);
        ASSERT_EQ(r.exitCode, 0) << r.out;
        EXPECT_NE(r.out.find(c.said), std::string::npos) << r.out;
    }
    // Each run is a fresh simulator: the written page shows in the run's trace.
    const CtlRun traced = Ctl("--trace set-dpi mouse 2 5200");
    ASSERT_EQ(traced.exitCode, 0) << traced.out;
    const std::vector<uint8_t> page = WrittenMemory(traced.out);
    ASSERT_GE(page.size(), 71u);
    EXPECT_EQ(page[14 + 9 * 2 + 2], 49);  // X steps of stage 2
    EXPECT_EQ(page[14 + 9 * 2 + 4], 49);  // Y steps
    EXPECT_EQ(page[14 + 9 * 1 + 2], 6);   // stage 1 as the mouse had it
    EXPECT_EQ(Ctl("set-dpi mouse 5 400").exitCode, 2);
    EXPECT_EQ(Ctl("set-dpi keyboard 1 400").exitCode, 2);
}

TEST_P(CtlMouse, ApplySendsTheProfileStepByStep) {
    // Three macros of 50 events used by three keys.
    Json::Value list(Json::objectValue);
    for (int m = 0; m < 3; ++m) {
        Json::Value e(Json::objectValue);
        e["MacroName"] = "m" + std::to_string(m);
        e["Guid"] = "g" + std::to_string(m);
        list["MacroInfo"].append(e);
        Json::Value file(Json::objectValue);
        for (int i = 0; i < 50; ++i) {
            Json::Value ev(Json::objectValue);
            ev["Type"] = 10;
            ev["Action"] = i % 2 ? "up" : "down";
            ev["Button"] = 4;
            ev["Delay"] = "20";
            file["Events"].append(ev);
        }
        ASSERT_TRUE(json_.WriteJsonFile(folder_ + "g" + std::to_string(m) + ".mac", file));
    }
    ASSERT_TRUE(json_.WriteJsonFile(folder_ + "macro.config", list));
    Json::Value profile = json_.ReadJsonFile(factory_);
    ASSERT_TRUE(profile.isObject());
    Json::Value& keys = profile["Device"][0]["KeyList"];
    keys[3]["Assignment"] = 0x700000;
    keys[4]["Assignment"] = 0x700100;
    keys[7]["Assignment"] = 0x700200;
    keys[6]["Assignment"] = 0x700900;  // no such macro: dropped to the default
    const std::string path = home_ + "/apply.Json";
    ASSERT_TRUE(json_.WriteJsonFile(path, profile));
    const std::string before = json_.StyledText(json_.ReadJsonFile(path));

    const CtlRun r = Ctl("apply mouse '" + path + "'");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    for (const char* line : {"read device: 1 (", "drop stale macros: changed\n", "settings: 1 (",
                             "used macros: 0 1 2\n", "macros: 0 (done)\n", "key table: 1 ("})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << " in\n" << r.out;
    EXPECT_LT(r.out.find("settings:"), r.out.find("macros: 0"));
    EXPECT_LT(r.out.find("macros: 0"), r.out.find("key table:"));
    EXPECT_EQ(json_.StyledText(json_.ReadJsonFile(path)), before) << "the file is not changed";

    EXPECT_EQ(Ctl("apply mouse /nonexistent.Json").exitCode, 2);
}

TEST_P(CtlMouse, ApplyReportsMacrosThatDoNotFit) {
    Json::Value list(Json::objectValue);
    Json::Value e(Json::objectValue);
    e["MacroName"] = "big";
    e["Guid"] = "big";
    list["MacroInfo"].append(e);
    Json::Value file(Json::objectValue);
    Json::Value ev(Json::objectValue);
    ev["Type"] = 10;
    ev["Action"] = "down";
    ev["Button"] = 4;
    ev["Delay"] = "1";
    for (int i = 0; i < 600; ++i)  // 16 + 6 + 2400 bytes in a 2048-byte memory
        file["Events"].append(ev);
    ASSERT_TRUE(json_.WriteJsonFile(folder_ + "big.mac", file));
    ASSERT_TRUE(json_.WriteJsonFile(folder_ + "macro.config", list));
    Json::Value profile = json_.ReadJsonFile(factory_);
    profile["Device"][0]["KeyList"][0]["Assignment"] = 0x700000;
    const std::string path = home_ + "/big.Json";
    ASSERT_TRUE(json_.WriteJsonFile(path, profile));
    const CtlRun r = Ctl("apply mouse '" + path + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("macros: 94 (too large"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("key table: skipped"), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(Links, CtlMouse, ::testing::Values("mouse", "mouse-receiver"));

}  // namespace
