#pragma once
// Typed access to JSON trees that may hold anything. jsoncpp throws (or
// asserts) when a value of the wrong type is converted or indexed, and files
// can be edited by hand or imported; every read of stored data goes through
// these helpers, where a member of the wrong type reads as missing.
#include <json/value.h>

#include <cstdint>
#include <string>

namespace profiles::json {

// The member, or a null value when obj is not an object or lacks the key.
const Json::Value& Member(const Json::Value& obj, const char* key);
// The element, or a null value when arr is not an array or is too short.
const Json::Value& Element(const Json::Value& arr, Json::ArrayIndex index);
// Number of elements, 0 when v is not an array.
Json::ArrayIndex Size(const Json::Value& v);

// An integral value (a whole double counts); fallback for anything else.
std::int64_t Int(const Json::Value& v, std::int64_t fallback = 0);
// A bool, or a number read as non-zero; false for anything else.
bool Bool(const Json::Value& v);
// A string; empty for anything else.
std::string String(const Json::Value& v);

inline std::int64_t IntMember(const Json::Value& obj, const char* key) {
    return Int(Member(obj, key));
}
inline std::uint8_t ByteMember(const Json::Value& obj, const char* key) {
    return static_cast<std::uint8_t>(IntMember(obj, key));
}
inline std::uint16_t WordMember(const Json::Value& obj, const char* key) {
    return static_cast<std::uint16_t>(IntMember(obj, key));
}
inline bool BoolMember(const Json::Value& obj, const char* key) {
    return Bool(Member(obj, key));
}

// For writing: makes v an object (a value of another type is replaced) and
// returns its member, created as null when missing.
Json::Value& ObjectMember(Json::Value& v, const char* key);
// For writing: makes v an array (a value of another type is replaced) and
// returns element index, growing the array as needed. Callers bound index
// by the documented maximum before calling.
Json::Value& ArrayElement(Json::Value& v, Json::ArrayIndex index);

// A JSON integer from an in-memory number (stored files hold signed ints).
inline Json::Value IntValue(std::int64_t n) {
    return Json::Value(static_cast<Json::Int>(n));
}

}  // namespace profiles::json
