#include "devices/mouse/MouseEngine.h"

#include <algorithm>
#include <utility>

#include "devices/MacroImage.h"
#include "devices/macro/MacroFiles.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

namespace devices::mouse {
namespace {

constexpr int kLightTableMouse = 1;

// Ends a write group that was opened; through the receiver only while the
// link is up. Returns whether it was sent.
bool CloseGroup(DeviceChannel& channel) {
    if (!channel.IsLinkUp()) return false;
    channel.EndWrite();
    return true;
}

}  // namespace

MacroRenumbering RenumberMacros(const std::vector<profiles::KeyRecord>& keys, const KeyMap& map,
                                int macroCount) {
    MacroRenumbering out;
    for (size_t pos = 0; pos < kKeyPositions; ++pos) {
        if (map[pos] == kNoDeviceKey || pos >= keys.size()) continue;
        const profiles::KeyRecord& k = keys[pos];
        KeyAssignmentBytes a{k.type, k.data1, k.data2};
        if (a.IsMacro()) {
            if (a.first < macroCount) {
                auto it = std::find(out.uploadList.begin(), out.uploadList.end(), a.first);
                if (it == out.uploadList.end()) it = out.uploadList.insert(it, a.first);
                a.first = static_cast<uint8_t>(it - out.uploadList.begin());
            } else {
                a = DefaultAssignment(pos);
            }
        }
        out.assignments[pos] = a;
    }
    return out;
}

CMouseEngine::CMouseEngine(DeviceChannel& channel, profiles::CMouseProfiledata& profile,
                           MouseEngineFolders folders)
    : channel_(channel), profile_(profile), folders_(std::move(folders)) {
    keyMap_.fill(kNoDeviceKey);
}

void CMouseEngine::SetScreenSize(uint16_t width, uint16_t height) {
    screenWidth_ = width;
    screenHeight_ = height;
}

void CMouseEngine::LoadConfigLists() {
    profiles::ConfigListFiles files;
    files.macroList = MacroListPath();
    files.defaultLight = folders_.defaultDataFolder + "default_light.json";
    files.lightConfig = folders_.deviceFolder + "korva_light.config";
    files.lightTable = kLightTableMouse;
    profiles::LoadConfigLists(lists_, files);
}

bool CMouseEngine::LinkStep() {
    return channel_.IsLinkUp();
}

bool CMouseEngine::ReadInfoInto() {
    DeviceInfo fresh;
    if (channel_.ReadInfo(fresh) != kResultOk) return false;
    info_ = fresh;
    infoValid_ = true;
    return true;
}

// --- reads --------------------------------------------------------------------

int CMouseEngine::ReadStartup() {
    if (!channel_.IsOpen() || !LinkStep()) return kResultNoAnswer;
    channel_.BeginWrite();
    bool ok = ReadInfoInto() &&
              channel_.SetConfigLength(static_cast<uint16_t>(info_.KeyTableLength())) == kResultOk;
    std::vector<uint8_t> table(info_.KeyTableLength());
    ok = ok && channel_.ReadKeyTable(table) == kResultOk;
    // The group is closed on failure too: the mouse is not left waiting.
    channel_.EndWrite();
    if (!ok) return kResultNoAnswer;
    keyTable_ = std::move(table);
    keyTableValid_ = true;
    keyMap_ = BuildKeyMap(keyTable_);
    dpi_ = CMouseDpiRules(info_);
    return kResultOk;
}

int CMouseEngine::ReadPage(uint8_t& profile, MouseSettingsPage& page) {
    if (!channel_.IsOpen() || !LinkStep()) return kResultNoAnswer;
    uint8_t current[1] = {0};
    int r = channel_.ReadMemory(0, current);
    if (r != kResultOk) return r;
    if (!LinkStep()) return kResultNoAnswer;
    MouseSettingsPage fresh;
    r = channel_.ReadMemory(static_cast<uint16_t>(current[0] * MouseSettingsPage::kStride),
                            fresh.bytes);
    if (r != kResultOk) return r;
    fresh.bytes[0] = current[0];
    profile = current[0];
    page = fresh;
    return kResultOk;
}

void CMouseEngine::StoreMirror(const MouseSettingsPage& page, int profile) {
    std::lock_guard lock(stateMutex_);
    mirror_ = page;
    mirrorValid_ = true;
    currentProfile_ = profile;
}

int CMouseEngine::ReadMirror() {
    uint8_t p = 0;
    MouseSettingsPage page;
    const int r = ReadPage(p, page);
    if (r == kResultOk) StoreMirror(page, p);
    return r;
}

int CMouseEngine::ReloadSettings() {
    channel_.SetPaused(false);
    uint8_t p = 0;
    MouseSettingsPage page;
    if (ReadPage(p, page) != kResultOk) return 0;
    StoreMirror(page, p);

    profiles::LightInfo light = profile_.GetLightInfo();  // keeps the direction
    light.selectItem = static_cast<uint8_t>(ModeIndexForCode(lists_, page.ModeCode()));
    light.light = page.Brightness();
    light.speed = static_cast<uint8_t>(std::clamp(page.Speed(), 0, 4));
    light.multiColor = page.MultiColor();
    light.red = page.Red();
    light.green = page.Green();
    light.blue = page.Blue();
    {
        std::lock_guard lock(stateMutex_);
        light_ = light;
    }
    profile_.SetActiveStage(page.ActiveStage());
    profile_.SetLightInfo(light);
    SaveProfile();
    return 1;
}

bool CMouseEngine::EnsureKeyTable() {
    return keyTableValid_ || ReadStartup() == kResultOk;
}

bool CMouseEngine::EnsureMirror() {
    return SettingsValid() || ReadMirror() == kResultOk;
}

// --- writes -------------------------------------------------------------------

MouseSettingsSource CMouseEngine::SourceFromProfile() {
    MouseSettingsSource src;
    src.light = profile_.GetLightInfo();
    src.pollingIndex = static_cast<uint8_t>(profile_.GetSystemStages()[2] >> 16);
    src.activeStage = static_cast<uint8_t>(profile_.GetActiveStage());
    src.stages = profile_.GetDPIStages();
    src.corrections = profile_.GetCorrectInfo();
    return src;
}

int CMouseEngine::WriteSettings(int profileNumber, uint8_t byte0, uint8_t byte59, uint16_t width,
                                uint16_t height) {
    MouseSettingsSource src = SourceFromProfile();
    src.byte0 = byte0;
    src.byte59 = byte59;
    src.screenWidth = width;
    src.screenHeight = height;
    const MouseSettingsPage page = BuildSettingsPage(src, lists_);
    if (profileNumber < 0 || profileNumber > 0xFF) return kResultNoAnswer;
    if (!channel_.IsOpen() || !EnsureMirror() || !LinkStep()) return kResultNoAnswer;
    channel_.BeginWrite();
    const int r = channel_.WriteMemory(
        static_cast<uint16_t>(profileNumber * MouseSettingsPage::kStride), page.bytes);
    channel_.EndWrite();
    if (r != kResultOk) return r;
    StoreMirror(page, profileNumber);
    return kResultOk;
}

int CMouseEngine::WriteSettings() {
    return WriteSettings(0, 0, 1, screenWidth_, screenHeight_);
}

int CMouseEngine::WriteMirrorPage(const MouseSettingsPage& page) {
    if (!channel_.IsOpen() || !EnsureMirror() || !LinkStep()) return kResultNoAnswer;
    const int p = CurrentProfile();
    MouseSettingsPage out = page;
    out.bytes[0] = static_cast<uint8_t>(p);
    channel_.BeginWrite();
    const int r =
        channel_.WriteMemory(static_cast<uint16_t>(p * MouseSettingsPage::kStride), out.bytes);
    channel_.EndWrite();
    if (r == kResultOk) StoreMirror(out, p);
    return r;
}

int CMouseEngine::MacroCount() const {
    const auto list = macro::ReadMacroList(MacroListPath());
    return list ? static_cast<int>(list->size()) : 0;
}

std::vector<int> CMouseEngine::CollectUsedMacros(const std::vector<profiles::KeyRecord>& keys) {
    return RenumberMacros(keys, keyMap_, MacroCount()).uploadList;
}

int CMouseEngine::UploadMacros(const std::vector<int>& macroNumbers) {
    constexpr int kFailure = -1;
    if (channel_.IsOpen()) {
        if (!LinkStep()) return 0;
        ReadInfoInto();
    }
    const auto list = macro::ReadMacroList(MacroListPath());
    if (!list || list->empty() || macroNumbers.empty()) return 0;

    // Each file is read once: the same events are counted and uploaded.
    MacroImage image;
    for (int n : macroNumbers) {
        std::vector<MacroImageEvent> events;
        if (n >= 0 && static_cast<size_t>(n) < list->size())
            events = macro::ReadMacroEvents(
                macro::MacroFilePath(folders_.deviceFolder, (*list)[static_cast<size_t>(n)].guid));
        image.AddMacro(std::move(events));
    }
    const size_t size = image.Size();
    const size_t capacity = info_.MacroMemoryBytes();
    if (size > capacity)
        return static_cast<int>(std::min<size_t>((size - capacity) >> 2, 1 << 28)) + 1;

    std::vector<uint8_t> bytes;
    if (!image.Build(bytes)) return kFailure;
    if (!channel_.IsOpen()) return 0;
    if (!LinkStep()) return kFailure;
    channel_.BeginWrite();
    const int r = channel_.WriteMacros(bytes);
    if (!CloseGroup(channel_)) return kFailure;
    return r == kResultOk ? 0 : kFailure;
}

int CMouseEngine::WriteKeyAssignments(int bank, const std::vector<profiles::KeyRecord>& keys) {
    if (!channel_.IsOpen() || !LinkStep()) return kResultNoAnswer;
    if (!ReadInfoInto()) return kResultNoAnswer;
    if (!EnsureKeyTable()) return kResultNoAnswer;

    std::vector<uint8_t> table = keyTable_;
    const MacroRenumbering plan = RenumberMacros(keys, keyMap_, MacroCount());
    for (size_t pos = 0; pos < kKeyPositions; ++pos)
        if (plan.assignments[pos]) plan.assignments[pos]->StoreInto(table, keyMap_[pos]);

    if (!LinkStep()) return kResultNoAnswer;
    channel_.BeginWrite();
    const int r = channel_.WriteKeyTable(table, bank);
    if (!CloseGroup(channel_)) return kResultNoAnswer;
    return r;
}

int CMouseEngine::WriteProfileKeyAssignments(int bank) {
    return WriteKeyAssignments(bank, profile_.GetKeyList());
}

bool CMouseEngine::DropStaleMacroAssignments() {
    LoadConfigLists();
    const size_t names = lists_.macroNames.size();
    std::vector<profiles::KeyRecord> keys = profile_.GetKeyList();
    bool changed = false;
    for (profiles::KeyRecord& k : keys) {
        const KeyAssignmentBytes a{k.type, k.data1, k.data2};
        if (a.IsMacro() && a.first >= names) {
            k.SetAssignment(k.DefaultAssignment());
            changed = true;
        }
    }
    if (!changed) return false;
    profile_.SetKeyList(keys);
    SaveProfile();
    return true;
}

bool CMouseEngine::LoadDefaultProfile() {
    const Json::Value file = profiles::CJsonFile().ReadJsonFile(folders_.defaultDataFolder +
                                                                kFolderName + std::string(".Json"));
    const Json::Value& entry = profiles::json::Element(profiles::json::Member(file, "Device"), 0);
    if (!entry.isObject()) return false;
    const std::string path = profile_.GetProfilePath();
    if (path.empty()) return profile_.UseProfileTree(file);
    if (!profile_.WriteDeviceEntry(entry, path)) return false;
    profile_.LoadProfile(path);
    return true;
}

int CMouseEngine::UploadShootData() {
    constexpr int kRefused = -1;
    if (channel_.IsOpen()) {
        if (!LinkStep()) return kResultNoAnswer;
        ReadInfoInto();
    }
    MacroImage image;
    for (int g = 0; g < kShootGuns; ++g)
        image.AddMacro(macro::ReadMacroEvents(folders_.deviceFolder + "ShootData_" +
                                              std::to_string(g) + ".Shoot"));
    std::vector<uint8_t> bytes;
    if (!image.Build(bytes)) return kRefused;  // above 65535 bytes
    if (!channel_.IsOpen() || !LinkStep()) return kResultNoAnswer;
    channel_.BeginWrite();
    if (!LinkStep()) return kResultNoAnswer;
    const int r = channel_.WriteShootData(bytes);
    if (!CloseGroup(channel_)) return kResultNoAnswer;
    return r;
}

MouseApplyResults CMouseEngine::ApplyWholeProfile(const std::function<void()>& refreshPage) {
    MouseApplyResults out;
    out.droppedStaleMacros = DropStaleMacroAssignments();
    if (refreshPage) refreshPage();
    out.settings = WriteSettings();
    out.usedMacros = CollectUsedMacros(profile_.GetKeyList());
    out.macros = UploadMacros(out.usedMacros);
    if (out.macros == 0) out.keys = WriteProfileKeyAssignments(0);
    return out;
}

// --- events and state -----------------------------------------------------------

MouseDeviceEvent CMouseEngine::OnDeviceEvent(uint16_t value) {
    MouseDeviceEvent ev;
    const int high = value >> 8;
    if (high != 0x10 && high != 0x11) return ev;
    ev.refresh = true;
    ev.profile = value & 0x0F;
    if (high == 0x11) ev.activeStage = (value >> 4) & 0x0F;
    std::lock_guard lock(stateMutex_);
    currentProfile_ = ev.profile;
    mirror_.bytes[0] = static_cast<uint8_t>(ev.profile);
    if (ev.activeStage >= 0) mirror_.bytes[12] = static_cast<uint8_t>(ev.activeStage);
    return ev;
}

bool CMouseEngine::SettingsValid() const {
    std::lock_guard lock(stateMutex_);
    return mirrorValid_;
}

MouseSettingsPage CMouseEngine::Mirror() const {
    std::lock_guard lock(stateMutex_);
    return mirror_;
}

int CMouseEngine::CurrentProfile() const {
    std::lock_guard lock(stateMutex_);
    return currentProfile_;
}

profiles::LightInfo CMouseEngine::LightState() const {
    std::lock_guard lock(stateMutex_);
    return light_;
}

void CMouseEngine::SetLightState(const profiles::LightInfo& light) {
    std::lock_guard lock(stateMutex_);
    light_ = light;
}

void CMouseEngine::SaveProfile() {
    if (!profile_.GetProfilePath().empty()) profile_.Save();
}

}  // namespace devices::mouse
