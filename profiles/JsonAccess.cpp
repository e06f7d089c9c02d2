#include "profiles/JsonAccess.h"

#include <cmath>

namespace profiles::json {
namespace {
const Json::Value& NullValue() {
    return Json::Value::nullSingleton();
}
}  // namespace

const Json::Value& Member(const Json::Value& obj, const char* key) {
    if (!obj.isObject()) return NullValue();
    const Json::Value* found = obj.find(key, key + std::char_traits<char>::length(key));
    return found ? *found : NullValue();
}

const Json::Value& Element(const Json::Value& arr, Json::ArrayIndex index) {
    if (!arr.isArray() || index >= arr.size()) return NullValue();
    return arr[index];
}

Json::ArrayIndex Size(const Json::Value& v) {
    return v.isArray() ? v.size() : 0;
}

std::int64_t Int(const Json::Value& v, std::int64_t fallback) {
    if (v.isInt64()) return v.asInt64();
    // Above the signed range: keep the low bits, as for any too-wide value.
    if (v.isUInt64()) return static_cast<std::int64_t>(v.asUInt64());
    if (v.isDouble()) {
        double d = v.asDouble();
        if (std::isfinite(d) && d >= -9.2e18 && d <= 9.2e18) return static_cast<std::int64_t>(d);
    }
    if (v.isBool()) return v.asBool() ? 1 : 0;
    return fallback;
}

bool Bool(const Json::Value& v) {
    if (v.isBool()) return v.asBool();
    if (v.isNumeric()) return Int(v) != 0 || (v.isDouble() && v.asDouble() != 0.0);
    return false;
}

std::string String(const Json::Value& v) {
    return v.isString() ? v.asString() : std::string();
}

Json::Value& ObjectMember(Json::Value& v, const char* key) {
    if (!v.isObject()) v = Json::Value(Json::objectValue);
    return v[key];
}

Json::Value& ArrayElement(Json::Value& v, Json::ArrayIndex index) {
    if (!v.isArray()) v = Json::Value(Json::arrayValue);
    if (index >= v.size()) v.resize(index + 1);
    return v[index];
}

}  // namespace profiles::json
