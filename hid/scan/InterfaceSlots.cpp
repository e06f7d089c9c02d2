#include "hid/scan/InterfaceSlots.h"

namespace hid::scan {

CInterfaceSlots::CInterfaceSlots() {
    const auto& table = InterfaceTable();
    slots_.assign(table.begin(), table.end());
}

size_t CInterfaceSlots::Count() const {
    std::lock_guard lock(mutex_);
    return slots_.size();
}

InterfaceSlot CInterfaceSlots::Slot(size_t index) const {
    std::lock_guard lock(mutex_);
    return index < slots_.size() ? slots_[index] : InterfaceSlot{};
}

bool CInterfaceSlots::SameIds(const InterfaceSlot& s, const HidPathIds& ids) {
    return s.vendorId == ids.vendorId && s.productId == ids.productId &&
           s.collectionNumber == ids.collectionNumber && s.interfaceNumber == ids.interfaceNumber;
}

bool CInterfaceSlots::IsFreeCandidate(const HidPathIds& ids) const {
    if (!FindInterfaceByPath(ids)) return false;
    std::lock_guard lock(mutex_);
    for (const auto& s : slots_) {
        if (SameIds(s, ids) && IsFree(s)) return true;
    }
    return false;
}

std::optional<size_t> CInterfaceSlots::ClaimSlot(const HidPathIds& ids, uint16_t usagePage,
                                                 uint16_t usage, const std::string& path) {
    if (!FindInterfaceByCaps(ids, usagePage, usage)) return std::nullopt;
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < slots_.size(); ++i) {
        InterfaceSlot& s = slots_[i];
        if (!SameIds(s, ids) || s.usagePage != usagePage || s.usage != usage || !IsFree(s)) {
            continue;
        }
        s.claimed = 1;
        s.path = path;
        return i;
    }
    return std::nullopt;
}

bool CInterfaceSlots::HasFreeSlot() const {
    std::lock_guard lock(mutex_);
    for (const auto& s : slots_) {
        if (IsFree(s)) return true;
    }
    return false;
}

bool CInterfaceSlots::PartnerActive(size_t index) const {
    std::lock_guard lock(mutex_);
    if (index >= slots_.size()) return false;
    const InterfaceSlot& s = slots_[index];
    if (s.hasPartner == 0 || s.partnerIndex >= slots_.size()) return false;
    const InterfaceSlot& partner = slots_[s.partnerIndex];
    return partner.partnerIndex == index && partner.claimed != 0 && !partner.path.empty();
}

bool CInterfaceSlots::Release(size_t index) {
    std::lock_guard lock(mutex_);
    if (index >= slots_.size() || slots_[index].claimed == 0) return false;
    slots_[index].claimed = 0;
    slots_[index].path.clear();
    return true;
}

std::vector<std::pair<size_t, std::string>> CInterfaceSlots::Claimed() const {
    std::lock_guard lock(mutex_);
    std::vector<std::pair<size_t, std::string>> out;
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].claimed != 0) out.emplace_back(i, slots_[i].path);
    }
    return out;
}

}  // namespace hid::scan
