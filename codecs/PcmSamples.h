#pragma once
// Packed little-endian PCM to and from the 32-bit integers and floats the codec libraries take.
// Header only: each module compiles its own copy.
#include <cstddef>
#include <cstdint>
#include <cstring>

inline int32_t ReadInt24(const uint8_t* p) {
    const uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    return static_cast<int32_t>(v << 8) >> 8;
}

inline void WriteInt24(uint8_t* p, int32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
}

inline int32_t ReadInt16(const uint8_t* p) {
    int16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void WriteInt16(uint8_t* p, int32_t v) {
    const auto s = static_cast<int16_t>(v);
    std::memcpy(p, &s, sizeof s);
}
