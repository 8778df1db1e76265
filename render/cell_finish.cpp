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
    int32_t start = 0;
    while (start < cellsUsed && meltAccumulator[start][0] == 0.0f) ++start;
    bool gapOpen = false;
    int32_t lastFullCell = -1;
    for (int32_t i = start; i < cellsUsed; ++i) {
        const float alpha = meltAccumulator[i][0];
        if (!gapOpen) {
            if (alpha == 1.0f) lastFullCell = i;
            else if (alpha == 0.0f) gapOpen = true;
        } else if (alpha == 1.0f) {
            // A gap that closes before the line's first full cell is not filled.
            if (lastFullCell >= 0) fillBetween(meltAccumulator, lastFullCell, i);
            lastFullCell = i;
            gapOpen = false;
        }
    }
}
