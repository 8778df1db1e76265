// A literal, unoptimised reading of the melt, for the tests to hold the kernel to and
// for the benchmark to measure it against: the step grid and its wave, every run
// walked cell by cell with its shading worked out sample by sample, Wrap's start
// raised by repeated additions, the whole line buffer cleared and searched, every
// stage over the full 16,384 cells. It takes the render entries' arguments and
// writes what they write, bit for bit.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pf_effect.h"
#include "render/param_values.h"
#include "render/shading/shade_form.h"

// The cells that each run of a frame wrote, line by line: where the run began and
// how many cells it covered (with Wrap counting on from cell 0 past the line's end).
struct RunCensus {
    struct Run {
        int32_t firstCell;
        int32_t cells;
    };
    int32_t lineLength = 0;
    bool wrap = false;
    std::vector<size_t> lineEnds;  // one past each line's last run in `runs`
    std::vector<Run> runs;

    double depositedCells() const;
};

// Melts `input` into `output` with the channel type's depth (uint8_t, uint16_t or
// float), as renderARGB8/16/32 do for an input of the output's size; the output's
// origin goes with the intensity-source layers. Fills `census` when one is given.
template <class Channel>
void literalMelt(const PF_LayerDef& input, const PF_LayerDef& output, const ParamValues& params, float scale,
                 RunCensus* census = nullptr);

// The weight of one shaded cell of a run of `length`, by the cell's kind, rounded in
// `form`; `consumed` is how much of the run lies before the cell, `share` the part
// of its cell that a first partial cell covers. The melt above shades in the
// build's form.
enum class ShadedCellKind { FirstPartial, Whole, LastPartial };
float literalCellShade(const float* shadingTable, ShadedCellKind kind, float length, float consumed, float share,
                       ShadeForm form = kShadeForm);
