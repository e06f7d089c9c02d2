// The whole-profile apply of the mouse (settings page, three macros of 50
// events used by three keys, key table) over the simulated bus at 1 ms per
// report, on the cable and through the receiver.
//
// Counters: reports (written and read) per apply, and limit_ms: 2 ms per
// report plus the mandated pauses (10 ms before each of the three EndWrite
// commands). ratio = measured time / limit; the goal is at most 1.2.
#include <benchmark/benchmark.h>
#include <json/value.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "devices/DeviceChannel.h"
#include "devices/mouse/MouseEngine.h"
#include "hid/HidBus.h"
#include "profiles/JsonFile.h"
#include "profiles/MouseProfiledata.h"
#include "sim/SimBus.h"
#include "sim/models/Models.h"

namespace {

std::string DefaultData() {
    const char* src = std::getenv("BROMMELIVANTOS_SOURCE_DIR");
    return std::string(src ? src : BROM_SOURCE_DIR) + "/DefaultData/";
}

struct ApplyRig {
    ApplyRig(const char* product, int latencyMs) : bus(std::make_shared<sim::SimBus>()) {
        char tmpl[] = "/tmp/brom-bench-mouse-XXXXXX";
        root = mkdtemp(tmpl);
        folder = root + "/";
        WriteMacros();
        const std::string profilePath = folder + "Profile1.Json";
        std::filesystem::copy_file(DefaultData() + "mouse.Json", profilePath);
        profile.SetProfilePath(profilePath);
        profile.LoadProfile(profilePath);
        auto keys = profile.GetKeyList();
        keys[3].SetAssignment(0x700000);
        keys[4].SetAssignment(0x700100);
        keys[7].SetAssignment(0x700200);
        profile.SetKeyList(keys);

        auto model = sim::models::MakeFirmwareModel(product);
        bus->SetLatencyMs(latencyMs);
        bus->Add(model);
        hid::SetActiveBus(bus);
        std::vector<std::string> paths;
        bus->Enumerate(paths);
        for (const auto& p : paths)
            if (p.find("&col04") != std::string::npos) {
                auto& dev =
                    model->IsReceiver() ? channel.ReceiverInterface() : channel.CableInterface();
                ok = dev.Open(p, true, true, true, false);
            }
        channel.SetLinkType(model->IsReceiver() ? 2 : 1);
        channel.SetOpen(ok);
        channel.SetReportTrace([this](bool, std::span<const uint8_t>) { ++reports; });
        engine = std::make_unique<devices::mouse::CMouseEngine>(
            channel, profile, devices::mouse::MouseEngineFolders{folder, DefaultData()});
        engine->LoadConfigLists();
        engine->SetScreenSize(1920, 1080);
        ok = ok && engine->ReadStartup() == 1 && engine->ReloadSettings() == 1;
    }
    ~ApplyRig() {
        engine.reset();
        channel.SetReportTrace(nullptr);
        channel.CableInterface().Close();
        channel.ReceiverInterface().Close();
        hid::SetActiveBus(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    void WriteMacros() {
        profiles::CJsonFile json;
        Json::Value list(Json::objectValue);
        for (int m = 0; m < 3; ++m) {
            Json::Value entry(Json::objectValue);
            entry["MacroName"] = "m" + std::to_string(m);
            entry["Guid"] = "g" + std::to_string(m);
            list["MacroInfo"].append(entry);
            Json::Value file(Json::objectValue);
            for (int e = 0; e < 50; ++e) {
                Json::Value ev(Json::objectValue);
                ev["Type"] = 10;
                ev["Action"] = e % 2 ? "up" : "down";
                ev["Button"] = 4 + m;
                ev["Delay"] = "30";
                file["Events"].append(ev);
            }
            json.WriteJsonFile(folder + "g" + std::to_string(m) + ".mac", file);
        }
        json.WriteJsonFile(folder + "macro.config", list);
    }

    std::shared_ptr<sim::SimBus> bus;
    std::string root, folder;
    profiles::CMouseProfiledata profile;
    devices::DeviceChannel channel;
    std::unique_ptr<devices::mouse::CMouseEngine> engine;
    std::atomic<uint64_t> reports{0};
    bool ok = false;
};

void BM_MouseWholeProfileApply(benchmark::State& state, const char* product) {
    ApplyRig rig(product, static_cast<int>(state.range(0)));
    if (!rig.ok) {
        state.SkipWithError("simulated mouse not ready");
        return;
    }
    uint64_t reports = 0;
    double seconds = 0;
    for (auto _ : state) {
        const uint64_t before = rig.reports.load();
        const auto t0 = std::chrono::steady_clock::now();
        const auto r = rig.engine->ApplyWholeProfile();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        reports += rig.reports.load() - before;
        if (r.settings != 1 || r.macros != 0 || !r.keys || *r.keys != 1)
            state.SkipWithError("apply failed");
    }
    const double n = static_cast<double>(state.iterations());
    const double perApply = static_cast<double>(reports) / n;
    const double limitMs = 2.0 * perApply + 3 * devices::DeviceChannel::kEndWritePauseMs;
    state.counters["reports"] = perApply;
    state.counters["limit_ms"] = limitMs;
    state.counters["apply_ms"] = seconds * 1000.0 / n;
    state.counters["ratio"] = seconds * 1000.0 / n / limitMs;
}
BENCHMARK_CAPTURE(BM_MouseWholeProfileApply, cable, "mouse")
    ->Arg(1)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MouseWholeProfileApply, receiver, "mouse-receiver")
    ->Arg(1)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

}  // namespace
