// The command channel against the firmware models on the simulated bus.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "devices/MacroImage.h"
#include "platform/Debug.h"
#include "tests/devices/ChannelRig.h"

using namespace devices;
using namespace std::chrono;
using Bytes = std::vector<uint8_t>;
using sim::models::Fault;
using sim::models::FaultKind;

namespace {

// Length and offset fields of every report the host wrote, as pairs.
std::vector<std::pair<int, int>> Chunks(const sim::models::FirmwareModel& m) {
    std::vector<std::pair<int, int>> out;
    for (const auto& r : m.HostReports())
        out.emplace_back(r[4], r[5] | (r[6] << 8));
    return out;
}

}  // namespace

TEST(DeviceChannel, ReadInfoTakesOneReportOnTheCableAndTwoThroughTheReceiver) {
    ChannelRig cable("mouse");
    ASSERT_TRUE(cable.opened) << cable.path;
    DeviceInfo info;
    EXPECT_EQ(cable.channel.ReadInfo(info), kResultOk);
    EXPECT_EQ(Chunks(*cable.model), (std::vector<std::pair<int, int>>{{34, 0}}));
    EXPECT_EQ(info.bytes, cable.model->Info());
    EXPECT_EQ(info.DpiCode(), 13093);

    ChannelRig rx("mouse-receiver");
    ASSERT_TRUE(rx.opened);
    DeviceInfo viaReceiver;
    EXPECT_EQ(rx.channel.ReadInfo(viaReceiver), kResultOk);
    EXPECT_EQ(Chunks(*rx.model), (std::vector<std::pair<int, int>>{{24, 0}, {10, 24}}));
    EXPECT_EQ(viaReceiver.bytes, rx.model->Info());
}

TEST(DeviceChannel, ExchangeTracesCommandAndAnswer) {
    ChannelRig rig("keyboard");
    std::vector<std::string> lines;
    platform::SetDebugSink([&](std::string_view l) { lines.emplace_back(l); });
    const CommandReport begin = CommandReport::Make(kCmdBeginWrite);
    Bytes answer(64, 0xEE);
    size_t got = 0;
    EXPECT_EQ(rig.channel.Exchange(begin.bytes, answer, &got), kResultOk);
    platform::SetDebugSink(nullptr);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "命令");
    EXPECT_EQ(lines[1],
              "04 01 00 01  00 00 00 00  00 00 00 00  00 00 00 00  00 00 00 00  00 00 00 00  "
              "00 00 00 00  00 00 00 00");
    EXPECT_EQ(lines[3], "返回");
    EXPECT_EQ(lines[4].substr(0, 12), "04 01 00 01 ");
    EXPECT_EQ(got, 64u);
    EXPECT_EQ(answer[3], 0x01);
    EXPECT_EQ(answer[63], 0);  // copied from the answer, not left over
    ASSERT_EQ(rig.writes.size(), 1u);
    EXPECT_EQ(rig.writes[0], Bytes(begin.bytes.begin(), begin.bytes.end()));
    EXPECT_EQ(rig.reads.size(), 1u);

    // The quiet exchange writes no trace lines.
    lines.clear();
    platform::SetDebugSink([&](std::string_view l) { lines.emplace_back(l); });
    EXPECT_EQ(rig.channel.ExchangeQuiet(begin.bytes, answer, &got), kResultOk);
    platform::SetDebugSink(nullptr);
    EXPECT_TRUE(lines.empty());
}

TEST(DeviceChannel, AnAnswerThatNeverMatchesEndsAfterTwoReads) {
    ChannelRig rig("mouse");
    Fault f{FaultKind::WrongCode, 1};
    f.answers = 3;
    rig.model->SetFault(f);
    const CommandReport cmd = CommandReport::Make(kCmdReadInfo, 34, 0);
    Bytes answer(64);
    size_t got = 0;
    EXPECT_EQ(rig.channel.Exchange(cmd.bytes, answer, &got), kResultOk);  // the read's result
    EXPECT_EQ(rig.Reads(), 2u);
    EXPECT_EQ(answer[3], 0x83);
    std::vector<uint8_t> left;
    EXPECT_TRUE(rig.model->TakeInput(4, left, 0, nullptr));  // the third was never read

    // A command never takes another command's answer as its own.
    rig.model->SetFault(f);
    DeviceInfo info;
    EXPECT_EQ(rig.channel.ReadInfo(info), kResultNoAnswer);
    EXPECT_EQ(info.bytes, (std::array<uint8_t, 34>{}));
}

TEST(DeviceChannel, UnreachableThroughTheReceiverAfterOneRead) {
    ChannelRig rig("keyboard-receiver");
    rig.model->SetLinkUp(false);
    const CommandReport cmd = CommandReport::Make(kCmdReadMemory, 1, 0);
    Bytes answer(64);
    size_t got = 0;
    const auto t0 = steady_clock::now();
    EXPECT_EQ(rig.channel.Exchange(cmd.bytes, answer, &got), kResultNotReachable);
    EXPECT_LT(steady_clock::now() - t0, milliseconds(2500));  // no second read's time-out
    EXPECT_EQ(rig.Reads(), 1u);
    uint8_t b = 0;
    EXPECT_EQ(rig.channel.ReadMemory(0, {&b, 1}), kResultNotReachable);
    EXPECT_FALSE(rig.channel.IsLinkUp());
    rig.model->SetLinkUp(true);
    EXPECT_TRUE(rig.channel.IsLinkUp());
}

TEST(DeviceChannel, LinkSettingsAndConfigLength) {
    ChannelRig rig("mouse");
    EXPECT_EQ(rig.channel.ChunkSize(), 56);
    EXPECT_EQ(rig.channel.SetConfigLength(36), kResultOk);
    EXPECT_EQ(rig.channel.SetConfigLength(513), kResultNoAnswer);
    EXPECT_EQ(rig.channel.ConfigLength(), 36);
    EXPECT_EQ(rig.channel.SetConfigLength(512), kResultOk);

    EXPECT_EQ(rig.channel.WriteKeyTable(Bytes(36, 1), 1), kResultBadBank);
    EXPECT_TRUE(rig.channel.IsLinkUp());  // cable: no report
    EXPECT_EQ(rig.model->HostReportCount(), 0u);

    rig.channel.SetLinkType(2);
    EXPECT_EQ(rig.channel.ChunkSize(), 24);
    EXPECT_TRUE(rig.channel.OnReceiver());
    rig.channel.SetLinkType(7);
    EXPECT_EQ(rig.channel.ChunkSize(), 56);
    EXPECT_FALSE(rig.channel.OnReceiver());
}

TEST(DeviceChannel, EndWritePausesBeforeItsReport) {
    ChannelRig rig("mousepad");
    EXPECT_EQ(rig.channel.BeginWrite(), kResultOk);
    const auto t0 = steady_clock::now();
    EXPECT_EQ(rig.channel.EndWrite(), kResultOk);
    EXPECT_GE(steady_clock::now() - t0, milliseconds(10));
    EXPECT_EQ(rig.model->CompletedWriteGroups(), 1u);
}

TEST(DeviceChannel, ClosedChannelSendsNothingAndIsNotLeftBusy) {
    ChannelRig rig("keyboard");
    rig.channel.SetOpen(false);
    DeviceInfo info;
    EXPECT_EQ(rig.channel.ReadInfo(info), kResultNoAnswer);
    EXPECT_EQ(rig.channel.StreamLight(Bytes(30, 1)), kResultNoAnswer);
    EXPECT_FALSE(rig.channel.IsBusy());
    EXPECT_EQ(rig.model->HostReportCount(), 0u);
    // After the failure the light stream still goes out.
    rig.channel.SetOpen(true);
    EXPECT_EQ(rig.channel.StreamLight(Bytes(30, 1)), kResultOk);
    EXPECT_EQ(rig.channel.DroppedLightChunks(), 0u);
    EXPECT_EQ(rig.model->LightFrameCount(), 1u);
}

TEST(DeviceChannel, RejectionsStopAChunkedTransferAtTheirChunk) {
    struct Case {
        uint8_t status;
        int result;
    };
    for (const Case c : {Case{0xFF, kResultRejectedFF}, Case{0xFE, kResultRejectedFE}}) {
        ChannelRig rig("mouse");
        Fault f{FaultKind::Status, 1};
        f.status = c.status;
        f.onlyCode = kCmdWriteMemory;
        f.skip = 1;
        rig.model->SetFault(f);
        Bytes data(150);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<uint8_t>(i + 1);
        EXPECT_EQ(rig.channel.WriteMemory(300, data), c.result);
        EXPECT_EQ(Chunks(*rig.model), (std::vector<std::pair<int, int>>{{56, 300}, {56, 356}}));
        const Bytes mem = rig.model->Settings();
        EXPECT_EQ(mem[300], 1);
        EXPECT_EQ(mem[355], 56);
        EXPECT_EQ(mem[356], 0);  // the refused chunk and those after it
    }
}

TEST(DeviceChannel, NoAnswerTimesOutWithZero) {
    ChannelRig rig("mouse");
    rig.model->SetFault({FaultKind::NoAnswer, 1});
    StatusBlock s;
    EXPECT_EQ(rig.channel.ReadStatus(s), kResultNoAnswer);  // two 1000 ms reads
    EXPECT_FALSE(rig.channel.IsBusy());
    EXPECT_EQ(rig.channel.ReadStatus(s), kResultOk);  // the next exchange starts clean
    EXPECT_EQ(s.Battery(), 76);
    EXPECT_FALSE(s.OnReceiver());
}

TEST(DeviceChannel, UnplugInTheMiddleOfAChunkedTransfer) {
    ChannelRig rig("keyboard");
    ASSERT_TRUE(rig.bus->UnplugAfterReports(rig.id, 3));  // chunk 1 and its answer, chunk 2
    const int r = rig.channel.WriteMemory(0, Bytes(200, 7));
    EXPECT_TRUE(r == kResultNoAnswer || r == kResultWriteFailed) << r;
    EXPECT_FALSE(rig.channel.IsBusy());
    DeviceInfo info;
    EXPECT_EQ(rig.channel.ReadInfo(info), kResultWriteFailed);
    EXPECT_EQ(rig.model->Settings()[55], 7);
    // Chunk 3 never arrived: the factory byte is still there.
    EXPECT_EQ(rig.model->Settings()[112], sim::models::KeyboardFacts().settings[112]);
    EXPECT_NE(rig.model->Settings()[112], 7);
}

TEST(DeviceChannel, KeyboardTransfersThroughTheReceiver) {
    ChannelRig rig("keyboard-receiver");
    ASSERT_EQ(rig.channel.SetConfigLength(384), kResultOk);
    Bytes table(384);
    EXPECT_EQ(rig.channel.ReadKeyTable(table), kResultOk);
    EXPECT_EQ(table, rig.model->KeyTable());
    EXPECT_EQ(rig.model->HostReportCount(), 16u);  // 384 / 24
    table[0] = 0x70;
    EXPECT_EQ(rig.channel.WriteKeyTable(table, 0), kResultOk);
    EXPECT_EQ(rig.model->KeyTable(), table);

    Bytes map(200, 0xEE);
    EXPECT_EQ(rig.channel.ReadKeyLightMap(map), kResultOk);  // 128 bytes, the rest untouched
    EXPECT_EQ(map[127], 127);
    EXPECT_EQ(map[128], 0xEE);

    Bytes colours(384);
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(rig.channel.WriteKeyColours(colours, 2), kResultOk);
    Bytes bank = rig.model->ColourBank(2);
    EXPECT_EQ(Bytes(bank.begin(), bank.begin() + 384), colours);
    Bytes back(384);
    EXPECT_EQ(rig.channel.ReadKeyColours(2, back), kResultOk);
    EXPECT_EQ(back, colours);

    Bytes frame(512);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<uint8_t>(255 - i % 256);
    EXPECT_EQ(rig.channel.StreamLight(frame), kResultOk);
    EXPECT_EQ(rig.model->LastLightFrame(), frame);

    EXPECT_EQ(rig.channel.HostLightControl(), kResultOk);
    EXPECT_TRUE(rig.model->HostLightControlOn());
}

TEST(DeviceChannel, MacrosAndFireKeyData) {
    ChannelRig rig("mouse-receiver");
    MacroImage image;
    image.AddMacro({{20, 1, true, 4}, {20, 1, false, 4}});
    Bytes bytes;
    ASSERT_TRUE(image.Build(bytes));
    EXPECT_EQ(rig.channel.WriteMacros(bytes), kResultOk);
    const Bytes mem = rig.model->MacroMemory();
    EXPECT_EQ(Bytes(mem.begin(), mem.begin() + long(bytes.size())), bytes);

    rig.model->ClearHostReports();
    const Bytes shoot(130, 0x5A);
    EXPECT_EQ(rig.channel.WriteShootData(shoot), kResultOk);  // 56-byte chunks also on the receiver
    EXPECT_EQ(Chunks(*rig.model), (std::vector<std::pair<int, int>>{{56, 0}, {56, 56}, {18, 112}}));

    // An image above the macro memory is refused by the device.
    Bytes tooBig(rig.model->MacroCapacity() + 4, 0);
    tooBig[0] = 0xAA, tooBig[1] = 0x55;
    tooBig[2] = static_cast<uint8_t>(tooBig.size()),
    tooBig[3] = static_cast<uint8_t>(tooBig.size() >> 8);
    EXPECT_EQ(rig.channel.WriteMacros(tooBig), kResultRejectedFF);
}

TEST(DeviceChannel, LightChunksAreDroppedWhileAnExchangeRuns) {
    ChannelRig rig("keyboard", 40);
    std::thread config([&] {
        Bytes page(34);
        rig.channel.ReadMemory(0, page);
    });
    while (!rig.channel.IsBusy())
        std::this_thread::yield();
    EXPECT_EQ(rig.channel.StreamLight(Bytes(112, 3)), kResultOk);  // counted as success
    config.join();
    EXPECT_GE(rig.channel.DroppedLightChunks(), 1u);
    EXPECT_FALSE(rig.channel.IsBusy());
}

TEST(DeviceChannel, HeadsetCommandsAndLedReportsShareItsOneCollection) {
    ChannelRig rig("headset");
    ASSERT_TRUE(rig.opened) << rig.path;
    Bytes page(21);
    EXPECT_EQ(rig.channel.ReadMemory(0, page), kResultOk);
    EXPECT_EQ(page[1], 2);
    StatusBlock s;
    EXPECT_EQ(rig.channel.ReadStatus(s), kResultOk);

    Bytes led(17, 0);
    led[0] = 0xFF, led[1] = 0x44, led[2] = 0xAB;
    led[4] = 247;
    EXPECT_TRUE(rig.channel.CableInterface().SetOutputReport(led.data(), led.size()));
    auto headset = std::dynamic_pointer_cast<sim::models::HeadsetModel>(rig.model);
    ASSERT_TRUE(headset);
    EXPECT_EQ(headset->LedRegister(0x44, 0xAB)[0], 247);
}

TEST(DeviceChannel, KeyEventsDecodeToTheirValueOnTheEventCollection) {
    for (const char* product : {"mouse", "headset"}) {
        ChannelRig rig(product);
        std::string eventPath = rig.path;  // the headset's one collection
        std::vector<std::string> paths;
        rig.bus->Enumerate(paths);
        for (const auto& p : paths)
            if (p.find("&col03") != std::string::npos) eventPath = p;
        hid::CHidDevice events;
        ASSERT_TRUE(events.Open(eventPath, true, true, true, false)) << eventPath;
        rig.model->RaiseProfileSwitch(3);
        rig.model->RaiseKeyPress(0x21);
        for (uint32_t expected : {0x1003u, 0x521u}) {
            auto& report = events.InputReport();
            size_t got = 0;
            ASSERT_TRUE(events.ReadReport(report.data(), report.size(), &got, 1000)) << product;
            ASSERT_TRUE(events.UnpackInputReport(report.data(), got)) << product;
            uint32_t value = 0;
            for (const auto& item : events.InputItems()) {
                if (!item.isButtonData && item.isDataSet) {
                    value = item.value;
                    break;
                }
            }
            EXPECT_EQ(value, expected) << product;
        }
    }
}
