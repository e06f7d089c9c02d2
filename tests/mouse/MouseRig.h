#pragma once
// A mouse engine on a private simulated bus: one mouse product (cable or
// receiver, optionally with changed firmware facts), a temporary device
// folder, and a profile copied from the factory profile.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
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

inline std::string SourceDefaultData() {
    const char* src = std::getenv("BROMMELIVANTOS_SOURCE_DIR");
    return std::string(src ? src : ".") + "/DefaultData/";
}

inline std::shared_ptr<sim::models::FirmwareModel> MakeMouse(
    const std::string& product, const sim::models::FirmwareFacts& facts) {
    for (const auto& p : sim::models::Products())
        if (product == p.name)
            return std::make_shared<sim::models::FirmwareModel>(p.name, p.vendorId, p.productId,
                                                                p.version, facts, p.receiver);
    return nullptr;
}

struct MouseRig {
    explicit MouseRig(const std::string& product,
                      const sim::models::FirmwareFacts& facts = sim::models::MouseFacts(),
                      int latencyMs = 0)
        : bus(std::make_shared<sim::SimBus>()), model(MakeMouse(product, facts)) {
        char tmpl[] = "/tmp/brom-mouse-XXXXXX";
        root = mkdtemp(tmpl);
        folder = root + "/mouse/";
        std::filesystem::create_directories(folder);
        profilePath = folder + "Profile1.Json";
        std::filesystem::copy_file(SourceDefaultData() + "mouse.Json", profilePath);
        profile.SetDefaultProfilePath(SourceDefaultData() + "mouse.Json");
        profile.SetProfilePath(profilePath);
        profile.LoadProfile(profilePath);

        bus->SetLatencyMs(latencyMs);
        id = bus->Add(model);
        hid::SetActiveBus(bus);
        std::vector<std::string> paths;
        bus->Enumerate(paths);
        std::string path;
        for (const auto& p : paths)
            if (p.find("&col04") != std::string::npos) path = p;
        hid::CHidDevice& dev =
            model->IsReceiver() ? channel.ReceiverInterface() : channel.CableInterface();
        opened = dev.Open(path, true, true, true, false);
        channel.SetLinkType(model->IsReceiver() ? 2 : 1);
        channel.SetOpen(opened);
        engine = std::make_unique<devices::mouse::CMouseEngine>(
            channel, profile, devices::mouse::MouseEngineFolders{folder, SourceDefaultData()});
        engine->LoadConfigLists();
        engine->SetScreenSize(2560, 1440);
    }
    ~MouseRig() {
        engine.reset();
        channel.CableInterface().Close();
        channel.ReceiverInterface().Close();
        hid::SetActiveBus(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }

    // Host reports with a command code since the last ClearHostReports.
    size_t Sent(uint8_t code) const {
        size_t n = 0;
        for (const auto& r : model->HostReports())
            if (r.size() > 3 && r[3] == code) ++n;
        return n;
    }
    std::vector<uint8_t> Page(size_t profileNumber = 0) const {
        const auto mem = model->Settings();
        return std::vector<uint8_t>(mem.begin() + profileNumber * 128,
                                    mem.begin() + profileNumber * 128 + 71);
    }

    // "macro.config" with one macro per entry of eventCounts, each with its
    // ".mac" file of that many key events.
    void WriteMacros(const std::vector<int>& eventCounts) {
        Json::Value list(Json::objectValue);
        for (size_t m = 0; m < eventCounts.size(); ++m) {
            const std::string guid = "macro_guid_" + std::to_string(m);
            Json::Value entry(Json::objectValue);
            entry["MacroName"] = "macro_" + std::to_string(m);
            entry["Guid"] = guid;
            list["MacroInfo"].append(entry);
            Json::Value file(Json::objectValue);
            file["Events"] = Json::Value(Json::arrayValue);
            for (int e = 0; e < eventCounts[m]; ++e) {
                Json::Value ev(Json::objectValue);
                ev["Type"] = 10;
                ev["Action"] = e % 2 ? "up" : "down";
                ev["Button"] = static_cast<int>(4 + m);
                ev["Delay"] = std::to_string(10 + e);
                file["Events"].append(ev);
            }
            file["Version"] = 64;
            ASSERT_TRUE(json.WriteJsonFile(folder + guid + ".mac", file));
        }
        ASSERT_TRUE(json.WriteJsonFile(folder + "macro.config", list));
    }

    // Sets key list entries of the profile (position, packed assignment).
    void Assign(std::initializer_list<std::pair<size_t, uint32_t>> keys) {
        auto list = profile.GetKeyList();
        for (const auto& [pos, a] : keys)
            list.at(pos).SetAssignment(a);
        profile.SetKeyList(list);
    }

    std::shared_ptr<sim::SimBus> bus;
    std::shared_ptr<sim::models::FirmwareModel> model;
    int id = 0;
    bool opened = false;
    std::string root, folder, profilePath;
    profiles::CJsonFile json;
    profiles::CMouseProfiledata profile;
    devices::DeviceChannel channel;
    std::unique_ptr<devices::mouse::CMouseEngine> engine;
};
