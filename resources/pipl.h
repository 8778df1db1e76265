// The registration resource the host reads from the Windows module before any of
// its code runs: a little-endian property list built from the registration
// values.
#pragma once

#include <cstdint>
#include <vector>

std::vector<uint8_t> buildPipl();
