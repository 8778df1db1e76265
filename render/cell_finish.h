// The finished line: every cell that the deposit reached becomes straight colour with
// alpha at most 1, under the alpha rule of "Output Continuity", and holes between
// fully covered cells are closed by colour ramps.
#pragma once

#include <cstdint>

#include "render/cell_vectors.h"

enum OutputContinuity : int32_t {
    kContinuityNone = 0,
    kContinuityAll = 1,
    kContinuityAllNoStart = 2,
    kContinuityFullAlphaOnly = 3,
};

// The first cell whose alpha is 1 or more, or cellsUsed when there is none.
inline int32_t firstFullCell(const float (*meltAccumulator)[4], int32_t cellsUsed) {
    int32_t i = 0;
    while (i < cellsUsed && !(meltAccumulator[i][0] >= 1.0f)) ++i;
    return i;
}

// Un-premultiplies cells 0 .. cellsUsed - 1 in place (cellsUsed at most kLineCells):
// a full cell (alpha 1 or more) takes alpha 1 and its colours divided by its alpha,
// a partial one its colours times the reciprocal of its alpha (divided, where that
// is not finite), an empty one stays as it is.
template <class Cells = Sse2Cells>
void normalizeCells(float (*meltAccumulator)[4], int32_t cellsUsed, int32_t outputContinuity) {
    // Partial cells become opaque under "All" everywhere, under "All (No Start)"
    // after the line's first full cell.
    int32_t promoteFrom = INT32_MAX;
    if (outputContinuity == kContinuityAll) promoteFrom = 0;
    if (outputContinuity == kContinuityAllNoStart) promoteFrom = firstFullCell(meltAccumulator, cellsUsed) + 1;
    Cells::normalize(meltAccumulator, cellsUsed, promoteFrom);
}

// Fills every stretch of cells 0 .. cellsUsed - 1 that lies between two full cells
// and holds an empty one with an opaque ramp. Runs whenever "Output Continuity" is
// not "None".
void fillGaps(float (*meltAccumulator)[4], int32_t cellsUsed);
