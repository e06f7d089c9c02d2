#pragma once
// Names of the messages the program shares with other processes. Between
// processes the name travels, never a per-process number.
#include <array>
#include <string_view>

namespace app::ipc {

inline constexpr std::string_view kInstanceName = "BROMMELIVANTOS";

// Identity messages, registered at start-up. The fifth really ends in "EBE19".
inline constexpr std::string_view kFirstIdentityMessage = "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}";
inline constexpr std::string_view kSecondIdentityMessage = "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}";
inline constexpr std::string_view kLightControlStatusMessage =
    "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}";
inline constexpr std::string_view kToolMessage = "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}";
inline constexpr std::string_view kAudioLightMessage = "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}";

inline constexpr std::array<std::string_view, 5> kIdentityMessages = {
    kFirstIdentityMessage, kSecondIdentityMessage, kLightControlStatusMessage, kToolMessage,
    kAudioLightMessage};

// Game events another program may send.
inline constexpr std::array<std::string_view, 4> kGameMessages = {"Game_Start", "Game_End",
                                                                  "Game_Kill", "Game_Death"};

// Input-hook and mouse messages, in registration order (one name twice).
// They are posted in-process by our own hook layer and never accepted from
// another process.
inline constexpr std::array<std::string_view, 20> kHookMessages = {
    "WM_HOOK_KEY_SINGLEKEY_MSG",       "WM_HOOK_KEY_HITKEY_MSG",
    "WM_HOOK_KEY_KBMACRO_MSG",         "WM_HOOK_KEY_MSMACRO_MSG",
    "WM_HOOK_KEY_KBMACROSINGLE_MSG",   "WM_HOOK_KEY_KBMACROPREVIOUS_MSG",
    "WM_HOOK_KEY_KBMACROLATER_MSG",    "WM_HOOK_MOU_SINGLEKEY_MSG",
    "WM_HOOK_MOU_HITKEY_MSG",          "WM_HOOK_MOU_KBMACRO_MSG",
    "WM_HOOK_MOU_MSMACRO_MSG",         "WM_HOOK_KEY_MSMACROSINGLE_MSG",
    "WM_HOOK_KEY_MSMACROPREVIOUS_MSG", "WM_HOOK_KEY_MSMACROLATER_MSG",
    "UWM_MOUSERBUTTONDOWN_USER_MSG",   "UWM_MOUSELBUTTONUP_USER_MSG",
    "UWM_MOUSELBUTTONDOWN_USER_MSG",   "UWM_MOUSERBUTTONUP_USER_MSG",
    "UWM_MOUSERBUTTONDOWN_USER_MSG",   "UWM_MOUSEMOVE_USER_MSG"};

inline constexpr std::string_view kDeviceChangeMessage = "winmm_devicechange";

// The window another program opens to ask for the device list.
inline constexpr std::string_view kToolWindowTitle = "WorkTool";

}  // namespace app::ipc
