#pragma once
// A DeviceChannel on a private simulated bus with one product plugged in.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "devices/DeviceChannel.h"
#include "hid/HidBus.h"
#include "sim/SimBus.h"
#include "sim/models/Models.h"

struct ChannelRig {
    explicit ChannelRig(const std::string& product, int latencyMs = 0)
        : bus(std::make_shared<sim::SimBus>()) {
        model = sim::models::MakeFirmwareModel(product);
        bus->SetLatencyMs(latencyMs);
        id = bus->Add(model);
        hid::SetActiveBus(bus);
        receiver = model->IsReceiver();
        std::vector<std::string> paths;
        bus->Enumerate(paths);
        const std::string marker =
            model->Kind() == sim::models::ModelKind::Headset ? "&mi_03" : "&col04";
        for (const auto& p : paths)
            if (p.find(marker) != std::string::npos) path = p;
        hid::CHidDevice& dev = receiver ? channel.ReceiverInterface() : channel.CableInterface();
        opened = dev.Open(path, true, true, true, false);
        channel.SetLinkType(receiver ? 2 : 1);
        channel.SetOpen(opened);
        channel.SetReportTrace([this](bool written, std::span<const uint8_t> r) {
            std::lock_guard lock(traceMutex);
            (written ? writes : reads).emplace_back(r.begin(), r.end());
        });
    }
    ~ChannelRig() {
        channel.SetReportTrace(nullptr);
        channel.CableInterface().Close();
        channel.ReceiverInterface().Close();
        hid::SetActiveBus(nullptr);
    }
    size_t Writes() {
        std::lock_guard lock(traceMutex);
        return writes.size();
    }
    size_t Reads() {
        std::lock_guard lock(traceMutex);
        return reads.size();
    }

    std::shared_ptr<sim::SimBus> bus;
    std::shared_ptr<sim::models::FirmwareModel> model;
    int id = 0;
    bool receiver = false;
    bool opened = false;
    std::string path;
    devices::DeviceChannel channel;
    std::mutex traceMutex;
    std::vector<std::vector<uint8_t>> writes, reads;
};
