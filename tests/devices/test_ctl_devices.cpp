// The device commands of brommelivantos-ctl, run as a program against the
// simulated products.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct CtlRun {
    int exitCode = -1;
    std::string out;
};

// Runs the tool with the arguments; stderr goes to stdout when asked.
CtlRun Ctl(const std::string& args, bool mergeErr = false) {
    const char* tool = std::getenv("BROM_CTL");
    CtlRun r;
    if (!tool) return r;
    const std::string cmd =
        std::string("'") + tool + "' " + args + (mergeErr ? " 2>&1" : " 2>/dev/null");
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

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

}  // namespace

TEST(CtlDevices, InfoTraceShowsTwoReportsThroughTheReceiverAndOneOnTheCable) {
    ASSERT_NE(std::getenv("BROM_CTL"), nullptr);
    const CtlRun rx = Ctl("--simulate=mouse-receiver --trace info mouse");
    ASSERT_EQ(rx.exitCode, 0) << rx.out;
    const auto l = Lines(rx.out);
    ASSERT_GE(l.size(), 4u + 7u);
    // ReadInfo: 24 bytes at offset 0, then 10 at offset 24 (checksums 0x1b, 0x25).
    const std::string zeros = [] {
        std::string z;
        for (int i = 8; i < 64; ++i)
            z += " 00";
        return z;
    }();
    EXPECT_EQ(l[0], "> 04 1b 00 03 18 00 00 00" + zeros);
    EXPECT_EQ(l[1].substr(0, 14), "< 04 a8 03 03 ");
    EXPECT_EQ(l[2], "> 04 25 00 03 0a 18 00 00" + zeros);
    EXPECT_EQ(l[3].substr(0, 17), "< 04 25 00 03 0a ");
    EXPECT_EQ(l[1].size(), 2u + 64 * 3 - 1);
    const std::vector<std::string> fields(l.begin() + 4, l.end());
    EXPECT_EQ(fields[0], "keys: 12");
    EXPECT_EQ(fields[1], "macro_memory_bytes: 2048");
    EXPECT_EQ(fields[2], "dpi_code: 13093");
    EXPECT_EQ(fields[3], "dpi_step: 100");
    EXPECT_EQ(fields[4], "dpi_max_steps: 153");
    EXPECT_EQ(fields[5], "dpi_min: 200");
    EXPECT_EQ(fields[6].substr(0, 20), "raw: ef 50 05 01 00 ");
    EXPECT_EQ(fields[6].size(), 5u + 34 * 3 - 1);

    const CtlRun cable = Ctl("--simulate=mouse --trace info mouse");
    ASSERT_EQ(cable.exitCode, 0);
    const auto c = Lines(cable.out);
    ASSERT_GE(c.size(), 3u);
    EXPECT_EQ(c[0], "> 04 25 00 03 22 00 00 00" + zeros);
    EXPECT_EQ(c[1].substr(0, 2), "< ");
    EXPECT_EQ(c[2], "keys: 12");
}

TEST(CtlDevices, StatusReadMemoryAndLink) {
    const CtlRun pad = Ctl("--simulate=mousepad status mousepad");
    EXPECT_EQ(pad.exitCode, 0);
    EXPECT_EQ(pad.out, "battery: 100\ncharge_state: powered\nwireless: no\nphone: 2\n");
    EXPECT_EQ(
        Ctl("--simulate=mousepad --json status mousepad").out,
        "{\"battery\": 100, \"charge_state\": \"powered\", \"wireless\": \"no\", \"phone\": 2}\n");
    // Both paths present: the cable is used.
    const CtlRun mouse = Ctl("--simulate=mouse-receiver,mouse status mouse");
    EXPECT_EQ(mouse.out, "battery: 76\ncharge_state: battery\nwireless: no\nphone: none\n");
    const CtlRun rx = Ctl("--simulate=keyboard-receiver status keyboard");
    EXPECT_EQ(rx.out, "battery: 100\ncharge_state: powered\nwireless: yes\nphone: none\n");

    const CtlRun mem = Ctl("--simulate=keyboard read-memory keyboard 0x0 18");
    EXPECT_EQ(mem.exitCode, 0);
    EXPECT_EQ(mem.out, "00 03 04 02 00 01 00 80 ff 19 1a 1b 1c 1d 1e 1f\n00 21\n");

    EXPECT_EQ(Ctl("--simulate=mouse --trace link mouse").out, "up\n");  // nothing sent
    const CtlRun link = Ctl("--simulate=mouse-receiver --trace link mouse");
    EXPECT_EQ(Lines(link.out).size(), 3u);  // the link check and its answer
    EXPECT_EQ(Lines(link.out).back(), "up");
}

TEST(CtlDevices, FailuresGoToStderrWithNonZeroExit) {
    const CtlRun refused = Ctl("--simulate=mouse read-memory mouse 1020 10", true);
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_NE(refused.out.find("result -102"), std::string::npos) << refused.out;
    const CtlRun absent = Ctl("--simulate=keyboard info mousepad", true);
    EXPECT_NE(absent.exitCode, 0);
    EXPECT_NE(absent.out.find("no mousepad is connected"), std::string::npos) << absent.out;
    EXPECT_NE(Ctl("--simulate=mouse info trackball").exitCode, 0);
    EXPECT_NE(Ctl("--simulate=mouse read-memory mouse 65535 2").exitCode, 0);
    EXPECT_NE(Ctl("--simulate=mouse read-memory mouse ten 2").exitCode, 0);
    EXPECT_NE(Ctl("--simulate=mouse info").exitCode, 0);
}
