// The three per-render lookup tables, indexed by `lumaIndex`: how far a pixel of
// that brightness moves along its line, and where and over how many cells its run
// is smeared. Built once per kernel call; the deposit only reads them.
#pragma once

#include <cstdint>

#include "render/kernel/channel_traits.h"
#include "render/param_values.h"

struct MeltTables {
    float meltAmount;  // cells per unit of velocity or spread
    float velocityTable[kLumaEntries];
    float spreadOffsetTable[kLumaEntries];
    float spreadLengthTable[kLumaEntries];
};

// The curve smoothness is given in the graph's units; the tables have 768 entries,
// so the kernel's own copy of `params` is rescaled (768/95, rounded to single).
constexpr double kSmoothnessScale = 8.084210395812988;

// Replaces both smoothness fields of `params` (the kernel's copy) by their scaled
// values, then fills `tables`. `scale` is the render's downsample factor.
void buildTables(ParamValues& params, float scale, MeltTables& tables);
