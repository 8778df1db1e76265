// The line buffers' capacity, shared by the line stages that must stay inside it.
#pragma once

#include <cstdint>

constexpr int32_t kLineCells = 16384;

// The cells of a line that the line buffers hold: a longer line is worked on over
// its first kLineCells cells only.
inline int32_t bufferedCells(int32_t lineLength) {
    return lineLength < 0 ? 0 : (lineLength < kLineCells ? lineLength : kLineCells);
}
