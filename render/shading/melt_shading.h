// What "Shading" adds to the melt: a per-call table built after the run lengths,
// and a weight on every cell that a run deposits. The instances without shading
// build nothing and deposit every amount as it is; MeltShading<true> weights every
// cell by the shading wave over the run.
#pragma once

#include "render/curves.h"
#include "render/kernel/channel_traits.h"
#include "render/kernel/scratch_room.h"
#include "render/param_values.h"
#include "render/shading/shade_factor_cache.h"
#include "render/shading/shade_sums.h"
#include "render/shading/shaded_run.h"
#include "render/shading/shading_table.h"

// The weights of one run's cells, in deposit order: an optional first partial cell
// covering `share` of it, whole cells, an optional last partial cell. Each takes
// the cell's unshaded amount and returns the amount to deposit.
struct UnshadedRun {
    static constexpr bool kWholeCellsAlike = true;  // every whole cell takes the same amount
    float firstCell(float /*share*/, float amount) { return amount; }
    float wholeCell(float amount) { return amount; }
    float lastCell(float amount) { return amount; }
};

template <bool Shading>
struct MeltShading;

template <>
struct MeltShading<false> {
    void build(const ParamValues&, const float* /*spreadLengthTable*/) {}
    void keepIn(ScratchRoom /*room*/) {}
    // `consumed` is how much of the run lies before cell 0 (a run clipped at the line
    // start), otherwise 0.
    struct RunCache {};
    RunCache runCache() const { return {}; }
    UnshadedRun beginRun(float /*length*/, float /*consumed*/, RunCache&) const { return {}; }
};

template <>
struct MeltShading<true> {
    float shadingTable[kShadingTableSize];
    // Weights of the call's climb patterns and factors of the runs it has met, both
    // filled as the lines first need them: what they hold is the table's, so filling
    // them changes nothing the deposit sees. They keep what the room the call lends
    // them holds.
    mutable ShadeSums<> sums;
    mutable ShadeFactorCache<> runs{shadingTable};

    // The wave is chosen here, once per call: nothing later looks at `shading`.
    void build(const ParamValues& params, const float* spreadLengthTable) {
        const float strength = shadingStrength(largestRunLength(spreadLengthTable, kLumaEntries));
        buildShadingTable(shadingTable, params.shading, getAngleVal(params.shadingPhase, kShadingTableSize),
                          strength);
    }

    // The caches in `room`: all they can keep, or as many halves of it as it takes
    // to fit, down to a ring of kSmallestRingCells; below that, none.
    void keepIn(ScratchRoom room) {
        constexpr int32_t kMostHalvings = 5;
        static_assert((ShadeFactorCache<>::kFullRingCells >> kMostHalvings) == ShadeFactorCache<>::kSmallestRingCells);
        for (int32_t halvings = 0; halvings <= kMostHalvings; ++halvings) {
            const int32_t patterns = kKeptClimbPatterns >> halvings;
            const int32_t sets = ShadeFactorCache<>::kFullSets >> halvings;
            const int32_t ringCells = ShadeFactorCache<>::kFullRingCells >> halvings;
            ScratchRoom trial = room;
            void* const weights = trial.take(ShadeSums<>::bytesFor(patterns), 64);
            void* const factors = trial.take(ShadeFactorCache<>::bytesFor(sets, ringCells), 64);
            if (weights != nullptr && factors != nullptr) {
                sums = ShadeSums<>(weights, patterns);
                runs = ShadeFactorCache<>(shadingTable, &sums, factors, sets, ringCells);
                return;
            }
        }
        runs = ShadeFactorCache<>(shadingTable);
    }

    // Repeated runs replay their factors, on every line of the call.
    ShadeFactorCache<>& runCache() const { return runs; }
    CachedShadedRun<> beginRun(float length, float consumed, ShadeFactorCache<>& cache) const {
        return CachedShadedRun<>(cache, length, consumed);
    }
};
