// Big-endian byte order for the chart programs' binary files, whatever the
// machine's own order.
#pragma once

#include <cstdint>

inline void StoreBigEndian16(unsigned char* out, uint32_t value) {
    out[0] = uint8_t(value >> 8);
    out[1] = uint8_t(value);
}

inline void StoreBigEndian32(unsigned char* out, uint32_t value) {
    out[0] = uint8_t(value >> 24);
    out[1] = uint8_t(value >> 16);
    out[2] = uint8_t(value >> 8);
    out[3] = uint8_t(value);
}

inline uint32_t LoadBigEndian16(const unsigned char* in) {
    return uint32_t(in[0]) << 8 | uint32_t(in[1]);
}

inline uint32_t LoadBigEndian32(const unsigned char* in) {
    return uint32_t(in[0]) << 24 | uint32_t(in[1]) << 16 | uint32_t(in[2]) << 8 | uint32_t(in[3]);
}
