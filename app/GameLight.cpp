#include "app/GameLight.h"

#include <algorithm>

namespace app {

void CGameLight::OnGameMessage(ui::WPARAM wParam, ui::LPARAM lParam, IShellDevice* selected) {
    if (wParam > 2 || !selected) return;
    selected->BeginGameLight(int(lParam));
    if (!IsHeld(selected)) holders_.push_back(selected);
}

void CGameLight::OnTimer() {
    std::vector<IShellDevice*> holders;
    holders.swap(holders_);
    for (IShellDevice* device : holders)
        device->EndGameLight();
}

bool CGameLight::IsHeld(const IShellDevice* device) const {
    return std::find(holders_.begin(), holders_.end(), device) != holders_.end();
}

void CGameLight::Forget(const IShellDevice* device) {
    holders_.erase(std::remove(holders_.begin(), holders_.end(), device), holders_.end());
}

}  // namespace app
