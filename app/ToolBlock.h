#pragma once
// The device list block answered to the tool window: 1024 bytes of 32-bit
// little-endian integers, zero-filled. Offset 0: four state words of the
// main window; 16: the number of device-catalogue rows; 20: per row its
// vendor id, product id and type code.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace app {

constexpr size_t kToolBlockBytes = 1024;
constexpr size_t kToolBlockRowCountOffset = 16;
constexpr size_t kToolBlockRowsOffset = 20;

std::vector<uint8_t> BuildToolBlock(const std::array<int32_t, 4>& stateWords);

}  // namespace app
