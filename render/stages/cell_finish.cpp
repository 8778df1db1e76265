#include "render/stages/cell_finish.h"

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
