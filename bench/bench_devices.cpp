// Exchange round-trip and chunked transfers of the command channel over the
// simulated bus, with 0 ms and 1 ms per-report latency (1 ms models a
// full-speed USB interrupt endpoint).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "devices/DeviceChannel.h"
#include "hid/HidBus.h"
#include "sim/SimBus.h"
#include "sim/models/Models.h"

namespace {

struct Rig {
    Rig(const std::string& product, int latencyMs) : bus(std::make_shared<sim::SimBus>()) {
        auto model = sim::models::MakeFirmwareModel(product);
        receiver = model->IsReceiver();
        bus->SetLatencyMs(latencyMs);
        bus->Add(model);
        hid::SetActiveBus(bus);
        std::vector<std::string> paths;
        bus->Enumerate(paths);
        for (const auto& p : paths) {
            if (p.find("&col04") == std::string::npos) continue;
            auto& dev = receiver ? channel.ReceiverInterface() : channel.CableInterface();
            ok = dev.Open(p, true, true, true, false);
        }
        channel.SetLinkType(receiver ? 2 : 1);
        channel.SetOpen(ok);
    }
    ~Rig() {
        channel.CableInterface().Close();
        channel.ReceiverInterface().Close();
        hid::SetActiveBus(nullptr);
    }
    std::shared_ptr<sim::SimBus> bus;
    devices::DeviceChannel channel;
    bool receiver = false;
    bool ok = false;
};

void BM_ExchangeRoundTrip(benchmark::State& state) {
    Rig rig("keyboard", static_cast<int>(state.range(0)));
    if (!rig.ok) state.SkipWithError("no simulated keyboard");
    const auto cmd = devices::CommandReport::Make(devices::kCmdBeginWrite);
    std::vector<uint8_t> answer(64);
    size_t got = 0;
    for (auto _ : state) {
        if (rig.channel.ExchangeQuiet(cmd.bytes, answer, &got) != devices::kResultOk)
            state.SkipWithError("exchange failed");
    }
}
BENCHMARK(BM_ExchangeRoundTrip)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The keyboard's 384-byte key table: 7 reports on the cable, 16 through the
// receiver.
void BM_KeyTableRead(benchmark::State& state, const char* product) {
    Rig rig(product, static_cast<int>(state.range(0)));
    if (!rig.ok) state.SkipWithError("no simulated keyboard");
    rig.channel.SetConfigLength(384);
    std::vector<uint8_t> table(384);
    for (auto _ : state) {
        if (rig.channel.ReadKeyTable(table) != devices::kResultOk)
            state.SkipWithError("transfer failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 384);
}
BENCHMARK_CAPTURE(BM_KeyTableRead, cable, "keyboard")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_KeyTableRead, receiver, "keyboard-receiver")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
