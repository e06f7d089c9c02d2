#include "devices/MacroImage.h"

#include <algorithm>

namespace devices {
namespace {

void PutWord(std::vector<uint8_t>& out, size_t at, size_t value) {
    out[at] = static_cast<uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

void MacroImage::AddMacro(std::vector<MacroImageEvent> events) {
    macros_.push_back(std::move(events));
}

size_t MacroImage::EventCount() const {
    size_t n = 0;
    for (const auto& m : macros_)
        n += m.size();
    return n;
}

bool MacroImage::Build(std::vector<uint8_t>& out) const {
    out.clear();
    const size_t size = Size();
    if (size > kMaxSize || macros_.size() > 0xFFFF) return false;
    out.assign(size, 0);
    PutWord(out, 0, kMagic);
    PutWord(out, 2, size);
    PutWord(out, 4, macros_.size());
    size_t at = kHeaderSize + 2 * macros_.size();
    for (size_t i = 0; i < macros_.size(); ++i) {
        const auto& events = macros_[i];
        PutWord(out, kHeaderSize + 2 * i, at);
        PutWord(out, at, events.size());
        at += 4;
        for (const auto& e : events) {
            PutWord(out, at, std::min<uint32_t>(e.delayMs, 0xFFFF));
            out[at + 2] = static_cast<uint8_t>((e.type & 0x7F) | (e.press ? 0x80 : 0));
            out[at + 3] = e.code;
            at += 4;
        }
    }
    return true;
}

}  // namespace devices
