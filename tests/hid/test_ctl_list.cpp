// brommelivantos-ctl list, run as a program: against the simulated products,
// against a fixture hidraw tree, and as a user who may not open the nodes.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "hid/Catalog.h"
#include "sim/Descriptors.h"
#include "tests/hid/HidrawFixture.h"

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out, err;
};

std::string Drain(int fd) {
    std::string text;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        text.append(buf, size_t(n));
    ::close(fd);
    return text;
}

// Runs the tool with extra environment entries; dropRights runs it in a new
// user namespace, where files of the real root are out of reach.
ToolRun RunTool(const std::vector<std::string>& args, const std::vector<std::string>& env,
                bool dropRights = false) {
    int outPipe[2], errPipe[2];
    if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        if (dropRights && ::unshare(CLONE_NEWUSER) != 0) ::_exit(77);
        std::vector<std::string> words = {BROM_CTL_PATH};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv, envp;
        for (auto& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        std::vector<std::string> environment = env;
        environment.push_back("PATH=/usr/bin:/bin");
        for (auto& e : environment)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ToolRun r;
    r.out = Drain(outPipe[0]);
    r.err = Drain(errPipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::vector<std::vector<std::string>> Lines(const std::string& out) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream f(line);
        std::string field;
        while (std::getline(f, field, '\t'))
            fields.push_back(field);
        lines.push_back(fields);
    }
    return lines;
}

// A line must say exactly what the row of the table says.
void ExpectLineMatchesItsRow(const std::vector<std::string>& f) {
    ASSERT_EQ(f.size(), 9u);
    const size_t row = std::stoul(f[0]);
    ASSERT_LT(row, hid::kInterfaceRowCount);
    const hid::HidInterfaceEntry& e = hid::InterfaceTable()[row];
    char text[64];
    EXPECT_EQ(f[1], std::to_string(e.typeCode));
    EXPECT_EQ(f[2], std::to_string(e.channel));
    std::snprintf(text, sizeof text, "%04x:%04x", e.vendorId, e.productId);
    EXPECT_EQ(f[3], text);
    EXPECT_EQ(f[4], std::to_string(e.interfaceNumber));
    EXPECT_EQ(f[5], std::to_string(e.collectionNumber));
    std::snprintf(text, sizeof text, "0x%04x", e.usagePage);
    EXPECT_EQ(f[6], text);
    std::snprintf(text, sizeof text, "0x%04x", e.usage);
    EXPECT_EQ(f[7], text);
    EXPECT_EQ(hid::FindInterfaceByPath(hid::ParseHidPathIds(f[8])), row) << f[8];
}

TEST(CtlList, SimulatedProductsListEveryTableRowOnce) {
    const ToolRun r = RunTool({"--simulate=all", "list"}, {});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 11u) << r.out;
    std::vector<bool> seen(hid::kInterfaceRowCount, false);
    for (const auto& f : lines) {
        ExpectLineMatchesItsRow(f);
        const size_t row = std::stoul(f[0]);
        EXPECT_FALSE(seen[row]) << "row " << row << " twice";
        seen[row] = true;
    }
}

TEST(CtlList, RealBusListsWellFormedLinesOnly) {
    const ToolRun r = RunTool({"list"}, {});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    for (const auto& f : Lines(r.out))
        ExpectLineMatchesItsRow(f);
}

TEST(CtlList, FixtureTreeListsOurInterfacesInScanOrder) {
    testfixture::HidrawFixture fx;
    const std::vector<std::string> env = {"BROMMELIVANTOS_HIDRAW_SYSFS=" + fx.Roots().sysfsRoot,
                                          "BROMMELIVANTOS_HIDRAW_DEV=" + fx.Roots().devRoot};
    ToolRun r = RunTool({"list"}, env);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "") << "nothing present, nothing listed";

    fx.AddNode("hidraw0", 0x320F, 0x5084, 0, 0x0100, sim::BootKeyboardDescriptor());
    fx.AddNode("hidraw1", 0x320F, 0x5084, 1, 0x0100, sim::CommandInterfaceDescriptor());
    fx.AddNode("hidraw2", 0x1234, 0x5678, 1, 0x0100, sim::CommandInterfaceDescriptor());
    fx.AddNode("hidraw3", 0x0C76, 0x1630, 3, 0x0100, sim::HeadsetDescriptor());
    r = RunTool({"list"}, env);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0][0], "1");  // col03, then col04, then the headset
    EXPECT_EQ(lines[1][0], "0");
    EXPECT_EQ(lines[2][0], "10");
    for (const auto& f : lines)
        ExpectLineMatchesItsRow(f);
    EXPECT_EQ(lines[2][8], fx.DevPath("hidraw3") + "#vid_0c76&pid_1630&mi_03");

    // A user without access to the nodes still sees them, with a hint. Mode 0
    // so that no rule of the machine lets the namespace's unmapped user in.
    ASSERT_EQ(::chmod(fx.Root().c_str(), 0755), 0);
    for (const char* node : {"hidraw1", "hidraw3"}) {
        const auto target = std::filesystem::read_symlink(fx.DevPath(node));
        ASSERT_EQ(::chmod(target.c_str(), 0), 0);
    }
    r = RunTool({"list"}, env, true);
    if (r.exitCode == 77) GTEST_SKIP() << "no user namespaces here";
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 3u) << r.out;
    EXPECT_NE(r.err.find("no permission"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("udev rules"), std::string::npos) << r.err;
}

TEST(CtlList, UnknownSimulatedProductIsRefused) {
    const ToolRun r = RunTool({"--simulate=mouse,trackball", "list"}, {});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("trackball"), std::string::npos) << r.err;
}

}  // namespace
