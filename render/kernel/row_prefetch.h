// A walk down a column meets every row of a frame on pages of its own, where the
// processor's own prefetching foresees nothing. The walks ask for each row's bytes
// kRowsAhead rows before they read or write them.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int32_t kRowsAhead = 32;

// Every cache line of the `bytes` bytes from `first` on (at least one byte).
template <bool kForWriting = false>
inline void prefetchSpan(const void* first, size_t bytes) {
    const auto* at = static_cast<const unsigned char*>(first);
    for (size_t offset = 0; offset < bytes; offset += 64) __builtin_prefetch(at + offset, kForWriting ? 1 : 0);
    __builtin_prefetch(at + bytes - 1, kForWriting ? 1 : 0);
}
