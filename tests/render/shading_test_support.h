// What the shading tests share: a cell's samples as an array, and the shading's
// caches with room of their own, as a kernel call lends them room.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "render/shading/shade_factor_cache.h"
#include "render/shading/shade_sums.h"

using Indices = std::array<int, kShadeSamplesPerCell>;

inline Indices indices(const ShadeSamples& samples) {
    Indices out{};
    for (int k = 0; k < kShadeSamplesPerCell; ++k) out[k] = samples.index[k];
    return out;
}

// Room for every climb pattern a call keeps, or for `patterns` of them.
template <ShadeForm Form = kShadeForm>
struct RoomySums {
    explicit RoomySums(int32_t patterns = kKeptClimbPatterns)
        : room(ShadeSums<Form>::bytesFor(patterns)), sums(room.data(), patterns) {}
    std::vector<unsigned char> room;
    ShadeSums<Form> sums;
};

// A factor cache of `sets` sets and a ring of `ringCells`, by default all that a
// call keeps, over sums of its own; or, with no sets, a cache without room.
template <ShadeForm Form = kShadeForm>
struct RoomyCache {
    RoomyCache(const float* table, int32_t sets = ShadeFactorCache<Form>::kFullSets,
               int32_t ringCells = ShadeFactorCache<Form>::kFullRingCells)
        : room(sets > 0 ? ShadeFactorCache<Form>::bytesFor(sets, ringCells) : 0),
          cache(sets > 0 ? ShadeFactorCache<Form>(table, &sums.sums, room.data(), sets, ringCells)
                         : ShadeFactorCache<Form>(table, &sums.sums)) {}
    RoomySums<Form> sums;
    std::vector<unsigned char> room;
    ShadeFactorCache<Form> cache;
};
