#pragma once
// Attribute tables: each control class maps its attribute names (compared
// without case) to small setter functions.
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "ui/Text.h"

namespace ui {

template <class T>
class AttrTable {
  public:
    using Setter = void (*)(T&, std::string_view);
    AttrTable(std::initializer_list<std::pair<const char*, Setter>> rows) {
        for (const auto& [name, fn] : rows)
            map_.emplace(ToLower(name), fn);
    }
    // True when the table knows the name.
    bool Apply(T& target, std::string_view name, std::string_view value) const {
        auto it = map_.find(ToLower(name));
        if (it == map_.end()) return false;
        it->second(target, value);
        return true;
    }

  private:
    std::unordered_map<std::string, Setter> map_;
};

inline std::string Str(std::string_view v) {
    return std::string(v);
}

}  // namespace ui
