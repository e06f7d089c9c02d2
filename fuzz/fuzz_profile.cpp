// Loads arbitrary bytes as a profile file of each kind, as its light
// configuration and as a custom effect, and calls every getter. Also checks
// that the styled text of whatever was read reads back.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/Ze6533Profiledata.h"

namespace {

using namespace profiles;

// A private folder for the light configuration and the effect file,
// removed when the fuzzer exits.
const std::string& Folder() {
    // Never destroyed, so that the exit handler can still use it.
    static const std::string* folder = [] {
        std::string pattern = "/tmp/fuzz-profile-XXXXXX";
        if (!::mkdtemp(pattern.data())) abort();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(Folder(), ec);
        });
        return new std::string(pattern + "/");
    }();
    return *folder;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void ReadShared(CBasicProfiledata& p) {
    p.GetLightInfo();
    p.GetAudioLightInfo();
    p.GetLightList();
    p.GetKeyList();
    p.SetKeyList(p.GetKeyList());
    p.SetLightInfo(p.GetLightInfo());
}

void ReadMouse(CMouseProfiledata& p) {
    p.GetDPIStages();
    p.GetActiveStage();
    p.GetSystemStages();
    p.GetCorrectInfo();
    p.SetDPIStages(p.GetDPIStages());
}

void ReadKeyboard(CKeyboardProfiledata& p) {
    p.GetSystemStages();
    const int group = p.GetCustomLightModeGroupIndex();
    p.GetCustomLightColors(group, 170);
    p.GetCustomLightColors(p.GetLightInfo().customGroup, 104);
}

void ReadHeadset(CZe6533Profiledata& p) {
    const auto settings = p.GetSystemSetStages();
    p.GetEQValues(settings[2]);
    p.GetCustomEQValues(settings[3]);
    p.GetCustomEQNames();
    for (int preset = 0; preset <= 14; ++preset)
        p.GetEQValues(preset);
}

// What is written must read back: the styled text parses, and writing what
// was read back gives the same text again. (The first write may differ from
// the input: text that is not valid UTF-8 is stored with replacement
// characters.)
void CheckStyledTextParses(const Json::Value& value) {
    const std::string first = CJsonFile::StyledText(value);
    const Json::Value again = CJsonFile::ParseJsonText(first);
    const std::string second = CJsonFile::StyledText(again);
    if (again.isNull() != value.isNull() ||
        CJsonFile::StyledText(CJsonFile::ParseJsonText(second)) != second) {
        std::fprintf(stderr, "styled text does not read back:\n%s\n", first.c_str());
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string config = Folder() + "korva_light.config";
    WriteFile(config, data, size);
    WriteFile(Folder() + "fx.light", data, size);
    const Json::Value tree =
        CJsonFile::ParseJsonText(std::string_view(reinterpret_cast<const char*>(data), size));

    CBasicProfiledata pad;
    CMouseProfiledata mouse;
    CKeyboardProfiledata keyboard;
    CZe6533Profiledata headset;
    CBasicProfiledata* all[] = {&pad, &mouse, &keyboard, &headset};
    for (CBasicProfiledata* p : all) {
        p->UseProfileTree(tree);
        ReadShared(*p);
    }
    // The custom effect lookup is shared code: one kind is enough.
    pad.LoadLightConfig(config);
    pad.GetCustomEffectList();
    ReadMouse(mouse);
    ReadKeyboard(keyboard);
    ReadHeadset(headset);
    CheckStyledTextParses(tree);
    return 0;
}
