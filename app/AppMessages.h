#pragma once
// The program's message numbers: the fixed ones used inside the program and
// the registered ones shared with other programs by name.
#include <array>
#include <string>

#include "ui/Messages.h"

namespace app {

using ui::LPARAM;
using ui::LRESULT;
using ui::UINT;
using ui::WPARAM;

// Fixed numbers, in-process only.
constexpr UINT kMsgTrayIcon = 0x0401;     // lParam: WM_LBUTTONUP / WM_RBUTTONUP
constexpr UINT kMsgInputHook = 0x041E;    // wParam 0 remove, 1 install
constexpr UINT kMsgMenuCommand = 0x0479;  // wParam: ui::MenuCmd*
constexpr UINT kMsgDpiTrace = 0x04C8;     // trace line only
constexpr UINT kMsgShowSettingProgress = 0x0C00;
constexpr UINT kMsgLanguageChanged = 0x0C11;   // wParam: language index
constexpr UINT kMsgInterfaceArrived = 0x0C12;  // wParam: slot index
constexpr UINT kMsgInterfaceRemoved = 0x0C13;  // wParam: slot index
constexpr UINT kMsgOpenSettingsCentred = 0x0C15;
constexpr UINT kMsgClearUpdateMark = 0x0C16;
constexpr UINT kMsgSettingsRead = 0x0D00;
constexpr UINT kMsgPowerStatusRead = 0x0D01;
constexpr UINT kMsgNoAction = 0x0D02;
constexpr UINT kMsgDeviceItem = 0x0D03;  // wParam item, lParam 1 show / 0 hide as lost

// Roles of the five identity messages, in registration order.
enum IdentityRole {
    kFirstIdentity = 0,
    kSecondIdentity = 1,
    kLightControlStatus = 2,
    kToolRequest = 3,
    kAudioLight = 4,
};

// The registered numbers, held for the whole run.
struct RegisteredMessages {
    UINT instance = 0;
    std::array<UINT, 5> identity{};
    std::array<UINT, 20> hook{};
    std::array<UINT, 4> game{};

    bool IsHook(UINT msg) const;
    // Index into the game names, -1 when msg is no game message.
    int GameIndex(UINT msg) const;
};

RegisteredMessages& Registered();

// Start-up registers the instance message first, the identity messages later.
UINT RegisterInstanceMessage();
void RegisterIdentityMessages();
// The hook, mouse and game messages of the main window.
void RegisterHookAndGameMessages();

bool IsRegisteredNumber(UINT msg);

}  // namespace app
