#pragma once
// Shared by the mouse page tests: what the simulated mouse should hold and
// what it was sent.
#include <cstdint>
#include <memory>
#include <vector>

#include "app/pages/MouseDevice.h"
#include "devices/mouse/MouseSettingsPage.h"
#include "profiles/MouseProfiledata.h"
#include "sim/models/FirmwareModel.h"

namespace mousepage {

// The settings page the mouse's profile describes.
inline std::vector<uint8_t> ExpectedPage(app::pages::CTervanicMouseDevice& mouse) {
    profiles::CMouseProfiledata& p = mouse.Profile();
    devices::mouse::MouseSettingsSource src;
    src.light = p.GetLightInfo();
    src.pollingIndex = uint8_t(p.GetSystemStages()[2] >> 16);
    src.activeStage = uint8_t(p.GetActiveStage());
    src.stages = p.GetDPIStages();
    src.corrections = p.GetCorrectInfo();
    src.screenWidth = mouse.ScreenWidth();
    src.screenHeight = mouse.ScreenHeight();
    const auto built = devices::mouse::BuildSettingsPage(src, mouse.Engine()->Lists());
    return {built.bytes.begin(), built.bytes.end()};
}

// Page 0 of the simulated mouse's settings memory.
inline std::vector<uint8_t> MousePage(const sim::models::FirmwareModel& model) {
    const auto mem = model.Settings();
    return {mem.begin(), mem.begin() + devices::mouse::MouseSettingsPage::kSize};
}

// Host reports with a command code since the last ClearHostReports.
inline size_t Sent(const sim::models::FirmwareModel& model, uint8_t code) {
    size_t n = 0;
    for (const auto& r : model.HostReports())
        if (r.size() > 3 && r[3] == code) ++n;
    return n;
}

// The profile file as saved, read by a fresh profile object.
inline std::unique_ptr<profiles::CMouseProfiledata> SavedProfile(
    app::pages::CTervanicMouseDevice& mouse) {
    auto saved = std::make_unique<profiles::CMouseProfiledata>();
    saved->SetProfilePath(mouse.ProfilePath());
    saved->LoadProfile(mouse.ProfilePath());
    return saved;
}

}  // namespace mousepage
