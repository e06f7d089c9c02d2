#include "app/ToolBlock.h"

#include "hid/Catalog.h"

namespace app {

namespace {
void PutWord(std::vector<uint8_t>& block, size_t offset, int32_t value) {
    const auto v = uint32_t(value);
    for (int i = 0; i < 4; ++i)
        block[offset + i] = uint8_t(v >> (8 * i));
}
}  // namespace

std::vector<uint8_t> BuildToolBlock(const std::array<int32_t, 4>& stateWords) {
    std::vector<uint8_t> block(kToolBlockBytes, 0);
    for (size_t i = 0; i < stateWords.size(); ++i)
        PutWord(block, 4 * i, stateWords[i]);
    const auto& catalog = hid::DeviceCatalog();
    PutWord(block, kToolBlockRowCountOffset, int32_t(catalog.size()));
    size_t at = kToolBlockRowsOffset;
    for (const hid::DeviceCatalogEntry& row : catalog) {
        PutWord(block, at, row.vendorId);
        PutWord(block, at + 4, row.productId);
        PutWord(block, at + 8, row.typeCode);
        at += 12;
    }
    return block;
}

}  // namespace app
