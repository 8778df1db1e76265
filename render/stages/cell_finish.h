// The finished line: every cell that the deposit reached becomes straight colour with
// alpha at most 1, under the alpha rule of "Output Continuity", and holes between
// fully covered cells are closed by colour ramps.
#pragma once

#include <cstdint>

#include "render/paths/cell_vectors.h"

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

// Cells strictly between the full cells `from` and `to` take alpha 1 and colours
// stepping by k / (d + 1) from `from`'s colour toward `to`'s.
void fillBetween(float (*meltAccumulator)[4], int32_t from, int32_t to);

// Fills every stretch of cells 0 .. cellsUsed - 1 that lies between two full cells
// and holds an empty one with an opaque ramp. Runs whenever "Output Continuity" is
// not "None".
template <class Cells = Sse2Cells>
void fillGaps(float (*meltAccumulator)[4], int32_t cellsUsed) {
    const auto alpha = [&](int32_t i) { return meltAccumulator[i][0]; };
    int32_t i = 0;
    while (i < cellsUsed && alpha(i) == 0.0f) ++i;
    // The walk alternates between two scans: with no gap open, to the next empty
    // cell, noting the last full one; with a gap open, to the next full cell, which
    // closes it.
    int32_t lastFullCell = -1;
    while (i < cellsUsed) {
        i = Cells::nextEmptyCell(meltAccumulator, i, cellsUsed, lastFullCell);
        int32_t closing = i + 1;
        while (closing < cellsUsed && alpha(closing) != 1.0f) ++closing;
        if (closing >= cellsUsed) return;  // a gap still open at the end is not filled
        // A gap that closes before the line's first full cell is not filled.
        if (lastFullCell >= 0) fillBetween(meltAccumulator, lastFullCell, closing);
        lastFullCell = closing;
        i = closing + 1;
    }
}
