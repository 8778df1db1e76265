// What "Shading" adds to the melt: a per-call table built after the run lengths,
// and a weight on every cell that a run deposits. The instances without shading
// build nothing and deposit every amount as it is; MeltShading<true>, with the
// shading wave, belongs to the shading instances (not written yet; until it is,
// the render entries run the twin without shading for every frame).
#pragma once

#include "render/param_values.h"

// The weights of one run's cells, in deposit order: an optional first partial cell
// covering `share` of it, whole cells, an optional last partial cell. Each takes
// the cell's unshaded amount and returns the amount to deposit.
struct UnshadedRun {
    float firstCell(float /*share*/, float amount) { return amount; }
    float wholeCell(float amount) { return amount; }
    float lastCell(float amount) { return amount; }
};

template <bool Shading>
struct MeltShading;

template <>
struct MeltShading<false> {
    void build(const ParamValues&, const float* /*spreadLengthTable*/) {}
    // `consumed` is how much of the run lies before cell 0 (a run clipped at the line
    // start), otherwise 0.
    UnshadedRun beginRun(float /*length*/, float /*consumed*/) const { return {}; }
};
