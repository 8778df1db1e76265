// Two small helpers kept beside the commands: a xorshift generator and a logging
// entry that writes nothing (the effect keeps no log).
#pragma once

#include <cstdint>

// Process-wide state of rand32, 42 at load. Not for use from several threads at once.
extern uint32_t rand32state;

uint32_t rand32();

void log(const char* format, ...);
