#pragma once
// The names of key assignments shown as key captions and in the key
// information list: a language key for most, the macro's own name for macro
// assignments, a fixed literal for types the table does not know.
#include <cstdint>
#include <string>
#include <vector>

namespace app::pages {

struct AssignmentName {
    enum Kind {
        kNone,         // no name: the caption is left as it is
        kLanguageKey,  // text is a language key
        kLiteral,      // text is shown as it is
    };
    Kind kind = kNone;
    std::string text;
};

// type, p1, p2: the three assignment bytes; macroNames: the device's macro
// list, in order.
AssignmentName MouseAssignmentName(uint8_t type, uint8_t p1, uint8_t p2,
                                   const std::vector<std::string>& macroNames);

}  // namespace app::pages
