// brommelivantos-ctl profile show KIND [FILE]: prints the records of a profile
// file as the program reads them. Reads only; nothing is written or created.
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

#include "profiles/AppFolders.h"
#include "profiles/JsonAccess.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/Ze6533Profiledata.h"
#include "tools/ctl/CtlCommand.h"

namespace {

using namespace profiles;

std::string Hex(unsigned value, int digits = 2) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

std::string Colour(unsigned r, unsigned g, unsigned b) {
    return Hex(r) + " " + Hex(g) + " " + Hex(b);
}

void ShowLight(std::ostream& out, CBasicProfiledata& p) {
    const LightInfo l = p.GetLightInfo();
    out << "light:\n"
        << "  mode " << unsigned(l.selectItem) << "  brightness " << unsigned(l.light) << "  speed "
        << unsigned(l.speed) << "  direction " << unsigned(l.fx) << "  multicolour "
        << unsigned(l.multiColor) << "\n  colour " << Colour(l.red, l.green, l.blue)
        << "  secondary mode " << unsigned(l.zzccLedMode) << "  custom group "
        << unsigned(l.customGroup) << "  old mode " << unsigned(l.oldLedmode) << "\n";
}

void ShowKeys(std::ostream& out, CBasicProfiledata& p) {
    const std::vector<KeyRecord> keys = p.GetKeyList();
    out << "keys (" << keys.size() << "): index: type data1 data2  default type data1 data2\n";
    for (const KeyRecord& k : keys) {
        out << "  " << k.index << ": " << Colour(k.type, k.data1, k.data2) << "  default "
            << Colour(k.defaultType, k.defaultData1, k.defaultData2)
            << (k.IsDefault() ? "" : "  (changed)") << "\n";
    }
}

template <std::size_t N>
void ShowWords(std::ostream& out, const std::array<std::uint32_t, N>& words,
               const char* const (&names)[N * 2]) {
    out << "system:";
    for (std::size_t i = 0; i < N; ++i)
        out << " " << Hex(words[i], 8);
    out << "\n";
    for (std::size_t i = 0; i < N * 2; ++i) {
        out << "  " << names[i] << " " << ((words[i / 2] >> (i % 2 ? 16 : 0)) & 0xFFFF) << "\n";
    }
}

void ShowMouse(std::ostream& out, CBasicProfiledata& base) {
    auto& p = static_cast<CMouseProfiledata&>(base);
    const std::vector<DPIStage> stages = p.GetDPIStages();
    out << "DPI stages (" << stages.size() << "), active " << p.GetActiveStage() << ":\n";
    for (std::size_t i = 0; i < stages.size(); ++i) {
        const DPIStage& s = stages[i];
        out << "  " << i << ": enabled " << unsigned(s.stageActive) << "  separate xy "
            << unsigned(s.stageXY) << "  x " << s.stageDPIX << "  y " << s.stageDPIY << "  colour "
            << Colour(s.red, s.green, s.blue) << "\n";
    }
    static const char* const kNames[6] = {"DoubleClickTime",  "MouseSpeed",
                                          "PointerPrecision", "ScorllPage",
                                          "WheelScorlllinse", "ReportStages.StageActive"};
    ShowWords(out, p.GetSystemStages(), kNames);
    for (const CorrectPreset& c : p.GetCorrectInfo()) {
        out << "correction \"" << c.name << "\": threshold " << unsigned(c.pixThresh)
            << "  min square " << unsigned(c.minSq) << (c.select ? "  (selected)" : "") << "\n";
    }
    ShowKeys(out, p);
}

void ShowKeyboard(std::ostream& out, CBasicProfiledata& base) {
    auto& p = static_cast<CKeyboardProfiledata&>(base);
    const AudioLightInfo a = p.GetAudioLightInfo();
    out << "audio light: mode " << unsigned(a.audioMode) << "  background "
        << Colour(a.bkRed, a.bkGreen, a.bkBlue) << "  foreground "
        << Colour(a.fgRed, a.fgGreen, a.fgBlue) << "  seven colours " << unsigned(a.sevenColorFlags)
        << "  colour type " << unsigned(a.colorTypeFlags) << "\n";
    static const char* const kNames[6] = {"Repeat",      "RepeatDelay", "Key6Flag",
                                          "PollingRate", "WFlag",       "WinFlag"};
    ShowWords(out, p.GetSystemStages(), kNames);
    out << "custom lighting group " << p.GetCustomLightModeGroupIndex() << "\n";
    ShowKeys(out, p);
}

void ShowHeadset(std::ostream& out, CBasicProfiledata& base) {
    auto& p = static_cast<CZe6533Profiledata&>(base);
    static const char* const kNames[8] = {"MagicEnable",        "MagicType",      "EqType",
                                          "CustomEqSeletIndex", "MicInSelect",    "MicInValue",
                                          "MicMoniterSelect",   "MicMoniterValue"};
    const std::array<std::int32_t, 8> s = p.GetSystemSetStages();
    out << "system:\n";
    for (std::size_t i = 0; i < 8; ++i)
        out << "  " << kNames[i] << " " << s[i] << "\n";
    const bool custom = s[2] == CZe6533Profiledata::kCustomEqPreset;
    const std::vector<int> gains = custom ? p.GetCustomEQValues(s[3]) : p.GetEQValues(s[2]);
    out << "equaliser ("
        << (custom ? "custom " + std::to_string(s[3])
                   : "preset " + std::to_string(CZe6533Profiledata::NormalisePreset(s[2])))
        << "):";
    for (int g : gains)
        out << " " << g;
    out << "\n";
    for (const std::string& name : p.GetCustomEQNames())
        out << "custom equaliser \"" << name << "\"\n";
}

void ShowNothingMore(std::ostream&, CBasicProfiledata&) {}

struct KindInfo {
    const char* word;    // KIND on the command line
    const char* folder;  // device folder name
    std::unique_ptr<CBasicProfiledata> (*make)();
    void (*show)(std::ostream&, CBasicProfiledata&);
};

template <class P>
std::unique_ptr<CBasicProfiledata> Make() {
    return std::make_unique<P>();
}

const KindInfo kKinds[] = {
    {"mouse", "mouse", Make<CMouseProfiledata>, ShowMouse},
    {"keyboard", "keyboard", Make<CKeyboardProfiledata>, ShowKeyboard},
    {"mousepad", "MousePad", Make<CBasicProfiledata>, ShowNothingMore},
    {"headset", "HD", Make<CZe6533Profiledata>, ShowHeadset},
};

const KindInfo* FindKind(const std::string& word) {
    for (const KindInfo& k : kKinds) {
        if (word == k.word) return &k;
    }
    return nullptr;
}

// The selected profile of the device folder's profile list; empty with a
// message when there is none.
std::string ActiveProfilePath(const KindInfo& kind, std::ostream& err) {
    const std::string folder = DeviceFolderPath(kind.folder);
    const Json::Value list = CJsonFile().ReadJsonFile(folder + "ProfileList.ini");
    const Json::Value& profiles = json::Member(list, "profilelist");
    const std::int64_t selected = json::IntMember(list, "profileselect");
    const bool inRange =
        selected >= 0 && selected < static_cast<std::int64_t>(json::Size(profiles));
    const Json::Value& entry =
        inRange ? profiles[static_cast<Json::ArrayIndex>(selected)] : Json::Value::nullSingleton();
    const std::string uuid = json::String(json::Member(entry, "profileUUID"));
    if (uuid.empty()) {
        err << "brommelivantos-ctl: no selected profile in " << folder
            << "ProfileList.ini; give the profile file as FILE\n";
        return {};
    }
    return folder + uuid + ".Json";
}

int ShowProfile(ctl::CtlContext& ctx) {
    std::ostream& out = *ctx.out;
    const KindInfo* kind = ctx.args.size() >= 2 ? FindKind(ctx.args[1]) : nullptr;
    if (ctx.args.size() < 2 || ctx.args.size() > 3 || ctx.args[0] != "show" || !kind) {
        *ctx.err
            << "usage: brommelivantos-ctl profile show mouse|keyboard|mousepad|headset [FILE]\n";
        return 2;
    }
    const std::string path =
        ctx.args.size() == 3 ? ctx.args[2] : ActiveProfilePath(*kind, *ctx.err);
    if (path.empty()) return 1;

    CJsonFile file;
    const Json::Value tree = file.ReadJsonFile(path);
    std::unique_ptr<CBasicProfiledata> profile = kind->make();
    out << "file: " << path << "\n";
    if (profile->UseProfileTree(tree)) {
        out << "name: " << json::String(json::Member(tree, "profilename")) << "\n"
            << "identifier: " << json::String(json::Member(tree, "profileUUID")) << "\n";
    } else {
        // The program replaces such a file by the factory settings when it loads it.
        const std::string defaults = GetDefaultProfilePath(kind->folder);
        out << "the file is unreadable or has no device entry"
            << (tree.isNull() ? " (missing, empty or not JSON)" : "") << "\n";
        if (profile->UseProfileTree(file.ReadJsonFile(defaults))) {
            out << "showing the factory defaults from " << defaults << "\n";
        } else {
            out << "factory defaults unavailable (" << defaults << "); showing empty records\n";
        }
    }
    ShowLight(out, *profile);
    kind->show(out, *profile);
    return 0;
}

}  // namespace

BROM_CTL_COMMAND("profile", "profile show KIND [FILE]",
                 "print the records of a profile file: light, DPI stages, system values and\n"
                 "keys (index: type data1 data2 in hex, with the default). KIND is mouse,\n"
                 "keyboard, mousepad or headset; without FILE the selected profile of that\n"
                 "kind's data folder. A file that cannot be read shows the factory defaults.",
                 ShowProfile);
