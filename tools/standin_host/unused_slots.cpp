#include "tools/standin_host/unused_slots.h"

#include <cstdio>
#include <cstdlib>

namespace standin {

void unusedSlotCalled(const char* table, std::size_t slot) {
    std::fprintf(stderr, "stand-in host: the effect called slot %zu of %s, which it never uses\n", slot, table);
    std::fflush(stderr);
    std::abort();
}

}  // namespace standin
