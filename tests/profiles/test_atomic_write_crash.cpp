// A process killed at a random moment while it saves a profile over and over
// leaves a file that holds either the old or the new content.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "profiles/KeyboardProfiledata.h"
#include "tests/profiles/TempDir.h"

using namespace profiles;

namespace {

// A keyboard profile large enough that a write takes many system calls.
Json::Value ProfileWithColour(int value) {
    CKeyboardProfiledata p;
    p.UseProfileTree(
        CJsonFile::ParseJsonText(R"({"Device": [{}], "profilename": "P", "profileUUID": "id"})"));
    for (int group = 0; group < CKeyboardProfiledata::kMaxCustomGroups; ++group) {
        std::vector<CustomLightColor> colours(CKeyboardProfiledata::kMaxCustomColors,
                                              CustomLightColor{std::uint8_t(value), 1, 2, 255});
        p.SetCustomLightColors(colours, group);
    }
    Json::Value file;
    file["Device"][0] = p.GetActiveRoot();
    file["profilename"] = "P";
    file["profileUUID"] = "id";
    return file;
}

// Writes b, a, b, ... and reports each completed write with one byte on done.
[[noreturn]] void WriteForever(const std::string& path, const Json::Value& a, const Json::Value& b,
                               int done) {
    CJsonFile file;
    for (unsigned i = 0;; ++i) {
        if (!file.WriteJsonFile(path, (i & 1) ? a : b)) _exit(3);
        if (::write(done, "w", 1) != 1) _exit(4);
    }
}

TEST(AtomicWrite, KilledWriterLeavesOldOrNewContent) {
    TempDir dir;
    const std::string path = dir.File("profile.Json");
    const Json::Value a = ProfileWithColour(10);
    const Json::Value b = ProfileWithColour(20);
    CJsonFile file;
    ASSERT_TRUE(file.WriteJsonFile(path, a));

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> completed(0, 1);
    std::uniform_int_distribution<int> pause(0, 30000);  // microseconds, about one write
    constexpr int kRounds = 200;
    int sawA = 0, sawB = 0;
    for (int round = 0; round < kRounds; ++round) {
        int done[2];
        ASSERT_EQ(::pipe(done), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(done[0]);
            WriteForever(path, a, b, done[1]);
        }
        ::close(done[1]);
        // Let the writer finish 0 or 1 writes, then kill it at a random
        // moment of the following ones.
        char byte;
        for (int n = completed(random); n > 0; --n)
            ASSERT_EQ(::read(done[0], &byte, 1), 1);
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(done[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own, status " << status;

        const Json::Value now = file.ReadJsonFile(path);
        ASSERT_TRUE(now == a || now == b)
            << "round " << round << ": the file holds neither version";
        (now == a ? sawA : sawB)++;
    }
    // Both versions were seen, so the kills did land between and during writes.
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
}

}  // namespace
