#include "render/cell_finish.h"

namespace {

// Cells strictly between the full cells `from` and `to` take alpha 1 and colours
// stepping by k / (d + 1) from `from`'s colour toward `to`'s.
void fillBetween(float (*meltAccumulator)[4], int32_t from, int32_t to) {
    const float* p = meltAccumulator[from];
    const int32_t d = to - from;
    const float divisor = float(d + 1);
    float difference[4];
    for (int c = 1; c < 4; ++c) difference[c] = meltAccumulator[to][c] - p[c];
    for (int32_t k = 1; k < d; ++k) {
        float* cell = meltAccumulator[from + k];
        cell[0] = 1.0f;
        for (int c = 1; c < 4; ++c) cell[c] = (difference[c] * float(k)) / divisor + p[c];
    }
}

}  // namespace

void fillGaps(float (*meltAccumulator)[4], int32_t cellsUsed) {
    const auto alpha = [&](int32_t i) { return meltAccumulator[i][0]; };
    int32_t i = 0;
    while (i < cellsUsed && alpha(i) == 0.0f) ++i;
    // The walk alternates between two scans: with no gap open, to the next empty
    // cell, noting the last full one; with a gap open, to the next full cell, which
    // closes it.
    int32_t lastFullCell = -1;
    while (i < cellsUsed) {
        for (; i < cellsUsed && alpha(i) != 0.0f; ++i) lastFullCell = alpha(i) == 1.0f ? i : lastFullCell;
        int32_t closing = i + 1;
        while (closing < cellsUsed && alpha(closing) != 1.0f) ++closing;
        if (closing >= cellsUsed) return;  // a gap still open at the end is not filled
        // A gap that closes before the line's first full cell is not filled.
        if (lastFullCell >= 0) fillBetween(meltAccumulator, lastFullCell, closing);
        lastFullCell = closing;
        i = closing + 1;
    }
}
