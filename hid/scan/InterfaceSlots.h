#pragma once
// The interface slots: one run-time copy of every interface-table row, in
// table order. A slot is claimed while a present interface occupies it; its
// path is then the interface's path. Only the scan thread claims and
// releases slots; anyone may read them (a copy is returned).
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "hid/Catalog.h"

namespace hid::scan {

class CInterfaceSlots {
  public:
    // Filled from the constant interface table.
    CInterfaceSlots();

    size_t Count() const;
    // A copy of slot i; an empty entry for an index outside the list.
    InterfaceSlot Slot(size_t index) const;
    bool IsValid(size_t index) const { return index < Count(); }

    // Some table row has these four ids, and some free slot has them too.
    bool IsFreeCandidate(const HidPathIds& ids) const;
    // Claims the first free slot matching the ids, usage page and usage (the
    // first matching table row must exist); returns its index.
    std::optional<size_t> ClaimSlot(const HidPathIds& ids, uint16_t usagePage, uint16_t usage,
                                    const std::string& path);
    bool HasFreeSlot() const;
    // The same device is connected through its other path: the slot's row
    // has a partner that points back, is claimed and has a path.
    bool PartnerActive(size_t index) const;
    // Frees a claimed slot; false when it was not claimed.
    bool Release(size_t index);
    // Indices of the claimed slots with their paths, in slot order.
    std::vector<std::pair<size_t, std::string>> Claimed() const;

  private:
    static bool IsFree(const InterfaceSlot& s) { return s.claimed == 0 && s.path.empty(); }
    static bool SameIds(const InterfaceSlot& s, const HidPathIds& ids);

    mutable std::mutex mutex_;
    std::vector<InterfaceSlot> slots_;
};

}  // namespace hid::scan
