// Scratch bytes of a kernel call that its line stages leave unused, lent for the
// length of the call to what can make use of them.
#pragma once

#include <cstddef>
#include <cstdint>

struct ScratchRoom {
    unsigned char* at = nullptr;
    size_t bytes = 0;

    // `size` bytes from the front, aligned to `alignment` (a power of two); null,
    // and nothing taken, when they do not fit.
    void* take(size_t size, size_t alignment) {
        const size_t skip = (alignment - reinterpret_cast<uintptr_t>(at) % alignment) % alignment;
        if (at == nullptr || skip > bytes || size > bytes - skip) return nullptr;
        unsigned char* const taken = at + skip;
        at = taken + size;
        bytes -= skip + size;
        return taken;
    }
};
