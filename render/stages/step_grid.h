// Where each scanline is sampled: a grid of positions `stepSize` cells apart whose
// start is set by "Phase" and "Align" (group "Scanline Step") and slid from line to
// line by the "Scanline Modulation" wave.
#pragma once

#include <cstdint>

#include "render/param_values.h"

struct StepGrid {
    int32_t stepSize;          // 1 or more
    int32_t stepPhaseIndex;    // start of the grid: whole cells ...
    float stepPhaseFraction;   // ... and a fraction of a cell
    float modRadiansPerLine;
    float modPhaseRadians;
    float modOffsetScale;      // cells per unit of wave value
};

// The first sampled position of one scanline.
struct GridOffset {
    int32_t gridIndex;         // 0 .. stepSize - 1
    float gridFraction;        // 0 <= f < 1
};

// Steps far beyond the registered 1..1024 are held here so that the grid phase's
// table of stepSize x 256 positions stays within int32; they sample the same cells.
constexpr int32_t kMaxStepSize = 1 << 22;

// The step size and the grid phase before the Align shift.
StepGrid prepareStepGrid(const ParamValues& params, float scale);

// The Align shift and the modulation constants, once the line geometry is known.
void alignStepGrid(StepGrid& grid, const ParamValues& params, int32_t lineLength, int32_t lineCount);

// The modulation wave's displacement of line n, in cells, brought to 0 or more.
float modulationOffset(const StepGrid& grid, const ParamValues& params, int32_t n);

// The grid start of line n: the step phase plus the line's modulation offset,
// reduced to one step.
GridOffset modulateScanline(const StepGrid& grid, const ParamValues& params, int32_t n);

// The smallest x + k x period (k whole) that is 0 or more, rounded to single as a
// chain of single-precision additions of `period` would give it.
float raiseToNonNegative(float x, int32_t period);
