// brommelivantos-ctl watch against the simulated products.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string RunCtl(const std::string& args, int* rc) {
    const char* ctl = std::getenv("BROM_CTL");
    std::string out;
    FILE* p = popen((std::string(ctl ? ctl : "brommelivantos-ctl") + " " + args).c_str(), "r");
    if (!p) return out;
    char buf[512];
    while (fgets(buf, sizeof buf, p))
        out += buf;
    *rc = pclose(p);
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

}  // namespace

TEST(CtlWatch, ReportsEveryPresentInterfaceAsArrival) {
    int rc = -1;
    const auto lines = Lines(RunCtl("--simulate=all watch --count 11", &rc));
    EXPECT_EQ(rc, 0);
    ASSERT_EQ(lines.size(), 11u);
    for (const auto& l : lines) {
        EXPECT_NE(l.find("\tarrived\t"), std::string::npos) << l;
        EXPECT_NE(l.find("sim/"), std::string::npos) << l;
    }
}

TEST(CtlWatch, SecondsLimitEndsCleanlyAndBadArgumentsFail) {
    int rc = -1;
    const auto lines = Lines(RunCtl("--simulate=mousepad watch --seconds 0.5", &rc));
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(lines.size(), 2u);
    RunCtl("--simulate=mousepad watch --count x 2>/dev/null", &rc);
    EXPECT_NE(rc, 0);
}

TEST(CtlWatch, SigtermEndsWithExitZero) {
    const char* ctl = std::getenv("BROM_CTL");
    const std::string cmd = std::string("sh -c '") + (ctl ? ctl : "brommelivantos-ctl") +
                            " --simulate=headset watch >/dev/null & pid=$!; sleep 0.5; kill -TERM "
                            "$pid; wait $pid; echo $?'";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[64];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    EXPECT_EQ(out, "0\n");
}
