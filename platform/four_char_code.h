// Four-character codes, as the host forms its ids and kinds: 'abcd' is one 32-bit
// value with 'a' in the top byte.
#pragma once

#include <cstdint>

constexpr int32_t fourCharCode(char a, char b, char c, char d) {
    return int32_t((uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) | (uint32_t(uint8_t(c)) << 8) |
                   uint32_t(uint8_t(d)));
}
