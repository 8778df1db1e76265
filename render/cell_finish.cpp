#include "render/cell_finish.h"

#include <emmintrin.h>

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

// From cell i on, the first cell of 0 .. cellsUsed - 1 whose alpha is 0 (cellsUsed
// when there is none), noting in lastFullCell the last cell with alpha 1 before it.
// Four cells are compared at a time.
int32_t nextEmptyCell(const float (*meltAccumulator)[4], int32_t i, int32_t cellsUsed, int32_t& lastFullCell) {
    const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
    for (; i + 4 <= cellsUsed; i += 4) {
        const __m128 low = _mm_unpacklo_ps(_mm_loadu_ps(meltAccumulator[i]), _mm_loadu_ps(meltAccumulator[i + 1]));
        const __m128 high = _mm_unpacklo_ps(_mm_loadu_ps(meltAccumulator[i + 2]), _mm_loadu_ps(meltAccumulator[i + 3]));
        const __m128 alphas = _mm_movelh_ps(low, high);
        const unsigned empty = unsigned(_mm_movemask_ps(_mm_cmpeq_ps(alphas, zero)));
        // The cells before the first empty one.
        const unsigned before = empty != 0 ? (empty & (0u - empty)) - 1u : 0xFu;
        const unsigned full = unsigned(_mm_movemask_ps(_mm_cmpeq_ps(alphas, one))) & before;
        if (full != 0) lastFullCell = i + 31 - __builtin_clz(full);
        if (empty != 0) return i + __builtin_ctz(empty);
    }
    for (; i < cellsUsed && meltAccumulator[i][0] != 0.0f; ++i) {
        if (meltAccumulator[i][0] == 1.0f) lastFullCell = i;
    }
    return i;
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
        i = nextEmptyCell(meltAccumulator, i, cellsUsed, lastFullCell);
        int32_t closing = i + 1;
        while (closing < cellsUsed && alpha(closing) != 1.0f) ++closing;
        if (closing >= cellsUsed) return;  // a gap still open at the end is not filled
        // A gap that closes before the line's first full cell is not filled.
        if (lastFullCell >= 0) fillBetween(meltAccumulator, lastFullCell, closing);
        lastFullCell = closing;
        i = closing + 1;
    }
}
