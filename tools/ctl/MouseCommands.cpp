// Mouse commands of brommelivantos-ctl: settings, apply, set-dpi. Each opens
// the mouse (cable first, else the receiver) and runs the mouse engine on it.
#include <json/value.h>
#include <json/writer.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

#include "devices/DeviceChannel.h"
#include "devices/mouse/MouseEngine.h"
#include "hid/Catalog.h"
#include "hid/HidDevice.h"
#include "profiles/AppFolders.h"
#include "profiles/JsonFile.h"
#include "profiles/MouseProfiledata.h"
#include "tools/ctl/CtlCommand.h"
#include "tools/ctl/CtlSupport.h"

namespace {
using devices::mouse::CMouseEngine;
using devices::mouse::MouseSettingsPage;

constexpr uint16_t kFallbackWidth = 1920, kFallbackHeight = 1080;

struct FoundPath {
    std::string path;
    bool receiver = false;
};

// The mouse's command collection: the cable's when present, else the receiver's.
std::optional<FoundPath> FindMousePath() {
    hid::CHidDevice lister;
    if (!lister.EnumerateInterfaces()) return std::nullopt;
    std::optional<FoundPath> receiver;
    while (const std::string* path = lister.NextPath()) {
        const auto row = hid::FindInterfaceByPath(hid::ParseHidPathIds(*path));
        if (!row) continue;
        const auto& entry = hid::InterfaceTable()[*row];
        if (entry.channel != hid::kChannelCommand || hid::KindOfRow(*row) != hid::kKindMouse)
            continue;
        if (entry.typeCode != hid::kTypeMouseReceiver) return FoundPath{*path, false};
        if (!receiver) receiver = FoundPath{*path, true};
    }
    return receiver;
}

std::string Hex2(unsigned v) {
    char h[8];
    std::snprintf(h, sizeof h, "%02x", v & 0xFF);
    return h;
}

std::string Colour(uint8_t r, uint8_t g, uint8_t b) {
    return Hex2(r) + Hex2(g) + Hex2(b);
}

// An opened mouse with its engine and a profile object that is never saved.
class MouseSession {
  public:
    bool Open(ctl::CtlContext& ctx) {
        if (!ctl::RequireDeviceAccess(ctx)) return false;
        const auto found = FindMousePath();
        if (!found) {
            *ctx.err << "brommelivantos-ctl: no mouse is connected\n";
            return false;
        }
        hid::CHidDevice& dev =
            found->receiver ? channel_.ReceiverInterface() : channel_.CableInterface();
        if (!dev.Open(found->path, true, true, true, false)) {
            const int e = dev.LastOpenError();
            *ctx.err << "brommelivantos-ctl: cannot open " << found->path << ": "
                     << (e ? std::strerror(e) : "not a usable HID interface") << "\n";
            return false;
        }
        channel_.SetLinkType(found->receiver ? 2 : 1);
        channel_.SetOpen(true);
        receiver_ = found->receiver;
        if (ctx.trace) {
            std::ostream* out = ctx.out;
            channel_.SetReportTrace([out](bool written, std::span<const uint8_t> report) {
                *out << (written ? "> " : "< ");
                for (size_t i = 0; i < report.size(); ++i)
                    *out << (i ? " " : "") << Hex2(report[i]);
                *out << "\n";
            });
        }
        engine_ = std::make_unique<CMouseEngine>(
            channel_, profile_,
            devices::mouse::MouseEngineFolders{
                profiles::DeviceFolderPath(CMouseEngine::kFolderName),
                profiles::GetDefaultDataFolder()});
        engine_->LoadConfigLists();
        return true;
    }

    // DeviceInfo, key table and the settings page; prints why on failure.
    bool ReadMouse(ctl::CtlContext& ctx) {
        if (engine_->ReadStartup() == devices::kResultOk &&
            engine_->ReadMirror() == devices::kResultOk)
            return true;
        *ctx.err << "brommelivantos-ctl: the mouse does not answer"
                 << (receiver_ ? " (switched off or out of the receiver's range)" : "") << "\n";
        return false;
    }

    CMouseEngine& Engine() { return *engine_; }
    profiles::CMouseProfiledata& Profile() { return profile_; }

  private:
    devices::DeviceChannel channel_;
    profiles::CMouseProfiledata profile_;
    std::unique_ptr<CMouseEngine> engine_;
    bool receiver_ = false;
};

bool IsMouse(ctl::CtlContext& ctx, const char* usage, size_t args) {
    if (ctx.args.size() == args && ctx.args[0] == "mouse") return true;
    if (ctx.args.size() == args)
        *ctx.err << "brommelivantos-ctl: only the mouse has this command\n";
    else
        *ctx.err << "usage: brommelivantos-ctl " << usage << "\n";
    return false;
}

bool ParseInt(const std::string& text, long min, long max, long& out) {
    errno = 0;
    char* end = nullptr;
    out = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && errno == 0 && end && *end == '\0' && out >= min && out <= max;
}

// --- settings ---------------------------------------------------------------

Json::Value StageJson(const profiles::DPIStage& s, const devices::mouse::CMouseDpiRules& dpi) {
    Json::Value v(Json::objectValue);
    v["enabled"] = s.stageActive;
    v["xy"] = s.stageXY;
    v["x_steps"] = s.stageDPIX;
    v["x_dpi"] = dpi.StepsToDpi(s.stageDPIX);
    v["y_steps"] = s.stageDPIY;
    v["y_dpi"] = dpi.StepsToDpi(s.stageDPIY);
    v["colour"] = Colour(s.red, s.green, s.blue);
    return v;
}

Json::Value SettingsJson(const MouseSettingsPage& p, int profile,
                         const devices::mouse::CMouseDpiRules& dpi) {
    Json::Value v(Json::objectValue);
    v["current_profile"] = profile;
    v["light_mode_code"] = p.ModeCode();
    v["brightness"] = p.Brightness();
    v["speed"] = p.Speed();
    v["direction"] = p.Direction();
    v["multi_color"] = p.MultiColor();
    v["colour"] = Colour(p.Red(), p.Green(), p.Blue());
    v["polling_index"] = p.PollingIndex();
    v["active_stage"] = p.ActiveStage();
    v["stages"] = Json::Value(Json::arrayValue);
    for (size_t i = 0; i < MouseSettingsPage::kStageCount; ++i)
        v["stages"].append(StageJson(p.Stage(i), dpi));
    v["screen_width"] = p.ScreenWidth();
    v["screen_height"] = p.ScreenHeight();
    v["correct_min_sq"] = p.CorrectMinSq();
    v["correct_pix_thresh"] = p.CorrectPixThresh();
    return v;
}

void PrintSettingsText(std::ostream& out, const Json::Value& v) {
    for (const char* key : {"current_profile", "light_mode_code", "brightness", "speed",
                            "direction", "multi_color", "colour", "polling_index", "active_stage"})
        out << key << ": " << v[key].asString() << "\n";
    for (Json::ArrayIndex i = 0; i < v["stages"].size(); ++i) {
        const Json::Value& s = v["stages"][i];
        out << "stage " << i << ": enabled " << s["enabled"].asInt() << "  xy " << s["xy"].asInt()
            << "  x " << s["x_steps"].asInt() << " (" << s["x_dpi"].asInt() << " dpi)  y "
            << s["y_steps"].asInt() << " (" << s["y_dpi"].asInt() << " dpi)  colour "
            << s["colour"].asString() << "\n";
    }
    out << "screen: " << v["screen_width"].asInt() << "x" << v["screen_height"].asInt() << "\n";
    out << "correct_min_sq: " << v["correct_min_sq"].asInt() << "\n";
    out << "correct_pix_thresh: " << v["correct_pix_thresh"].asInt() << "\n";
}

std::string OneLineJson(const Json::Value& v) {
    Json::StreamWriterBuilder b;
    b["indentation"] = "";
    return Json::writeString(b, v);
}

int SettingsCommand(ctl::CtlContext& ctx) {
    if (!IsMouse(ctx, "settings mouse", 1)) return 2;
    MouseSession s;
    if (!s.Open(ctx) || !s.ReadMouse(ctx)) return 1;
    const Json::Value v =
        SettingsJson(s.Engine().Mirror(), s.Engine().CurrentProfile(), s.Engine().Dpi());
    if (ctx.json)
        *ctx.out << OneLineJson(v) << "\n";
    else
        PrintSettingsText(*ctx.out, v);
    return 0;
}

// --- apply ------------------------------------------------------------------

std::string Outcome(int result) {
    return std::to_string(result) + " (" + devices::ResultMeaning(result) + ")";
}

std::string MacroOutcome(int result) {
    if (result == 0) return "0 (done)";
    if (result < 0) return std::to_string(result) + " (failed)";
    return std::to_string(result) + " (too large: " + std::to_string(result) +
           " events beyond the macro memory, nothing sent)";
}

int ApplyCommand(ctl::CtlContext& ctx) {
    if (ctx.args.size() != 2 || ctx.args[0] != "mouse") {
        *ctx.err << "usage: brommelivantos-ctl apply mouse PROFILE.Json\n";
        return 2;
    }
    const Json::Value file = profiles::CJsonFile().ReadJsonFile(ctx.args[1]);
    MouseSession s;
    if (!s.Profile().UseProfileTree(file)) {
        *ctx.err << "brommelivantos-ctl: " << ctx.args[1] << " is not a profile file\n";
        return 2;
    }
    if (!s.Open(ctx)) return 1;
    CMouseEngine& engine = s.Engine();
    std::ostream& out = *ctx.out;
    out << "read device: " << Outcome(engine.ReadStartup()) << "\n";
    const bool mirror = engine.ReadMirror() == devices::kResultOk;
    const MouseSettingsPage page = engine.Mirror();
    // The mouse's own screen size is kept; a page without one gets a common size.
    if (mirror && page.ScreenWidth() && page.ScreenHeight())
        engine.SetScreenSize(page.ScreenWidth(), page.ScreenHeight());
    else
        engine.SetScreenSize(kFallbackWidth, kFallbackHeight);

    const devices::mouse::MouseApplyResults r = engine.ApplyWholeProfile();
    out << "drop stale macros: " << (r.droppedStaleMacros ? "changed" : "none") << "\n";
    out << "settings: " << Outcome(r.settings) << "\n";
    out << "used macros:";
    for (int m : r.usedMacros)
        out << " " << m;
    out << (r.usedMacros.empty() ? " none\n" : "\n");
    out << "macros: " << MacroOutcome(r.macros) << "\n";
    out << "key table: " << (r.keys ? Outcome(*r.keys) : std::string("skipped")) << "\n";
    const bool ok = r.settings == devices::kResultOk && r.macros == 0 && r.keys &&
                    *r.keys == devices::kResultOk;
    if (!ok) *ctx.err << "brommelivantos-ctl: the profile was not applied completely\n";
    return ok ? 0 : 1;
}

// --- set-dpi ------------------------------------------------------------------

int SetDpiCommand(ctl::CtlContext& ctx) {
    if (!IsMouse(ctx, "set-dpi mouse STAGE DPI", 3)) return 2;
    long stage = 0, dpi = 0;
    if (!ParseInt(ctx.args[1], 0, MouseSettingsPage::kStageCount - 1, stage) ||
        !ParseInt(ctx.args[2], 0, 1'000'000, dpi)) {
        *ctx.err << "brommelivantos-ctl: STAGE must be 0..4 and DPI a number\n";
        return 2;
    }
    MouseSession s;
    if (!s.Open(ctx) || !s.ReadMouse(ctx)) return 1;
    CMouseEngine& engine = s.Engine();
    MouseSettingsPage page = engine.Mirror();
    profiles::DPIStage st = page.Stage(static_cast<size_t>(stage));
    const int steps = engine.Dpi().DpiToSteps(static_cast<int>(dpi));
    st.stageDPIX = st.stageDPIY = static_cast<uint16_t>(steps);
    page.SetStage(static_cast<size_t>(stage), st);
    const int r = engine.WriteMirrorPage(page);
    if (r != devices::kResultOk) {
        *ctx.err << "brommelivantos-ctl: set-dpi: result " << Outcome(r) << "\n";
        return 1;
    }
    *ctx.out << "stage " << stage << ": " << engine.Dpi().StepsToDpi(steps) << " DPI (" << steps
             << " steps)\n";
    return 0;
}

}  // namespace

BROM_CTL_COMMAND("settings", "settings mouse",
                 "Reads the mouse's current settings page and prints it decoded: current\n"
                 "profile, light mode code, brightness, speed, direction, multi-colour flag,\n"
                 "colour, polling index, active stage, each DPI stage (enabled, separate X/Y,\n"
                 "X and Y in steps and DPI, colour), screen size and the motion-correction\n"
                 "values. With --json: one JSON object.",
                 &SettingsCommand);
BROM_CTL_COMMAND("apply", "apply mouse PROFILE.Json",
                 "Sends a profile file to the mouse as a profile switch does: settings page,\n"
                 "the macros its keys use (from the mouse's data folder), then the key table.\n"
                 "Prints each step's result; the file is not changed.",
                 &ApplyCommand);
BROM_CTL_COMMAND("set-dpi", "set-dpi mouse STAGE DPI",
                 "Sets DPI stage STAGE (0..4) of the mouse's current settings page to DPI (X\n"
                 "and Y), converted to the mouse's steps (raised to its minimum, held at its\n"
                 "maximum), and prints the DPI the mouse now has.",
                 &SetDpiCommand);
