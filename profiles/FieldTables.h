#pragma once
// Tables that tie JSON keys to the bytes or half-words of a fixed record, so
// that every record is read and written by the same two loops.
#include <json/value.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "profiles/JsonAccess.h"

namespace profiles {

struct ByteField {
    const char* key;
    std::size_t offset;
    bool boolean;  // read as a boolean: any non-zero value is 1
};

template <std::size_t N, std::size_t M>
std::array<std::uint8_t, N> ReadByteFields(const Json::Value& obj, const ByteField (&fields)[M]) {
    std::array<std::uint8_t, N> bytes{};
    for (const ByteField& f : fields) {
        const Json::Value& v = json::Member(obj, f.key);
        bytes[f.offset] =
            f.boolean ? std::uint8_t{json::Bool(v)} : static_cast<std::uint8_t>(json::Int(v));
    }
    return bytes;
}

template <std::size_t N, std::size_t M>
void WriteByteFields(Json::Value& obj, const ByteField (&fields)[M],
                     const std::array<std::uint8_t, N>& bytes) {
    for (const ByteField& f : fields)
        json::ObjectMember(obj, f.key) = json::IntValue(bytes[f.offset]);
}

// A 16-bit value stored in one half of a 32-bit word.
struct HalfField {
    const char* key;
    std::size_t word;
    unsigned shift;  // 0 low half, 16 high half
};

template <std::size_t N, std::size_t M>
void ReadHalfFields(const Json::Value& obj, const HalfField (&fields)[M],
                    std::array<std::uint32_t, N>& words) {
    for (const HalfField& f : fields) {
        std::uint32_t half = static_cast<std::uint16_t>(json::IntMember(obj, f.key));
        words[f.word] = (words[f.word] & ~(0xFFFFu << f.shift)) | (half << f.shift);
    }
}

template <std::size_t N, std::size_t M>
void WriteHalfFields(Json::Value& obj, const HalfField (&fields)[M],
                     const std::array<std::uint32_t, N>& words) {
    for (const HalfField& f : fields) {
        json::ObjectMember(obj, f.key) =
            json::IntValue(static_cast<std::uint16_t>(words[f.word] >> f.shift));
    }
}

}  // namespace profiles
