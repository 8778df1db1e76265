// The finished line: every cell that the deposit reached becomes straight colour with
// alpha at most 1, under the alpha rule of "Output Continuity", and holes between
// fully covered cells are closed by colour ramps.
#pragma once

#include <cstdint>

enum OutputContinuity : int32_t {
    kContinuityNone = 0,
    kContinuityAll = 1,
    kContinuityAllNoStart = 2,
    kContinuityFullAlphaOnly = 3,
};

// Un-premultiplies cells 0 .. cellsUsed - 1 in place (cellsUsed at most kLineCells).
void normalizeCells(float (*meltAccumulator)[4], int32_t cellsUsed, int32_t outputContinuity);

// Fills every stretch of cells 0 .. cellsUsed - 1 that lies between two full cells
// and holds an empty one with an opaque ramp. Runs whenever "Output Continuity" is
// not "None".
void fillGaps(float (*meltAccumulator)[4], int32_t cellsUsed);
