// Whether every byte of a record is zero, as a host expects of the places an
// effect leaves alone.
#pragma once

#include <cstddef>
#include <cstdint>

template <class T>
bool allBytesZero(const T& value) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}
