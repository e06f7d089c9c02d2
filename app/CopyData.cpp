#include "app/CopyData.h"

#include <algorithm>
#include <cstring>

namespace app {

namespace {
template <size_t N>
size_t CopyBounded(std::array<uint8_t, N>& buffer, const CopyDataStruct& data) {
    const size_t n = std::min<size_t>(data.cbData, N);
    std::memcpy(buffer.data(), data.lpData, n);
    return n;
}
}  // namespace

size_t CCopyDataBuffers::Take(const CopyDataStruct& data) {
    if (data.cbData == 0 || data.lpData == nullptr) return 0;
    switch (data.dwData) {
        case kCopyDataAudioLevels:
            return CopyBounded(levels_, data);
        case kCopyDataAudioColours:
            return CopyBounded(colours_, data);
        default:
            return 0;
    }
}

std::array<uint32_t, 6> CCopyDataBuffers::ColourValues() const {
    std::array<uint32_t, 6> out{};
    for (size_t i = 0; i < out.size(); ++i) {
        const uint8_t* p = colours_.data() + 4 * i;
        out[i] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    return out;
}

}  // namespace app
