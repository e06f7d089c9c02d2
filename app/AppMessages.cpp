#include "app/AppMessages.h"

#include <algorithm>

#include "app/ipc/MessageNames.h"
#include "ui/Window.h"

namespace app {

namespace {
UINT Register(std::string_view name) {
    return ui::RegisterWindowMessage(std::string(name));
}
}  // namespace

bool RegisteredMessages::IsHook(UINT msg) const {
    return msg != 0 && std::find(hook.begin(), hook.end(), msg) != hook.end();
}

int RegisteredMessages::GameIndex(UINT msg) const {
    if (msg == 0) return -1;
    auto it = std::find(game.begin(), game.end(), msg);
    return it == game.end() ? -1 : int(it - game.begin());
}

RegisteredMessages& Registered() {
    static RegisteredMessages messages;
    return messages;
}

UINT RegisterInstanceMessage() {
    Registered().instance = Register(ipc::kInstanceName);
    return Registered().instance;
}

void RegisterIdentityMessages() {
    for (size_t i = 0; i < ipc::kIdentityMessages.size(); ++i)
        Registered().identity[i] = Register(ipc::kIdentityMessages[i]);
}

void RegisterHookAndGameMessages() {
    for (size_t i = 0; i < ipc::kHookMessages.size(); ++i)
        Registered().hook[i] = Register(ipc::kHookMessages[i]);
    for (size_t i = 0; i < ipc::kGameMessages.size(); ++i)
        Registered().game[i] = Register(ipc::kGameMessages[i]);
}

bool IsRegisteredNumber(UINT msg) {
    return msg >= ui::kFirstRegisteredMessage && msg <= ui::kLastRegisteredMessage;
}

}  // namespace app
