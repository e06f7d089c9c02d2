// Arbitrary bytes as a macro list file and as a macro (or fire-key) event
// file: the reader must give bounded answers, and the events must lay out as
// an image whose size fields match its length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "devices/MacroImage.h"
#include "devices/macro/MacroFiles.h"
#include "profiles/JsonFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Json::Value file = profiles::CJsonFile::ParseJsonText(text);

    for (const auto& entry : devices::macro::MacroListFromJson(file)) {
        const std::string path = devices::macro::MacroFilePath("/nonexistent/", entry.guid);
        if (!path.empty() && path.find('/', 13) != std::string::npos) std::abort();
    }

    std::vector<devices::MacroImageEvent> events = devices::macro::MacroEventsFromJson(file);
    for (const auto& e : events)
        if (e.delayMs > 0xFFFF || e.type > 0x7F) std::abort();
    devices::MacroImage image;
    image.AddMacro(events);
    image.AddMacro(std::move(events));
    std::vector<uint8_t> bytes;
    if (image.Build(bytes)) {
        if (bytes.size() != image.Size() || (bytes[2] | bytes[3] << 8) != bytes.size())
            std::abort();
    } else if (image.Size() <= devices::MacroImage::kMaxSize) {
        std::abort();
    }
    return 0;
}
