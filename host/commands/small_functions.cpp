#include "host/commands/small_functions.h"

uint32_t rand32state = 42;

// Marsaglia's xorshift with the shifts 13, 17 and 5.
uint32_t rand32() {
    uint32_t x = rand32state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    rand32state = x;
    return x;
}

void log(const char*, ...) {}
