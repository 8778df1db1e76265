// "Fullscreen Stretch" and "Off-screen Reach": the used span of a finished line
// (from its first to its last cell with alpha) is resampled over the visible line,
// which also brings deposits that ran past the line's end back into view.
#pragma once

#include <cstdint>

#include "render/line_cells.h"
#include "render/param_values.h"

inline bool stretchActive(const ParamValues& params) {
    return params.fullscreenStretch > 0.0 || params.offscreenReach > 0.0;
}

// 1 / (lineLength - 1), once per render. A line of one cell has no span to divide:
// its step is 0, so its only cell samples the stretch start.
inline float prepareStretchStep(int32_t lineLength) {
    return lineLength > 1 ? 1.0f / float(lineLength - 1) : 0.0f;
}

// The searches cover the whole buffer; every cell from `cellsUsed` on is empty (the
// deposit reached none of them), so they start and stop there.
inline int32_t firstUsedCell(const float (*cells)[4], int32_t cellsUsed = kLineCells) {
    int32_t i = 0;
    while (i < cellsUsed && cells[i][0] == 0.0f) ++i;
    return i < cellsUsed ? i : kLineCells;
}

// Cell 0 alone and an empty line both give 0.
inline int32_t lastUsedCell(const float (*cells)[4], int32_t cellsUsed = kLineCells) {
    int32_t i = (cellsUsed < kLineCells ? cellsUsed : kLineCells) - 1;
    while (i > 0 && cells[i][0] == 0.0f) --i;
    return i > 0 ? i : 0;
}

// Fills cells 0 .. min(lineLength, 16384) - 1 of stretchBuffer from meltAccumulator,
// which is only read and holds nothing from `cellsUsed` on. Called only when
// stretchActive().
inline void stretchLine(const float (*meltAccumulator)[4], float (*stretchBuffer)[4], int32_t lineLength,
                        float stretchStep, const ParamValues& params, int32_t cellsUsed = kLineCells) {
    const int32_t cells = bufferedCells(lineLength);
    const int32_t lastCell = lineLength - 1;

    const float stretchStart =
        float((params.fullscreenStretch * 0.01) * double(firstUsedCell(meltAccumulator, cellsUsed)));
    const float beyondLine = float(lastUsedCell(meltAccumulator, cellsUsed)) - float(lastCell);
    const float stretchEnd = float(double(beyondLine) * 0.01 * params.offscreenReach + double(lastCell));
    const float stretchSpan = stretchEnd - stretchStart;

    if (!(stretchSpan > 0.0f)) {
        for (int32_t i = 0; i < cells; ++i) {
            for (int c = 0; c < 4; ++c) stretchBuffer[i][c] = 0.0f;
        }
        return;
    }

    for (int32_t i = 0; i < cells; ++i) {
        const float p = (float(i) * stretchSpan) * stretchStep + stretchStart;
        // Parameters within their ranges keep p between 0 and the larger of the last
        // used cell and the line's end; a long line or anything else samples the
        // nearest end of the buffer, so no read leaves it.
        int32_t k = 0;
        float f = 0.0f;
        if (p >= float(kLineCells - 1)) {
            k = kLineCells - 1;
        } else if (p > 0.0f) {
            k = int32_t(p);
            f = p - float(k);
        }
        const float* lower = meltAccumulator[k];
        const float* upper = meltAccumulator[k < kLineCells - 1 ? k + 1 : k];
        for (int c = 0; c < 4; ++c) stretchBuffer[i][c] = (upper[c] - lower[c]) * f + lower[c];
    }
}
